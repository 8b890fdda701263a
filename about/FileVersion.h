#pragma once
// TFileVersion: one file's version block and its values by key, in the block's first translation
// (or the one selected). GetVersionString: one value for the About box by its own selector.
// Portable; the platform hands in the block's bytes and the file's date.
#include "about/VersionBlock.h"

#include <functional>
#include <string>
#include <vector>

namespace about
{

// The predefined keys, by ordinal.
enum TPreDef : int
{
    pdCompanyName,
    pdFileDescription,
    pdFileVersion,
    pdInternalName,
    pdLegalCopyright,
    pdLegalTrademarks,
    pdOriginalFilename,
    pdProductName,
    pdProductVersion,
    pdComments,
    pdBuildFlags,
};

// The key of a TPreDef ordinal; empty for any other number.
std::string PreDefKey(int ordinal);

// What the reader needs of the platform.
struct VersionServices
{
    // The file's version block; empty when it has none or cannot be read.
    std::function<std::vector<uint8_t>(const std::string& path)> readBlock;
    // The running executable's path (an empty Filename reads it).
    std::function<std::string()> exeFileName;
    // The file's last modification date as a short date in the user's format; empty on failure.
    std::function<std::string(const std::string& path)> fileDate;
};

class TFileVersion
{
public:
    explicit TFileVersion(VersionServices services) : m_services(std::move(services)) {}

    // Setting the name reads the block again.
    void SetFilename(const std::string& filename);
    // Stores the name without reading (the reader is then read by SetForceEXE).
    void StoreFilename(const std::string& filename) { m_filename = filename; }
    const std::string& Filename() const { return m_filename; }
    // A change reads the block again.
    void SetForceEXE(bool force);
    bool ForceEXE() const { return m_forceExe; }

    // The translations of the block, eight lower-case hex digits each: language, then code page.
    const std::vector<std::string>& Translations() const { return m_translations; }
    int SelectedTranslation() const { return m_selected; }
    void SetSelectedTranslation(int index) { m_selected = index; }
    const VersionBlock& Block() const { return m_block; }

    // The value of a TPreDef ordinal in the selected translation; empty when absent.
    std::string PreDefValue(int ordinal) const;
    // The value of any key in the selected translation; empty when absent.
    std::string KeyValue(const std::string& key) const;

private:
    void Read();

    VersionServices m_services;
    std::string m_filename;
    bool m_forceExe = false;
    VersionBlock m_block;
    std::vector<std::string> m_translations;
    int m_selected = 0;
};

// The translation list of a "\VarFileInfo\Translation" value of bytes.
std::vector<std::string> TranslationList(const std::vector<uint8_t>& value);

// One value of path's version block by the About box's selector: 0 CompanyName, 1 LegalTrademarks,
// 2 InternalName, 3 FileDescription, 4 FileVersion, 5 LegalCopyright, 6 OriginalFilename,
// 7 Comments, 8 ProductName, 9 ProductVersion, 10 the file's date; empty for any other.
std::string GetVersionString(const VersionServices& services, const std::string& path, int selector);

} // namespace about
