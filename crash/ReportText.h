#pragma once
// Text of an exception report, built in a fixed buffer: the reporter runs after a fault, when the
// heap may be broken, so nothing here allocates. Portable.
#include <cstddef>
#include <cstdint>

namespace crash
{

class ReportText
{
public:
    ReportText(char* buffer, size_t capacity) : m_buffer(buffer), m_capacity(capacity) {}

    ReportText& Text(const char* text);
    // value in hexadecimal, upper case, at least digits digits.
    ReportText& Hex(uint64_t value, int digits);
    ReportText& Dec(uint64_t value);
    // Zero-padded decimal of width digits (dates and times).
    ReportText& Padded(unsigned value, int digits);
    ReportText& Line() { return Text("\r\n"); }

    const char* Data() const { return m_buffer; }
    size_t Size() const { return m_size; }
    // True when something did not fit (the text is cut, never overrun).
    bool Truncated() const { return m_truncated; }

private:
    void Put(char c);

    char* m_buffer;
    size_t m_capacity;
    size_t m_size = 0;
    bool m_truncated = false;
};

// The name of an exception code ("EXCEPTION_ACCESS_VIOLATION" ...), or "unknown exception".
const char* ExceptionName(uint32_t code);

// The code the reporter raises when std::terminate is called (an unhandled C++ exception).
constexpr uint32_t kTerminateCode = 0xE0465454;

} // namespace crash
