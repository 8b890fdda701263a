#pragma once
// Reading the faulting process's memory and naming code addresses for the exception report. Runs
// after a fault: nothing here allocates, and the text buffers are static (one report at a time).
#include "crash/ReportText.h"
#include "crash/SymbolTable.h"

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

enum class NameSource
{
    None,
    Table,  // the module's own symbol table: the function's start is exact
    Export, // the nearest export below: the start is a guess
};

// The function holding address (from the module's own symbol table when it has one, otherwise the
// export that plainly holds it) and that function's first address. An export's name lies in a
// static buffer that the next call overwrites.
NameSource NameCode(uintptr_t address, CodeName& name, uintptr_t& start);

// Appends "address module+offset (function+offset, file:line)": the function and line from the
// module's own symbol table when it has one, otherwise the export holding the address when one
// plainly does; nothing in brackets when neither names it.
// A return address is named by the call before it: after a call that never returns the next
// instruction may belong to the next function.
enum class CodeKind
{
    Instruction,
    ReturnAddress,
};
void AppendCodePlace(ReportText& text, uintptr_t address, CodeKind kind = CodeKind::Instruction);

} // namespace crash
