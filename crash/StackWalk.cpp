#include "crash/StackWalk.h"

#include "crash/CallFrameInfo.h"
#include "crash/CodePlace.h"

#include <algorithm>
#include <cstring>

namespace crash
{
namespace
{

constexpr int kMaxFrames = 64;
// Words scanned for return addresses past the walk, and how many of those are listed.
constexpr int kScanWords = 4096;
constexpr int kMaxScanned = 64;
// How far above a frame the walk looks for its caller: the largest frames hold big local buffers.
constexpr uintptr_t kReturnSearchBytes = 256 * 1024;
// How far below pc a direct call may lead when the function holding pc has no known start.
constexpr uintptr_t kNearCall = 0x4000;

// True when the bytes before address end in a call instruction, so that a word holding address
// is a return address. target: the destination of a direct call, 0 for an indirect one.
bool FollowsCall(uintptr_t address, uintptr_t& target)
{
    unsigned char before[7];
    if (!SafeRead(address - sizeof(before), before, sizeof(before)))
        return false;
    target = 0;
    if (before[2] == 0xE8) // call rel32
    {
        int32_t relative = 0;
        memcpy(&relative, before + 3, sizeof(relative));
        target = address + static_cast<intptr_t>(relative);
        return true;
    }
    // call r/m (FF /2), by its length: the ModR/M byte's mode and register decide how many bytes
    // of displacement and SIB follow it.
    const auto callOf = [&](int at, int length) {
        if (before[at] != 0xFF || (before[at + 1] & 0x38) != 0x10)
            return false;
        const int mod = before[at + 1] >> 6, rm = before[at + 1] & 7;
        const int sib = mod != 3 && rm == 4 ? 1 : 0;
        int displacement = mod == 1 ? 1 : mod == 2 ? 4 : mod == 0 && rm == 5 ? 4 : 0;
        if (sib && mod == 0 && length > 2 && (before[at + 2] & 7) == 5)
            displacement = 4;
        return 2 + sib + displacement == length;
    };
    if (!(callOf(5, 2) || callOf(4, 3) || callOf(3, 4) || callOf(1, 6) || callOf(0, 7)))
        return false;
    // call [slot] (FF 15: absolute on x86, relative to the next instruction on x64), as imported
    // functions are called: the slot tells where it went.
    if (before[1] == 0xFF && before[2] == 0x15)
    {
        int32_t slot = 0;
        memcpy(&slot, before + 3, sizeof(slot));
        const uintptr_t at =
            sizeof(void*) == 8 ? address + static_cast<intptr_t>(slot) : static_cast<uint32_t>(slot);
        if (!SafeRead(at, &target, sizeof(target)))
            target = 0;
    }
    return true;
}

// Code built without unwind data or frame pointers breaks a walk: the stack's words that point into
// code just after a call are the likely return addresses.
void AppendCodeWordsOnStack(ReportText& text, uintptr_t top, const char* stackRegister)
{
    text.Text("Code addresses on the stack:").Line();
    int listed = 0;
    for (int i = 0; i < kScanWords && listed < kMaxScanned; ++i)
    {
        uintptr_t word = 0, target = 0;
        if (!SafeRead(top + i * sizeof(uintptr_t), &word, sizeof(word)))
            break;
        if (!IsCode(word) || !FollowsCall(word, target))
            continue;
        text.Text("  [").Text(stackRegister).Text("+").Hex(i * sizeof(uintptr_t), 4).Text("] ");
        AppendCodePlace(text, word, CodeKind::ReturnAddress);
        text.Line();
        ++listed;
    }
}

#if defined(__i386__) || defined(_M_IX86)

// True when the code at target reaches start: it is start, or an import thunk jumping there.
bool Reaches(uintptr_t target, uintptr_t start)
{
    if (target == start)
        return true;
    unsigned char jump[6];
    if (!SafeRead(target, jump, sizeof(jump)) || jump[0] != 0xFF || jump[1] != 0x25)
        return false;
    int32_t slot = 0;
    memcpy(&slot, jump + 2, sizeof(slot));
    // jmp [slot]: absolute on x86, relative to the next instruction on x64.
    const uintptr_t at =
        sizeof(void*) == 8 ? target + 6 + static_cast<intptr_t>(slot) : static_cast<uint32_t>(slot);
    uintptr_t destination = 0;
    return SafeRead(at, &destination, sizeof(destination)) && destination == start;
}

// True when a return address left by a call to target can be the return from the function
// holding pc: a direct call must lead there (exactly, when the function's start is known; to code
// just below pc otherwise).
bool CallsFunctionAt(uintptr_t target, uintptr_t pc)
{
    CodeName name;
    uintptr_t start = 0;
    switch (NameCode(pc, name, start))
    {
    case NameSource::Table:
        return Reaches(target, start);
    case NameSource::Export:
    case NameSource::None:
        break;
    }
    if (target <= pc && pc - target <= kNearCall)
        return true;
    unsigned char jump[2];
    return SafeRead(target, jump, sizeof(jump)) && jump[0] == 0xFF && jump[1] == 0x25;
}

// The caller's return address: the first word above sp that points just after a call of the
// function holding pc (any call, when none does: a tail call leaves no such word). Code built
// without frame pointers leaves nothing else to follow. Returns the word's address, or 0.
uintptr_t FindReturn(uintptr_t pc, uintptr_t sp, const StackBounds& stack, uintptr_t& returnAddress)
{
    const uintptr_t end = stack.high - sp > kReturnSearchBytes ? sp + kReturnSearchBytes : stack.high;
    uintptr_t block[64];
    for (int strict = 1; strict >= 0; --strict)
        for (uintptr_t at = sp; at < end; at += sizeof(block))
        {
            const size_t words = std::min<uintptr_t>(sizeof(block), end - at) / sizeof(uintptr_t);
            if (!SafeRead(at, block, words * sizeof(uintptr_t)))
                break;
            for (size_t i = 0; i < words; ++i)
            {
                uintptr_t target = 0;
                if (!IsCode(block[i]) || !FollowsCall(block[i], target))
                    continue;
                // An indirect call's return into pc itself is a copy left by an earlier call.
                if (strict && (target ? !CallsFunctionAt(target, pc) : block[i] - 1 == pc))
                    continue;
                returnAddress = block[i];
                return at + i * sizeof(uintptr_t);
            }
        }
    return 0;
}

// DWARF numbers of the x86 registers.
constexpr int kEax = 0, kEcx = 1, kEdx = 2, kEbx = 3, kEsp = 4, kEbp = 5, kEsi = 6, kEdi = 7;

bool ReadStack(uint64_t address, void* out, size_t size)
{
    return address <= UINTPTR_MAX && SafeRead(static_cast<uintptr_t>(address), out, size);
}

// True when the first record of data is a CIE of call-frame information: a length, id 0 and a
// known version. PE images name .eh_frame only through the file's string table, which is not
// loaded, so the section is known by its content.
bool StartsWithCie(const unsigned char* data, size_t size)
{
    if (size < 16)
        return false;
    uint32_t length = 0, id = 0;
    memcpy(&length, data, 4);
    memcpy(&id, data + 4, 4);
    return length >= 8 && length < size && id == 0 && (data[8] == 1 || data[8] == 3);
}

// The call-frame information of the module holding pc, as loaded; the last few modules' are kept.
bool FrameSectionOf(uintptr_t pc, CallFrameSection& section)
{
    struct Known
    {
        uintptr_t module;
        uintptr_t address;
        size_t size;
    };
    static Known known[16];
    static int next = 0;
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(pc), &module))
        return false;
    const auto base = reinterpret_cast<uintptr_t>(module);
    const Known* found = nullptr;
    for (const Known& k : known)
        if (k.module == base)
            found = &k;
    if (!found)
    {
        Known entry{base, 0, 0};
        IMAGE_DOS_HEADER dos;
        IMAGE_NT_HEADERS nt;
        if (SafeRead(base, &dos, sizeof(dos)) && SafeRead(base + dos.e_lfanew, &nt, sizeof(nt)))
        {
            const uintptr_t headers = base + dos.e_lfanew + offsetof(IMAGE_NT_HEADERS, OptionalHeader) +
                                      nt.FileHeader.SizeOfOptionalHeader;
            for (WORD i = 0; i < nt.FileHeader.NumberOfSections && i < 96 && !entry.address; ++i)
            {
                IMAGE_SECTION_HEADER header;
                unsigned char first[16];
                if (!SafeRead(headers + i * sizeof(header), &header, sizeof(header)) ||
                    (header.Characteristics & IMAGE_SCN_MEM_EXECUTE) ||
                    header.Misc.VirtualSize < sizeof(first))
                    continue;
                const uintptr_t at = base + header.VirtualAddress;
                if (SafeRead(at, first, sizeof(first)) && StartsWithCie(first, header.Misc.VirtualSize) &&
                    SafeRead(at + header.Misc.VirtualSize - 1, first, 1))
                {
                    entry.address = at;
                    entry.size = header.Misc.VirtualSize;
                }
            }
        }
        known[next] = entry;
        found = &known[next];
        next = (next + 1) % 16;
    }
    if (!found->address)
        return false;
    section.data = reinterpret_cast<const unsigned char*>(found->address);
    section.size = found->size;
    section.address = found->address;
    section.wordSize = 4;
    section.stackRegister = kEsp;
    section.volatileRegisters = 1u << kEax | 1u << kEcx | 1u << kEdx;
    section.read = &ReadStack;
    return true;
}

