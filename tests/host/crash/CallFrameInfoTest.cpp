#include "crash/CallFrameInfo.h"

#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace
{

// DWARF numbers of the x86 registers the cases use.
constexpr int kEsp = 4, kEbp = 5, kEsi = 6, kEip = 8;
constexpr uint64_t kSectionAddress = 0x5000;

// The stack of the cases: 32-bit words by address.
std::map<uint64_t, uint32_t> g_stack;

bool ReadStack(uint64_t address, void* out, size_t size)
{
    if (size != 4 || !g_stack.count(address))
        return false;
    memcpy(out, &g_stack[address], 4);
    return true;
}

// Call-frame information as GCC writes it for 32-bit code: a CIE ("zR", pc-relative 4-byte
// pointers, CFA = ESP + 4, return address at CFA - 4), then FDEs.
class FrameInfoBytes
{
public:
    FrameInfoBytes()
    {
        const std::vector<uint8_t> body = {1,           'z', 'R',  0,    1,    0x7C /* -4 */,
                                           kEip,        1,   0x1B, 0x0C, kEsp, 4, // def_cfa esp+4
                                           0x80 | kEip, 1};                       // offset eip at cfa-4
        Record(0, body);
    }
    void Fde(uint32_t begin, uint32_t length, const std::vector<uint8_t>& instructions)
    {
        const size_t start = bytes.size();
        std::vector<uint8_t> body(8);
        // The begin is relative to its own field, which follows the length and the CIE pointer.
        const auto relative = static_cast<int32_t>(begin - (kSectionAddress + start + 8));
        memcpy(body.data(), &relative, 4);
        memcpy(body.data() + 4, &length, 4);
        body.push_back(0); // no augmentation data
        body.insert(body.end(), instructions.begin(), instructions.end());
        Record(static_cast<uint32_t>(start + 4), body);
    }
    crash::CallFrameSection Section() const
    {
        crash::CallFrameSection s;
        s.data = bytes.data();
        s.size = bytes.size();
        s.address = kSectionAddress;
        s.read = &ReadStack;
        return s;
    }
    std::vector<uint8_t> bytes;

private:
    // id 0 for the CIE; an FDE's id is its distance back to the CIE.
    void Record(uint32_t id, std::vector<uint8_t> body)
    {
        while ((body.size() + 4) % 4)
            body.push_back(0); // DW_CFA_nop
        const auto length = static_cast<uint32_t>(body.size() + 4);
        for (uint32_t w : {length, id})
            for (int i = 0; i < 4; ++i)
                bytes.push_back(static_cast<uint8_t>(w >> (8 * i)));
        bytes.insert(bytes.end(), body.begin(), body.end());
    }
};

// push ebp (1 byte); mov ebp, esp (2); ... ; leave; ret at 0x1040 - a frame-pointer function.
FrameInfoBytes FramePointerFunction()
{
    FrameInfoBytes info;
    info.Fde(0x1000, 0x41,
             {0x41,                       // advance 1: after push ebp
              0x0E,        8,             // def_cfa_offset 8
              0x80 | kEbp, 2,             // ebp saved at cfa-8
              0x42,                       // advance 2: after mov ebp, esp
              0x0D,        kEbp,          // def_cfa_register ebp
              0x04,        0x3A, 0, 0, 0, // advance_loc4 58: to 0x103D, the epilogue
              0x0A,                       // remember_state
              0x0C,        kEsp, 4,       // def_cfa esp+4 (after leave)
              0xC0 | kEbp,                // restore ebp
              0x42,                       // advance 2
              0x0B});                     // restore_state
    return info;
}

crash::FrameState Registers(uint32_t esp, uint32_t ebp, uint32_t esi = 0x1234)
{
    crash::FrameState state;
    state.Set(kEsp, esp);
    state.Set(kEbp, ebp);
    state.Set(kEsi, esi);
    state.Set(0, 0xAAAA); // EAX, which a call may change
    return state;
}

TEST(CallFrameInfo, EachPointOfAFramePointerFunctionFindsItsCaller)
{
    const FrameInfoBytes info = FramePointerFunction();
    struct Case
    {
        uint64_t pc;
        uint32_t esp, ebp;
        uint32_t callerEbp;
    } cases[] = {
        {0x1000, 0x8000, 0x9000, 0x9000}, // at entry: the return address on top
        {0x1001, 0x7FFC, 0x9000, 0x9000}, // after push ebp
        {0x1003, 0x7FF0, 0x7FFC, 0x9000}, // the body: by the frame pointer
        {0x103C, 0x7F00, 0x7FFC, 0x9000}, // the body's end
        {0x103D, 0x8000, 0x9000, 0x9000}, // after leave: by the stack pointer again
        {0x103F, 0x7FF0, 0x7FFC, 0x9000}, // after the epilogue's row: the body's rule is back
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pc);
        g_stack = {{0x8000, 0x401234}, {0x7FFC, 0x9000}};
        crash::FrameState state = Registers(c.esp, c.ebp);
        uint64_t returnAddress = 0;
        ASSERT_TRUE(crash::UnwindByCallFrameInfo(info.Section(), c.pc, state, returnAddress));
        EXPECT_EQ(returnAddress, 0x401234u);
        EXPECT_EQ(state.value[kEsp], 0x8004u);
        EXPECT_TRUE(state.known[kEbp]);
        EXPECT_EQ(state.value[kEbp], c.callerEbp);
        EXPECT_EQ(state.value[kEsi], 0x1234u); // kept: a call preserves it
        EXPECT_FALSE(state.known[0]);          // lost: a call may change it
    }
}

