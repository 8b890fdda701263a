#pragma once
// The call stack of an exception report: the faulting thread's frames from the fault outwards,
// each return address named. x86-64 code is unwound by its unwind data; x86 code by its
// call-frame information where a module has it, and otherwise by the return addresses that
// follow calls on the stack. Nothing here allocates.
#include "crash/MachineState.h"
#include "crash/ReportText.h"

#include <windows.h>

namespace crash
{

void AppendCallStack(ReportText& text, const CONTEXT& context, const StackBounds& stack);

} // namespace crash