// One frame up by the call-frame information of pc's module: exact where it applies.
bool UnwindByFrameInfo(uintptr_t lookup, FrameState& state, const StackBounds& stack,
                       uintptr_t& returnAddress)
{
    CallFrameSection section;
    FrameState caller = state;
    uint64_t next = 0;
    if (!FrameSectionOf(lookup, section) || !UnwindByCallFrameInfo(section, lookup, caller, next))
        return false;
    const uint64_t sp = caller.value[kEsp];
    if (next > UINTPTR_MAX || sp <= state.value[kEsp] || !stack.Contains(static_cast<uintptr_t>(sp), 0) ||
        !IsCode(static_cast<uintptr_t>(next)))
        return false;
    state = caller;
    returnAddress = static_cast<uintptr_t>(next);
    return true;
}

// One frame up by the return addresses on the stack, for code without call-frame information.
// When the return address lies just above the frame pointer, the frame used one, and the
// caller's frame pointer is the word below it.
bool UnwindByScan(uintptr_t lookup, FrameState& state, const StackBounds& stack, uintptr_t& returnAddress)
{
    const auto sp = static_cast<uintptr_t>(state.value[kEsp]);
    const uintptr_t slot = FindReturn(lookup, sp, stack, returnAddress);
    if (!slot)
        return false;
    uintptr_t savedFrame = 0;
    if (state.known[kEbp] && state.value[kEbp] + 4 == slot &&
        SafeRead(slot - 4, &savedFrame, sizeof(savedFrame)))
        state.Set(kEbp, savedFrame);
    state.known[kEax] = state.known[kEcx] = state.known[kEdx] = false;
    state.Set(kEsp, slot + sizeof(uintptr_t));
    return true;
}

