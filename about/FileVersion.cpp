#include "about/FileVersion.h"

#include <cstdio>

namespace about
{
namespace
{

constexpr const char* kPreDefKeys[] = {
    "CompanyName",    "FileDescription", "FileVersion",      "InternalName",
    "LegalCopyright", "LegalTrademarks", "OriginalFilename", "ProductName",
    "ProductVersion", "Comments",        "BuildFlags",
};

// The About box's selectors, in its own order (10, the file's date, is not a key).
constexpr TPreDef kSelectorKeys[] = {
    pdCompanyName,    pdLegalTrademarks,  pdInternalName, pdFileDescription, pdFileVersion,
    pdLegalCopyright, pdOriginalFilename, pdComments,     pdProductName,     pdProductVersion,
};

constexpr char kFallbackTranslation[] = "040904E4";
constexpr unsigned kEnglishUs = 1033;

std::string Translation(unsigned language, unsigned codePage)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%.4x%.4x", language, codePage);
    return text;
}

} // namespace

std::string PreDefKey(int ordinal)
{
    if (ordinal < 0 || ordinal > pdBuildFlags)
        return {};
    return kPreDefKeys[ordinal];
}

std::vector<std::string> TranslationList(const std::vector<uint8_t>& value)
{
    std::vector<std::string> list;
    const size_t items = value.size() / 4;
    auto word = [&value](size_t at) { return static_cast<unsigned>(value[at] | (value[at + 1] << 8)); };
    for (size_t i = 0; i < items; ++i)
        list.push_back(Translation(word(4 * i), word(4 * i + 2)));
    // A value too short for one item names a code page alone, taken as US English's. A single byte
    // is all there is of that word.
    if (items == 0 && value.size() >= 2)
        list.push_back(Translation(kEnglishUs, word(0)));
    else if (items == 0 && value.size() == 1)
        list.push_back(Translation(kEnglishUs, value[0]));
    return list;
}

void TFileVersion::SetFilename(const std::string& filename)
{
    m_filename = filename;
    Read();
}

void TFileVersion::SetForceEXE(bool force)
{
    if (force == m_forceExe)
        return;
    m_forceExe = force;
    Read();
}

void TFileVersion::Read()
{
    m_translations.clear();
    m_block = VersionBlock();
    // The reader always lives in the executable, so an empty name means the executable.
    std::string path = m_filename;
    if (path.empty() && m_services.exeFileName)
        path = m_services.exeFileName();
    std::vector<uint8_t> bytes;
    try
    {
        if (m_services.readBlock)
            bytes = m_services.readBlock(path);
    }
    catch (...)
    {
        bytes.clear();
    }
    m_block = VersionBlock(std::move(bytes));
    if (!m_block.Empty())
    {
        if (std::optional<VersionValue> value = m_block.Query("\\VarFileInfo\\Translation"))
            m_translations = TranslationList(value->bytes);
    }
    if (m_selected < 0 || static_cast<size_t>(m_selected) >= m_translations.size())
        m_selected = 0;
}

std::string TFileVersion::KeyValue(const std::string& key) const
{
    const std::string translation =
        (m_selected >= 0 && static_cast<size_t>(m_selected) < m_translations.size())
            ? m_translations[m_selected]
            : kFallbackTranslation;
    if (m_block.Empty())
        return {};
    return m_block.Text("\\StringFileInfo\\" + translation + "\\" + key).value_or(std::string());
}

std::string TFileVersion::PreDefValue(int ordinal) const
{
    const std::string key = PreDefKey(ordinal);
    return key.empty() ? std::string() : KeyValue(key);
}

std::string GetVersionString(const VersionServices& services, const std::string& path, int selector)
{
    if (selector == 10)
        return services.fileDate ? services.fileDate(path) : std::string();
    if (selector < 0 || selector > 10)
        return {};
    TFileVersion reader(services);
    reader.StoreFilename(path);
    reader.SetForceEXE(true);
    return reader.PreDefValue(kSelectorKeys[selector]);
}

} // namespace about
