// The text of XML parts over arbitrary bytes: never longer than the markup it came from (every
// tag, reference and break is at least as long as what it becomes), and text without markup or
// references comes back as it went in. Input: the XML.
#include "engine/XmlText.h"
#include "fuzz/FuzzSupport.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string xml(reinterpret_cast<const char*>(data), size);
    const std::string text = engine::XmlText(xml);
    fuzz::Check(text.size() <= xml.size(), "the text is no longer than its markup");
    const bool plain = xml.find_first_of("<&") == std::string::npos && xml.compare(0, 3, "\xEF\xBB\xBF") != 0;
    const bool blankLines =
        std::all_of(xml.begin(), xml.end(),
                    [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }) &&
        xml.find('\n') != std::string::npos;
    if (plain && !blankLines)
        fuzz::Check(text == xml, "text without markup is kept as it is");
    return 0;
}
