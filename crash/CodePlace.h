#pragma once
// Reading the faulting process's memory and naming code addresses for the exception report. Runs
// after a fault: nothing here allocates, and the text buffers are static (one report at a time).
#include "crash/ReportText.h"

#include <windows.h>
#include <cstdint>

namespace crash
{

// Hex digits of an address on this processor.
constexpr int kAddressDigits = static_cast<int>(sizeof(uintptr_t) * 2);

// Copies size bytes at address, or fails without faulting.
bool SafeRead(uintptr_t address, void* out, size_t size);

// True when address lies in committed, executable memory of a loaded image.
bool IsCode(uintptr_t address);

// UTF-8 of a path, in a static buffer that the next call overwrites.
const char* NarrowPath(const wchar_t* path);

// Appends "address module+offset (export+offset)"; the export only when the module names one at or
// below the address.
void AppendCodePlace(ReportText& text, uintptr_t address);

} // namespace crash
