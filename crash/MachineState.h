#pragma once
// The processor's part of an exception report: registers, the code bytes at the fault, the stack's
// first words and the call stack. Nothing here allocates.
#include "crash/ReportText.h"

#include <windows.h>
#include <cstdint>

namespace crash
{

// The faulting thread's stack, read from its own thread block when the fault is caught; a walk
// never leaves it.
struct StackBounds
{
    uintptr_t low = 0;
    uintptr_t high = 0;
    bool Contains(uintptr_t address, size_t size) const
    {
        return address >= low && address < high && size <= high - address;
    }
};

// The calling thread's stack.
StackBounds CurrentStackBounds();

void AppendMachineState(ReportText& text, const CONTEXT& context, const StackBounds& stack);

} // namespace crash
