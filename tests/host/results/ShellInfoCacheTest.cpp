#include "ui/results/ShellInfoCache.h"

#include <gtest/gtest.h>

namespace
{

struct CountingShell
{
    std::optional<ui::ShellInfo> operator()(const std::string& path)
    {
        asked.push_back(path);
        if (path.find("unknown") != std::string::npos)
            return std::nullopt;
        return ui::ShellInfo{"type of " + path, static_cast<int>(asked.size())};
    }
    std::vector<std::string> asked;
};

TEST(ShellInfoCache, FirstAnswerServesTheExtensionInAnyCase)
{
    CountingShell shell;
    ui::ShellInfoCache cache([&](const std::string& p) { return shell(p); });
    auto first = cache.Lookup("C:\\a\\one.txt", "one.txt", false);
    auto second = cache.Lookup("C:\\b\\two.TXT", "two.TXT", false);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(second->typeName, "type of C:\\a\\one.txt");
    EXPECT_EQ(second->icon, first->icon);
    cache.Lookup("C:\\noext", "noext", false);
    cache.Lookup("C:\\other", "other", false);
    EXPECT_EQ(shell.asked, (std::vector<std::string>{"C:\\a\\one.txt", "C:\\noext"}));
}

TEST(ShellInfoCache, OwnIconFilesAndFoldersAreAskedEachTime)
{
    CountingShell shell;
    ui::ShellInfoCache cache([&](const std::string& p) { return shell(p); });
    for (const char* name : {"a.exe", "b.EXE", "c.ico", "d.lnk", "e.cur", "f.ani", "g.url", "h.scr", "i.msc"})
        cache.Lookup(std::string("C:\\") + name, name, false);
    cache.Lookup("C:\\dir.txt", "dir.txt", true);
    cache.Lookup("C:\\dir2.txt", "dir2.txt", true);
    EXPECT_EQ(shell.asked.size(), 11u);
    EXPECT_TRUE(ui::ShellInfoCache::AsksPerItem("x.Lnk", false));
    EXPECT_FALSE(ui::ShellInfoCache::AsksPerItem("x.exe.txt", false));
    EXPECT_FALSE(ui::ShellInfoCache::AsksPerItem("exe", false));
}

TEST(ShellInfoCache, UnknownPathsAreNotCached)
{
    CountingShell shell;
    ui::ShellInfoCache cache([&](const std::string& p) { return shell(p); });
    EXPECT_FALSE(cache.Lookup("C:\\unknown.dat", "unknown.dat", false));
    auto known = cache.Lookup("C:\\known.dat", "known.dat", false);
    ASSERT_TRUE(known);
    EXPECT_EQ(known->typeName, "type of C:\\known.dat");
    cache.Clear();
    cache.Lookup("C:\\again.dat", "again.dat", false);
    EXPECT_EQ(shell.asked.size(), 3u);
}

} // namespace
