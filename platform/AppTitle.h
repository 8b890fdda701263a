#pragma once
// The application title: the caption of the program's message boxes.
namespace platform
{

constexpr char kAppTitle[] = "Pelion Info Find File";

} // namespace platform
