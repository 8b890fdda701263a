// A file's version block as any file may hold it, read the way the About box reads it: the
// translations, every predefined value of each, and one path of the input's choosing. Input: the
// path, a newline, then the block.
#include "about/FileVersion.h"
#include "about/VersionBlock.h"
#include "fuzz/FuzzSupport.h"
#include "fuzz/Utf16Reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzz::FuzzInput input(data, size);
    const std::string path = input.Until('\n');
    const std::string bytes = input.Rest();
    const std::vector<uint8_t> block(bytes.begin(), bytes.end());

    const about::VersionBlock direct(block);
    const std::optional<about::VersionValue> value = direct.Query(path);
    fuzz::Check(!value || value->bytes.size() <= block.size(), "a value lies inside its block");
    const std::optional<about::VersionValue> upper = direct.Query(fuzz::AsciiUpper(path));
    fuzz::Check(value.has_value() == upper.has_value() && (!value || value->bytes == upper->bytes),
                "keys are compared without ASCII case");
    if (const std::optional<std::string> text = direct.Text(path))
        fuzz::Check(fuzz::WellFormedUtf8(*text), "a text value is well-formed UTF-8");

    about::VersionServices services;
    services.readBlock = [&block](const std::string&) { return block; };
    services.exeFileName = [] { return std::string("C:\\FindFile.exe"); };
    services.fileDate = [](const std::string&) { return std::string("1/2/2003"); };
    about::TFileVersion version(services);
    version.SetFilename("C:\\FindFile.exe");
    for (size_t t = 0; t < version.Translations().size() && t < 4; ++t)
    {
        fuzz::Check(version.Translations()[t].size() == 8, "a translation is eight hex digits");
        version.SetSelectedTranslation(static_cast<int>(t));
        for (int ordinal = about::pdCompanyName; ordinal <= about::pdBuildFlags; ++ordinal)
            fuzz::Check(fuzz::WellFormedUtf8(version.PreDefValue(ordinal)), "a predefined value is UTF-8");
        fuzz::Check(fuzz::WellFormedUtf8(version.KeyValue(path)), "a value by key is UTF-8");
    }
    for (int selector = 0; selector <= 11; ++selector)
        fuzz::Check(fuzz::WellFormedUtf8(about::GetVersionString(services, "C:\\FindFile.exe", selector)),
                    "an About box value is UTF-8");
    return 0;
}
