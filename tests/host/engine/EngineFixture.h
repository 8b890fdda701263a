#pragma once
// A finder on fake services that records its events as text lines, for the engine's tests.
#include "engine/FindFile.h"
#include "tests/support/FakeFileSystem.h"
#include "tests/support/FakeLocalTime.h"
#include "tests/support/FakeThreadControl.h"
#include "tests/support/QueueSyncCall.h"

#include <gtest/gtest.h>
#include <memory>
#include <set>
#include <string>
#include <vector>

class EngineTest : public ::testing::Test
{
protected:
    EngineTest()
    {
        fs.SetCurrentFolder("C:\\work");
        fs.AddFolder("C:\\work");
    }

    engine::FinderServices Services() { return {fs, localTime, syncCall, threads}; }

    // A finder whose events append "folder <Folder>", "found <Folder>|<Name>" and "complete".
    std::unique_ptr<engine::TFindFile> MakeFinder()
    {
        auto finder = std::make_unique<engine::TFindFile>(Services());
        finder->OnNewFolder = [this](engine::TFindFile&, const std::string& folder, bool& ignore) {
            events.push_back("folder " + folder);
            ignore = ignoreFolders.count(folder) != 0;
        };
        finder->OnFound = [this](engine::TFindFile&, const std::string& folder,
                                 const engine::TSearchRec& rec) {
            events.push_back("found " + folder + "|" + rec.Name);
            records.push_back(rec);
        };
        finder->OnComplete = [this](engine::TFindFile&) { events.push_back("complete"); };
        return finder;
    }

    // Names reported by OnFound, in order.
    std::vector<std::string> FoundNames() const
    {
        std::vector<std::string> names;
        for (const engine::TSearchRec& rec : records)
            names.push_back(rec.Name);
        return names;
    }

    // Runs an inline search of location with the finder's other settings as they are.
    std::vector<std::string> RunInline(engine::TFindFile& finder, const std::string& location)
    {
        finder.SetLocation(location);
        finder.SetThreaded(false);
        finder.StartSearch();
        return FoundNames();
    }

    testing_support::FakeFileSystem fs;
    testing_support::FakeLocalTime localTime{60}; // UTC+1
    testing_support::QueueSyncCall syncCall;
    testing_support::FakeThreadControl threads;
    std::vector<std::string> events;
    std::vector<engine::TSearchRec> records;
    std::set<std::string> ignoreFolders;
};
