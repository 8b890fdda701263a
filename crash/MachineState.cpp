#include "crash/MachineState.h"

#include "crash/CodePlace.h"

#include <winternl.h>

namespace crash
{
namespace
{

constexpr int kStackWords = 64;
constexpr int kMaxFrames = 64;
// Words scanned for return addresses past the walk, and how many of those are listed.
constexpr int kScanWords = 4096;
constexpr int kMaxScanned = 64;

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

// Code built without unwind data or frame pointers breaks a walk: the stack's words that point into
// code are the likely return addresses.
void AppendCodeWordsOnStack(ReportText& text, uintptr_t top, const char* stackRegister)
{
    text.Text("Code addresses on the stack:").Line();
    int listed = 0;
    for (int i = 0; i < kScanWords && listed < kMaxScanned; ++i)
    {
        uintptr_t word = 0;
        if (!SafeRead(top + i * sizeof(uintptr_t), &word, sizeof(word)))
            break;
        if (!IsCode(word))
            continue;
        text.Text("  [").Text(stackRegister).Text("+").Hex(i * sizeof(uintptr_t), 4).Text("] ");
        AppendCodePlace(text, word);
        text.Line();
        ++listed;
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

// Follows the EBP chain: each frame holds the caller's frame and the return address.
void AppendCallStack(ReportText& text, const CONTEXT& c)
{
    text.Text("Call stack (frame chain):").Line();
    text.Text("  ");
    AppendCodePlace(text, c.Eip);
    text.Line();
    uintptr_t frame = c.Ebp;
    for (int depth = 0; depth < kMaxFrames && frame; ++depth)
    {
        uintptr_t link[2] = {};
        if (!SafeRead(frame, link, sizeof(link)) || !IsCode(link[1]))
            break;
        text.Text("  ");
        AppendCodePlace(text, link[1]);
        text.Line();
        if (link[0] <= frame)
            break;
        frame = link[0];
    }
    AppendCodeWordsOnStack(text, c.Esp, "ESP");
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

enum class Unwound
{
    Caller,    // the caller's frame is in the context
    Outermost, // the thread's first frame had no caller
    Lost,      // the caller could not be found inside the thread's stack
};

// One frame up: by the function's unwind data, or, for a leaf function without any, by the return
// address on top of the stack.
Unwound UnwindOneFrame(CONTEXT& c, const StackBounds& stack)
{
    const DWORD64 previousSp = c.Rsp;
    if (!stack.Contains(c.Rsp, sizeof(DWORD64)))
        return Unwound::Lost;
    DWORD64 imageBase = 0;
    if (PRUNTIME_FUNCTION function = RtlLookupFunctionEntry(c.Rip, &imageBase, nullptr))
    {
        void* handlerData = nullptr;
        DWORD64 establisher = 0;
        RtlVirtualUnwind(UNW_FLAG_NHANDLER, imageBase, c.Rip, function, &c, &handlerData, &establisher,
                         nullptr);
    }
    else
    {
        if (!SafeRead(c.Rsp, &c.Rip, sizeof(c.Rip)))
            return Unwound::Lost;
        c.Rsp += sizeof(DWORD64);
    }
    if (!c.Rip)
        return Unwound::Outermost;
    return IsCode(c.Rip) && c.Rsp > previousSp && stack.Contains(c.Rsp, 0) ? Unwound::Caller : Unwound::Lost;
}

void AppendCallStack(ReportText& text, const CONTEXT& faulting, const StackBounds& stack)
{
    text.Text("Call stack (unwound):").Line();
    // A copy: the unwind rewrites it frame by frame. Static, because a CONTEXT is large for the
    // reporter's stack and must be 16-byte aligned.
    static CONTEXT walk;
    walk = faulting;
    Unwound step = Unwound::Caller;
    for (int depth = 0; depth < kMaxFrames && step == Unwound::Caller; ++depth)
    {
        text.Text("  ");
        AppendCodePlace(text, walk.Rip);
        text.Line();
        step = UnwindOneFrame(walk, stack);
    }
    // A walk that lost its way (code without unwind data, a broken stack) is completed by the scan.
    if (step == Unwound::Lost)
        AppendCodeWordsOnStack(text, faulting.Rsp, "RSP");
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
    (void)stack;
    AppendRegisters(text, context);
    AppendCodeBytes(text, context.Eip);
    AppendStackWords(text, context.Esp, 8);
    AppendCallStack(text, context);
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
