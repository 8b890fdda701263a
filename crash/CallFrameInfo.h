#pragma once
// One step up a call stack by the call-frame information that GCC writes for every function it
// compiles (the .eh_frame section; Wine's own modules carry it too): where the caller's frame
// starts, its return address and the registers the function saved. x86 code built without frame
// pointers can be walked exactly this way. Portable; nothing allocates, every read of the section
// is bounds-checked and the stack is read through the caller's reader.
#include <cstddef>
#include <cstdint>

namespace crash
{

// Registers by their DWARF numbers (x86: 0 EAX, 1 ECX, 2 EDX, 3 EBX, 4 ESP, 5 EBP, 6 ESI, 7 EDI,
// 8 EIP).
constexpr int kFrameRegisters = 17;

struct FrameState
{
    uint64_t value[kFrameRegisters] = {};
    bool known[kFrameRegisters] = {};

    void Set(int reg, uint64_t v)
    {
        value[reg] = v;
        known[reg] = true;
    }
};

// Copies size bytes at address without faulting; false when they cannot be read.
using MemoryReader = bool (*)(uint64_t address, void* out, size_t size);

struct CallFrameSection
{
    const unsigned char* data = nullptr; // the section's bytes as loaded
    size_t size = 0;
    uint64_t address = 0; // where data lies in the process (pc-relative pointers count from it)
    int wordSize = 4;
    int stackRegister = 4;
    uint32_t volatileRegisters = 0x7; // what a call may change, unknown in the caller (EAX, ECX, EDX)
    MemoryReader read = nullptr;
};

// Steps from the frame whose code is at pc (for a caller's frame, its return address minus one)
// with the registers in state to the caller: state then holds the caller's registers, its stack
// pointer at the return address's slot plus one word, and returnAddress the address it resumes
// at. False when no information covers pc or it cannot be followed (state is then unchanged).
bool UnwindByCallFrameInfo(const CallFrameSection& section, uint64_t pc, FrameState& state,
                           uint64_t& returnAddress);

} // namespace crash