void WalkCallStack(ReportText& text, const CONTEXT& c, const StackBounds& stack)
{
    text.Text("Call stack:").Line();
    text.Text("  ");
    AppendCodePlace(text, c.Eip);
    text.Line();
    FrameState state;
    const DWORD registers[] = {c.Eax, c.Ecx, c.Edx, c.Ebx, c.Esp, c.Ebp, c.Esi, c.Edi};
    for (int reg = 0; reg < 8; ++reg)
        state.Set(reg, registers[reg]);
    // The fault's own instruction names its frame; a caller's frame is named by its call.
    uintptr_t lookup = c.Eip;
    for (int depth = 0; depth < kMaxFrames && stack.Contains(static_cast<uintptr_t>(state.value[kEsp]), 4);
         ++depth)
    {
        uintptr_t returnAddress = 0;
        if (!UnwindByFrameInfo(lookup, state, stack, returnAddress) &&
            !UnwindByScan(lookup, state, stack, returnAddress))
            break;
        text.Text("  ");
        AppendCodePlace(text, returnAddress, CodeKind::ReturnAddress);
        text.Line();
        lookup = returnAddress - 1;
    }
    AppendCodeWordsOnStack(text, c.Esp, "ESP");
}

#elif defined(__x86_64__) || defined(_M_X64)

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

void WalkCallStack(ReportText& text, const CONTEXT& faulting, const StackBounds& stack)
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
        AppendCodePlace(text, walk.Rip, depth == 0 ? CodeKind::Instruction : CodeKind::ReturnAddress);
        text.Line();
        step = UnwindOneFrame(walk, stack);
    }
    // A walk that lost its way (code without unwind data, a broken stack) is completed by the scan.
    if (step == Unwound::Lost)
        AppendCodeWordsOnStack(text, faulting.Rsp, "RSP");
}

#endif

} // namespace

void AppendCallStack(ReportText& text, const CONTEXT& context, const StackBounds& stack)
{
#if defined(__i386__) || defined(_M_IX86) || defined(__x86_64__) || defined(_M_X64)
    WalkCallStack(text, context, stack);
#else
    (void)text;
    (void)context;
    (void)stack;
#endif
}

} // namespace crash
