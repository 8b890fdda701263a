#include "crash/ReportText.h"

namespace crash
{

void ReportText::Put(char c)
{
    if (m_size + 1 < m_capacity)
    {
        m_buffer[m_size++] = c;
        m_buffer[m_size] = '\0';
    }
    else
        m_truncated = true;
}

ReportText& ReportText::Text(const char* text)
{
    for (; text && *text; ++text)
        Put(*text);
    return *this;
}

ReportText& ReportText::Hex(uint64_t value, int digits)
{
    char reversed[16];
    int count = 0;
    do
    {
        reversed[count++] = "0123456789ABCDEF"[value & 0xF];
        value >>= 4;
    } while (value && count < 16);
    for (int i = count; i < digits && i < 16; ++i)
        Put('0');
    while (count)
        Put(reversed[--count]);
    return *this;
}

ReportText& ReportText::Dec(uint64_t value)
{
    char reversed[20];
    int count = 0;
    do
    {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    while (count)
        Put(reversed[--count]);
    return *this;
}

ReportText& ReportText::Padded(unsigned value, int digits)
{
    unsigned limit = 1;
    for (int i = 1; i < digits; ++i)
        limit *= 10;
    for (; limit > 1 && value < limit; limit /= 10)
        Put('0');
    return Dec(value);
}

const char* ExceptionName(uint32_t code)
{
    switch (code)
    {
    case 0xC0000005:
        return "EXCEPTION_ACCESS_VIOLATION";
    case 0xC0000006:
        return "EXCEPTION_IN_PAGE_ERROR";
    case 0xC000001D:
        return "EXCEPTION_ILLEGAL_INSTRUCTION";
    case 0xC0000025:
        return "EXCEPTION_NONCONTINUABLE_EXCEPTION";
    case 0xC0000026:
        return "EXCEPTION_INVALID_DISPOSITION";
    case 0xC000008C:
        return "EXCEPTION_ARRAY_BOUNDS_EXCEEDED";
    case 0xC000008D:
        return "EXCEPTION_FLT_DENORMAL_OPERAND";
    case 0xC000008E:
        return "EXCEPTION_FLT_DIVIDE_BY_ZERO";
    case 0xC000008F:
        return "EXCEPTION_FLT_INEXACT_RESULT";
    case 0xC0000090:
        return "EXCEPTION_FLT_INVALID_OPERATION";
    case 0xC0000091:
        return "EXCEPTION_FLT_OVERFLOW";
    case 0xC0000092:
        return "EXCEPTION_FLT_STACK_CHECK";
    case 0xC0000093:
        return "EXCEPTION_FLT_UNDERFLOW";
    case 0xC0000094:
        return "EXCEPTION_INT_DIVIDE_BY_ZERO";
    case 0xC0000095:
        return "EXCEPTION_INT_OVERFLOW";
    case 0xC0000096:
        return "EXCEPTION_PRIV_INSTRUCTION";
    case 0xC00000FD:
        return "EXCEPTION_STACK_OVERFLOW";
    case 0xC0000374:
        return "STATUS_HEAP_CORRUPTION";
    case 0xC0000409:
        return "STATUS_STACK_BUFFER_OVERRUN";
    case 0x80000001:
        return "EXCEPTION_GUARD_PAGE";
    case 0x80000002:
        return "EXCEPTION_DATATYPE_MISALIGNMENT";
    case 0x80000003:
        return "EXCEPTION_BREAKPOINT";
    case 0x80000004:
        return "EXCEPTION_SINGLE_STEP";
    case kTerminateCode:
        return "CPP_TERMINATE (unhandled C++ exception)";
    }
    return "unknown exception";
}

} // namespace crash