TEST(CallFrameInfo, ARealignedFrameIsFoundByItsExpression)
{
    // As GCC writes main's frame when it realigns the stack: the CFA is read from [ebp - 4], and
    // ebp was saved at [ebp].
    FrameInfoBytes info;
    info.Fde(0x2000, 0x100,
             {0x10, kEbp, 2, 0x75, 0x00,   // expression: ebp saved at (breg5 + 0)
              0x0F, 3, 0x75, 0x7C, 0x06}); // def_cfa_expression: deref(breg5 - 4)
    g_stack = {{0x7FF4, 0x8010}, {0x7FF8, 0x9000}, {0x800C, 0x402222}};
    crash::FrameState state = Registers(0x7F00, 0x7FF8);
    uint64_t returnAddress = 0;
    ASSERT_TRUE(crash::UnwindByCallFrameInfo(info.Section(), 0x2050, state, returnAddress));
    EXPECT_EQ(state.value[kEsp], 0x8010u);
    EXPECT_EQ(returnAddress, 0x402222u);
    EXPECT_EQ(state.value[kEbp], 0x9000u);
}

TEST(CallFrameInfo, WhatCannotBeFollowedAnswersFalseAndLeavesTheRegisters)
{
    const FrameInfoBytes good = FramePointerFunction();
    g_stack = {{0x8000, 0x401234}, {0x7FFC, 0x9000}};
    const auto fails = [](const crash::CallFrameSection& section, uint64_t pc, crash::FrameState state) {
        const crash::FrameState before = state;
        uint64_t returnAddress = 0;
        if (crash::UnwindByCallFrameInfo(section, pc, state, returnAddress))
            return false;
        for (int reg = 0; reg < crash::kFrameRegisters; ++reg)
            if (state.known[reg] != before.known[reg] || state.value[reg] != before.value[reg])
                return false;
        return true;
    };
    EXPECT_TRUE(fails(good.Section(), 0x0FFF, Registers(0x8000, 0x9000))); // before the function
    EXPECT_TRUE(fails(good.Section(), 0x1041, Registers(0x8000, 0x9000))); // after it
    // The frame pointer the body's rule needs is unknown.
    crash::FrameState noFrame = Registers(0x7FF0, 0x7FFC);
    noFrame.known[kEbp] = false;
    EXPECT_TRUE(fails(good.Section(), 0x1010, noFrame));
    // The return address's slot cannot be read.
    g_stack.clear();
    EXPECT_TRUE(fails(good.Section(), 0x1000, Registers(0x8000, 0x9000)));
    g_stack = {{0x8000, 0x401234}, {0x7FFC, 0x9000}};
    // Damaged sections: cut anywhere, a record longer than the section, an unknown instruction.
    for (size_t cut = 0; cut < good.bytes.size(); cut += 3)
    {
        crash::CallFrameSection section = good.Section();
        section.size = cut;
        crash::FrameState state = Registers(0x7FF0, 0x7FFC);
        uint64_t returnAddress = 0;
        if (crash::UnwindByCallFrameInfo(section, 0x1010, state, returnAddress))
        {
            EXPECT_EQ(returnAddress, 0x401234u) << cut; // a cut after the FDE's instructions
        }
    }
    FrameInfoBytes longer = FramePointerFunction();
    longer.bytes[0] = 0xF0;
    EXPECT_TRUE(fails(longer.Section(), 0x1010, Registers(0x7FF0, 0x7FFC)));
    FrameInfoBytes unknown;
    unknown.Fde(0x1000, 0x10, {0x41, 0x3F}); // 0x3F is no instruction
    EXPECT_TRUE(fails(unknown.Section(), 0x1008, Registers(0x7FF0, 0x7FFC)));
}

} // namespace
