#pragma once
// Inside the program text is UTF-8; the Win32 boundary speaks UTF-16.
#include <string>

namespace platform
{

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
std::string Narrow(const wchar_t* wide, size_t length);

} // namespace platform
