#pragma once
// A results mode for tests: the file or the computer columns, and the actions on selected rows
// recorded instead of run by the shell.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on
#include "lang/TextIds.h"
#include "ui/results/ResultsList.h"
#include "ui/results/ResultsMode.h"

namespace testing_support
{

class RecordingResultsMode : public ui::ResultsMode
{
public:
    explicit RecordingResultsMode(bool files) : m_files(files) {}

    std::vector<int> ColumnTexts() const override
    {
        using namespace lang::text;
        if (m_files)
            return {kColumnName, kColumnFolder, kColumnSize, kColumnModified, kColumnType};
        return {kColumnComputer, kColumnAddress, kColumnWorkgroup, kColumnComment, kColumnMac};
    }
    HIMAGELIST SmallImages() const override
    {
        return m_files ? ui::SystemImageList(SHGFI_SMALLICON) : nullptr;
    }
    HIMAGELIST LargeImages() const override
    {
        return m_files ? ui::SystemImageList(SHGFI_LARGEICON) : nullptr;
    }
    bool RowsAreFiles() const override { return m_files; }
    void ShowRowMenu(const std::vector<std::string>& paths, POINT screen) override
    {
        menus.push_back(paths);
        menuPoints.push_back(screen);
    }
    void OpenRows(const std::vector<std::string>& paths) override { opened.push_back(paths); }

    std::vector<std::vector<std::string>> menus;
    std::vector<POINT> menuPoints;
    std::vector<std::vector<std::string>> opened;

private:
    bool m_files;
};

} // namespace testing_support
