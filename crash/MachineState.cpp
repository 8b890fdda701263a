#include "crash/MachineState.h"

#include "crash/CodePlace.h"
#include "crash/StackWalk.h"

#include <winternl.h>

namespace crash
{
namespace
{

constexpr int kStackWords = 64;

void AppendCodeBytes(ReportText& text, uintptr_t at)
{
    text.Text("Code bytes at ").Hex(at, kAddressDigits).Text(":");
    unsigned char code[16];
    if (SafeRead(at, code, sizeof(code)))
        for (unsigned char b : code)
            text.Text(" ").Hex(b, 2);
    else
        text.Text(" (not readable)");
    text.Line();
}

// The stack's first words, wordsPerRow a line, each row led by its address.
void AppendStackWords(ReportText& text, uintptr_t top, int wordsPerRow)
{
    constexpr int kWordDigits = static_cast<int>(sizeof(uintptr_t) * 2);
    text.Text("Stack at ").Hex(top, kAddressDigits).Text(":").Line();
    for (int row = 0; row < kStackWords / wordsPerRow; ++row)
    {
        const uintptr_t at = top + static_cast<uintptr_t>(row * wordsPerRow) * sizeof(uintptr_t);
        text.Text("  ").Hex(at, kAddressDigits).Text(":");
        for (int i = 0; i < wordsPerRow; ++i)
        {
            uintptr_t word = 0;
            if (SafeRead(at + i * sizeof(uintptr_t), &word, sizeof(word)))
                text.Text(" ").Hex(word, kWordDigits);
            else
                text.Text(" ").Text(sizeof(uintptr_t) == 8 ? "????????????????" : "????????");
        }
        text.Line();
    }
}

#if defined(__i386__) || defined(_M_IX86)

void AppendRegisters(ReportText& text, const CONTEXT& c)
{
    text.Text("Registers:").Line();
    text.Text("  EAX=").Hex(c.Eax, 8).Text(" EBX=").Hex(c.Ebx, 8).Text(" ECX=").Hex(c.Ecx, 8);
    text.Text(" EDX=").Hex(c.Edx, 8).Line();
    text.Text("  ESI=").Hex(c.Esi, 8).Text(" EDI=").Hex(c.Edi, 8).Text(" EBP=").Hex(c.Ebp, 8);
    text.Text(" ESP=").Hex(c.Esp, 8).Line();
    text.Text("  EIP=").Hex(c.Eip, 8).Text(" EFLAGS=").Hex(c.EFlags, 8).Text(" CS=").Hex(c.SegCs, 4);
    text.Text(" DS=").Hex(c.SegDs, 4).Text(" SS=").Hex(c.SegSs, 4).Text(" ES=").Hex(c.SegEs, 4);
    text.Text(" FS=").Hex(c.SegFs, 4).Text(" GS=").Hex(c.SegGs, 4).Line();
}

#elif defined(__x86_64__) || defined(_M_X64)

void AppendRegisters(ReportText& text, const CONTEXT& c)
{
    text.Text("Registers:").Line();
    text.Text("  RAX=").Hex(c.Rax, 16).Text(" RBX=").Hex(c.Rbx, 16).Text(" RCX=").Hex(c.Rcx, 16);
    text.Text(" RDX=").Hex(c.Rdx, 16).Line();
    text.Text("  RSI=").Hex(c.Rsi, 16).Text(" RDI=").Hex(c.Rdi, 16).Text(" RBP=").Hex(c.Rbp, 16);
    text.Text(" RSP=").Hex(c.Rsp, 16).Line();
    text.Text("  R8 =").Hex(c.R8, 16).Text(" R9 =").Hex(c.R9, 16).Text(" R10=").Hex(c.R10, 16);
    text.Text(" R11=").Hex(c.R11, 16).Line();
    text.Text("  R12=").Hex(c.R12, 16).Text(" R13=").Hex(c.R13, 16).Text(" R14=").Hex(c.R14, 16);
    text.Text(" R15=").Hex(c.R15, 16).Line();
    text.Text("  RIP=").Hex(c.Rip, 16).Text(" EFLAGS=").Hex(c.EFlags, 8).Text(" CS=").Hex(c.SegCs, 4);
    text.Text(" DS=").Hex(c.SegDs, 4).Text(" SS=").Hex(c.SegSs, 4).Text(" ES=").Hex(c.SegEs, 4);
    text.Text(" FS=").Hex(c.SegFs, 4).Text(" GS=").Hex(c.SegGs, 4).Line();
}

#endif

} // namespace

StackBounds CurrentStackBounds()
{
    // GCC takes the thread block's segment read for an access to a zero-length array.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
    const auto* block = reinterpret_cast<const NT_TIB*>(NtCurrentTeb());
#pragma GCC diagnostic pop
    StackBounds bounds;
    bounds.low = reinterpret_cast<uintptr_t>(block->StackLimit);
    bounds.high = reinterpret_cast<uintptr_t>(block->StackBase);
    return bounds;
}

void AppendMachineState(ReportText& text, const CONTEXT& context, const StackBounds& stack)
{
#if defined(__i386__) || defined(_M_IX86)
    AppendRegisters(text, context);
    AppendCodeBytes(text, context.Eip);
    AppendStackWords(text, context.Esp, 8);
    AppendCallStack(text, context, stack);
#elif defined(__x86_64__) || defined(_M_X64)
    AppendRegisters(text, context);
    AppendCodeBytes(text, context.Rip);
    AppendStackWords(text, context.Rsp, 4);
    AppendCallStack(text, context, stack);
#else
    (void)context;
    (void)stack;
    text.Text("Registers: not recorded on this processor").Line();
#endif
}

} // namespace crash
