#include "crash/CallFrameInfo.h"

#include "crash/CallFrameRecords.h"

namespace crash
{
namespace
{

using namespace cfi;

constexpr int kRememberDepth = 8;
constexpr int kExpressionDepth = 8;

bool ValidRegister(uint64_t reg)
{
    return reg < static_cast<uint64_t>(kFrameRegisters);
}

// Runs call-frame instructions from at to end, up to the row that holds at pc (stopAt): the rows
// of the CIE's initial instructions are run without a bound.
bool Execute(const CallFrameSection& section, const Cie& cie, size_t at, size_t end, uint64_t location,
             uint64_t stopAt, const Row& initial, Row& row)
{
    Row remembered[kRememberDepth];
    int depth = 0;
    Cursor c(section, at, end);
    while (!c.AtEnd())
    {
        const uint8_t op = static_cast<uint8_t>(c.Unsigned(1));
        const uint8_t low = op & 0x3F;
        uint64_t reg = 0;
        uint64_t advance = 0;
        switch (op >> 6)
        {
        case 1:
            advance = low;
            break;
        case 2:
            if (!ValidRegister(low))
                return false;
            row.rules[low] = {RuleKind::Offset, static_cast<int64_t>(c.Uleb()) * cie.dataAlign, 0, 0};
            continue;
        case 3:
            if (!ValidRegister(low))
                return false;
            row.rules[low] = initial.rules[low];
            continue;
        default:
            break;
        }
        if (op >> 6 == 0)
            switch (op)
            {
            case 0x00: // nop
                continue;
            case 0x01: // set_loc
            {
                uint64_t to = 0;
                if (!c.Pointer(cie.fdeEncoding, to))
                    return false;
                if (to > stopAt)
                    return true;
                location = to;
                continue;
            }
            case 0x02:
                advance = c.Unsigned(1);
                break;
            case 0x03:
                advance = c.Unsigned(2);
                break;
            case 0x04:
                advance = c.Unsigned(4);
                break;
            case 0x05: // offset_extended
                reg = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                row.rules[reg] = {RuleKind::Offset, static_cast<int64_t>(c.Uleb()) * cie.dataAlign, 0, 0};
                continue;
            case 0x06: // restore_extended
                reg = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                row.rules[reg] = initial.rules[reg];
                continue;
            case 0x07: // undefined
            case 0x08: // same_value
                reg = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                row.rules[reg] = {op == 0x07 ? RuleKind::Undefined : RuleKind::Same, 0, 0, 0};
                continue;
            case 0x09: // register
            {
                reg = c.Uleb();
                const uint64_t other = c.Uleb();
                if (!ValidRegister(reg) || !ValidRegister(other))
                    return false;
                row.rules[reg] = {RuleKind::Register, static_cast<int64_t>(other), 0, 0};
                continue;
            }
            case 0x0A: // remember_state
                if (depth == kRememberDepth)
                    return false;
                remembered[depth++] = row;
                continue;
            case 0x0B: // restore_state
                if (depth == 0)
                    return false;
                row = remembered[--depth];
                continue;
            case 0x0C: // def_cfa
            case 0x12: // def_cfa_sf
                reg = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                row.cfaRegister = static_cast<int>(reg);
                row.cfaOffset = op == 0x0C ? static_cast<int64_t>(c.Uleb()) : c.Sleb() * cie.dataAlign;
                row.cfaByExpression = false;
                continue;
            case 0x0D: // def_cfa_register
                reg = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                row.cfaRegister = static_cast<int>(reg);
                row.cfaByExpression = false;
                continue;
            case 0x0E: // def_cfa_offset
                row.cfaOffset = static_cast<int64_t>(c.Uleb());
                continue;
            case 0x13: // def_cfa_offset_sf
                row.cfaOffset = c.Sleb() * cie.dataAlign;
                continue;
            case 0x0F: // def_cfa_expression
            {
                const uint64_t length = c.Uleb();
                row.cfaByExpression = true;
                row.cfaExpression = c.At();
                row.cfaLength = static_cast<size_t>(length);
                c.Seek(c.At() + static_cast<size_t>(length));
                continue;
            }
            case 0x10: // expression
            case 0x16: // val_expression
            {
                reg = c.Uleb();
                const uint64_t length = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                row.rules[reg] = {op == 0x10 ? RuleKind::Expression : RuleKind::ValueExpression, 0, c.At(),
                                  static_cast<size_t>(length)};
                c.Seek(c.At() + static_cast<size_t>(length));
                continue;
            }
            case 0x11: // offset_extended_sf
            case 0x14: // val_offset
            case 0x15: // val_offset_sf
            {
                reg = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                const int64_t offset = op == 0x14 ? static_cast<int64_t>(c.Uleb()) : c.Sleb();
                row.rules[reg] = {op == 0x11 ? RuleKind::Offset : RuleKind::ValueOffset,
                                  offset * cie.dataAlign, 0, 0};
                continue;
            }
            case 0x2E: // GNU_args_size
                c.Uleb();
                continue;
            case 0x2F: // GNU_negative_offset_extended
                reg = c.Uleb();
                if (!ValidRegister(reg))
                    return false;
                row.rules[reg] = {RuleKind::Offset, -static_cast<int64_t>(c.Uleb()) * cie.dataAlign, 0, 0};
                continue;
            default:
                return false;
            }
        location += advance * cie.codeAlign;
        if (location > stopAt)
            return c.Ok();
    }
    return c.Ok();
}

// Evaluates a DWARF expression of the forms GCC writes for frames (register plus offset,
// dereference, constants, addition); initial (when given) is pushed first.
bool Evaluate(const CallFrameSection& section, size_t at, size_t length, const FrameState& state,
              const uint64_t* initial, uint64_t& result)
{
    if (length > section.size || at > section.size - length)
        return false;
    uint64_t stack[kExpressionDepth];
    int top = 0;
    const auto push = [&](uint64_t v) {
        if (top == kExpressionDepth)
            return false;
        stack[top++] = v;
        return true;
    };
    if (initial && !push(*initial))
        return false;
    Cursor c(section, at, at + length);
    while (!c.AtEnd())
    {
        const uint8_t op = static_cast<uint8_t>(c.Unsigned(1));
        bool ok = true;
        if (op >= 0x70 && op <= 0x8F) // breg0..31
        {
            const int reg = op - 0x70;
            const int64_t offset = c.Sleb();
            ok = reg < kFrameRegisters && state.known[reg] && push(state.value[reg] + offset);
        }
        else if (op >= 0x30 && op <= 0x4F) // lit0..31
            ok = push(op - 0x30u);
        else
            switch (op)
            {
            case 0x92: // bregx
            {
                const uint64_t reg = c.Uleb();
                const int64_t offset = c.Sleb();
                ok = ValidRegister(reg) && state.known[reg] && push(state.value[reg] + offset);
                break;
            }
            case 0x06: // deref
            {
                uint64_t word = 0;
                ok = top > 0 && section.read && section.read(stack[top - 1], &word, section.wordSize);
                if (ok)
                    stack[top - 1] = section.wordSize == 4 ? word & 0xFFFFFFFFull : word;
                break;
            }
            case 0x23: // plus_uconst
                ok = top > 0;
                if (ok)
                    stack[top - 1] += c.Uleb();
                break;
            case 0x08:
                ok = push(c.Unsigned(1));
                break;
            case 0x09:
                ok = push(static_cast<uint64_t>(c.Signed(1)));
                break;
            case 0x0A:
                ok = push(c.Unsigned(2));
                break;
            case 0x0B:
                ok = push(static_cast<uint64_t>(c.Signed(2)));
                break;
            case 0x0C:
                ok = push(c.Unsigned(4));
                break;
            case 0x0D:
                ok = push(static_cast<uint64_t>(c.Signed(4)));
                break;
            case 0x12: // dup
                ok = top > 0 && push(stack[top - 1]);
                break;
            case 0x1A: // and
            case 0x1C: // minus
            case 0x22: // plus
                ok = top > 1;
                if (ok)
                {
                    const uint64_t b = stack[--top];
                    stack[top - 1] = op == 0x1A   ? stack[top - 1] & b
                                     : op == 0x1C ? stack[top - 1] - b
                                                  : stack[top - 1] + b;
                }
                break;
            default:
                ok = false;
            }
        if (!ok || !c.Ok())
            return false;
    }
    if (top == 0)
        return false;
    result = section.wordSize == 4 ? stack[top - 1] & 0xFFFFFFFFull : stack[top - 1];
    return true;
}

bool ReadWord(const CallFrameSection& section, uint64_t address, uint64_t& value)
{
    value = 0;
    if (!section.read || !section.read(address, &value, section.wordSize))
        return false;
    if (section.wordSize == 4)
        value &= 0xFFFFFFFFull;
    return true;
}

} // namespace

bool UnwindByCallFrameInfo(const CallFrameSection& section, uint64_t pc, FrameState& state,
                           uint64_t& returnAddress)
{
    if (!section.data || (section.wordSize != 4 && section.wordSize != 8) || section.stackRegister < 0 ||
        section.stackRegister >= kFrameRegisters)
        return false;
    Cie cie;
    size_t instructions = 0, end = 0;
    uint64_t begin = 0;
    if (!FindFde(section, pc, cie, instructions, end, begin))
        return false;
    // The CIE's instructions make the initial row, which "restore" goes back to.
    Row initial;
    if (!Execute(section, cie, cie.instructions, cie.end, 0, ~0ull, initial, initial))
        return false;
    Row row = initial;
    if (!Execute(section, cie, instructions, end, begin, pc, initial, row))
        return false;

    uint64_t cfa = 0;
    if (row.cfaByExpression)
    {
        if (!Evaluate(section, row.cfaExpression, row.cfaLength, state, nullptr, cfa))
            return false;
    }
    else
    {
        if (row.cfaRegister < 0 || !state.known[row.cfaRegister])
            return false;
        cfa = state.value[row.cfaRegister] + row.cfaOffset;
        if (section.wordSize == 4)
            cfa &= 0xFFFFFFFFull;
    }
    FrameState caller = state;
    for (int reg = 0; reg < kFrameRegisters; ++reg)
        if (section.volatileRegisters & (1u << reg))
            caller.known[reg] = false;
    for (int reg = 0; reg < kFrameRegisters; ++reg)
    {
        const Rule& rule = row.rules[reg];
        uint64_t value = 0;
        switch (rule.kind)
        {
        case RuleKind::Same:
            continue;
        case RuleKind::Undefined:
            caller.known[reg] = false;
            continue;
        case RuleKind::Offset:
            if (!ReadWord(section, cfa + rule.offset, value))
                return false;
            break;
        case RuleKind::ValueOffset:
            value = cfa + rule.offset;
            break;
        case RuleKind::Register:
            if (!state.known[rule.offset])
            {
                caller.known[reg] = false;
                continue;
            }
            value = state.value[rule.offset];
            break;
        case RuleKind::Expression:
        case RuleKind::ValueExpression:
            if (!Evaluate(section, rule.expression, rule.length, state, &cfa, value))
                return false;
            if (rule.kind == RuleKind::Expression && !ReadWord(section, value, value))
                return false;
            break;
        }
        caller.Set(reg, section.wordSize == 4 ? value & 0xFFFFFFFFull : value);
    }
    if (row.rules[cie.returnRegister].kind == RuleKind::Same || !caller.known[cie.returnRegister])
        return false;
    returnAddress = caller.value[cie.returnRegister];
    caller.Set(section.stackRegister, cfa);
    state = caller;
    return true;
}

} // namespace crash
