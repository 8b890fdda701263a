#pragma once
// The finder's published search criteria as one plain record: the finder holds one, a run copies
// it whole, and the search panel and the console front end fill it.
#include "engine/ContainerKinds.h"
#include "engine/FindFileTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace engine
{

struct FindCriteria
{
    std::string filename = "*.*";          // one or more masks separated by ";"
    std::string location;                  // folders separated by ";"; empty: the current folder
    std::vector<std::string> includeFiles; // when not empty, these targets replace location + filename
    std::vector<std::string> excludeFiles; // exclusion masks matched against full paths
    bool subfolders = true;
    TFileAttributes attributes{ffArchive, ffReadonly, ffHidden, ffSystem};
    bool exactAttribute = false;
    TDateTime modifiedBefore = 0, modifiedAfter = 0; // 0: no bound
    TDateTime createdBefore = 0, createdAfter = 0;
    TDateTime accessedBefore = 0, accessedAfter = 0;
    int64_t sizeMin = 0, sizeMax = 0; // bytes, inclusive; 0: no bound
    std::string containing;           // empty: no content test
    bool ignoreCase = true;
    ContainerKinds containerKinds; // the content test reads the text inside these kinds of file
};

// The finder's checks of the two validated properties; both throw EFindFileError.
void CheckFilename(const std::string& value);
void CheckLocation(const std::string& value);

} // namespace engine
