#pragma once
// Every text ID the program fetches from the language module. The numbers are the modules'
// string-table keys and never change.

namespace lang::text
{

// Main window frame
constexpr int kMainCaption = 1;
constexpr int kAboutButton = 11;
constexpr int kLanguageButton = 12;
constexpr int kMinimizeButton = 13;
constexpr int kCloseButton = 52;
constexpr int kSettingsButton = 501; // also the settings dialog's heading

// File search panel
constexpr int kFileHeader = 100;
constexpr int kFileDescription = 106;
constexpr int kNameLabel = 103;
constexpr int kContainingLabel = 104;
constexpr int kLookInLabel = 105;
constexpr int kBrowseEntry = 61; // state marker: choosing it opens the folder browser
constexpr int kDateSection = 107;
constexpr int kSizeSection = 108;
constexpr int kMoreOptionsSection = 140;
constexpr int kAnyDateOrSize = 109;
constexpr int kModifiedLast30Days = 110;
constexpr int kModifiedLastYear = 111;
constexpr int kDateRange = 112;
constexpr int kDateKindCreated = 113;  // state marker
constexpr int kDateKindModified = 114; // state marker
constexpr int kDateKindAccessed = 115; // state marker
constexpr int kRangeFrom = 116;
constexpr int kRangeTo = 117;
constexpr int kSizeUpTo1MB = 118;
constexpr int kSize1To10MB = 119;
constexpr int kSizeFrom10MB = 120;
constexpr int kSizeCustom = 121;
constexpr int kSizeAtLeast = 122; // state marker
constexpr int kSizeAtMost = 123;  // state marker
constexpr int kSearchSubfolders = 150;
constexpr int kFindStart = 5510; // state marker: no search runs
constexpr int kFindStop = 5511;

// Results list, status line, view menu
constexpr int kColumnName = 5520; // state marker: the list shows file results
constexpr int kColumnFolder = 5521;
constexpr int kColumnSize = 5523;
constexpr int kColumnModified = 5525;
constexpr int kColumnType = 200;
constexpr int kTypeFilePrefix = 201;
constexpr int kStatusCountBefore = 220;
constexpr int kStatusCountAfter = 221;
constexpr int kViewSmallIcons = 210;
constexpr int kViewLargeIcons = 211;
constexpr int kViewList = 212;
constexpr int kViewDetails = 213;

// Computer search panel
constexpr int kNetworkHeader = 101;
constexpr int kNetworkDescription = 124;
constexpr int kComputerNameLabel = 125;
constexpr int kListWorkgroups = 132;
constexpr int kColumnComputer = 250;
constexpr int kColumnAddress = 251;
constexpr int kColumnWorkgroup = 252;
constexpr int kColumnComment = 253;
constexpr int kColumnMac = 254;

// Settings dialog and Explorer integration
constexpr int kSettingsCaption = 500;
constexpr int kSettingsContextMenu = 502;
constexpr int kSettingsDefaultFind = 503;
constexpr int kOkButton = 300;
constexpr int kCancelButton = 301;
constexpr int kContextMenuCommand = 600; // a registry key name

// Results menu (a right click on the list's empty area) and saving a result set
constexpr int kSaveResults = 7000;
constexpr int kCopyAllPaths = 7001;
constexpr int kSelectAll = 7002;
constexpr int kOpenContainingFolder = 7003;
constexpr int kSaveFilterCsv = 7004; // the save dialog's file types
constexpr int kSaveFilterPaths = 7005;
constexpr int kSaveFailed = 7006; // followed by the file's path

// Network panel: the node-status sweep of the local subnets, asked for by the user
constexpr int kSweepLocalNetwork = 7100;
// Network mode's columns of the card's maker and of the way the name was found, and that way's
// word for the browse list (NetBIOS, mDNS and DNS are the same in every language)
constexpr int kColumnVendor = 7101;
constexpr int kColumnNameSource = 7102;
constexpr int kNameFromBrowseList = 7103;

// Search files: the file dialogs' titles and file type, and the refusals (followed by the key
// or the file's path)
constexpr int kSaveSearch = 7300;
constexpr int kOpenSearch = 7301;
constexpr int kSearchFileFilter = 7302;
constexpr int kSearchFileBadKey = 7303;
constexpr int kSearchFileUnreadable = 7304;
constexpr int kSaveSearchMenu = 7305; // the results menu's entry
constexpr int kSearchFileType = 7306; // the search files' type name in Explorer

// The status line's note of what a search could not look into, and its tooltip's lines (each
// followed by a count)
constexpr int kSkippedNote = 7400;
constexpr int kSkippedFoldersDenied = 7401;
constexpr int kSkippedFoldersFailed = 7402;
constexpr int kSkippedMissingFolders = 7403;
constexpr int kSkippedVanished = 7404;
constexpr int kSkippedUnreadable = 7405;
constexpr int kSkippedLinks = 7406;
constexpr int kSkippedPathsTooLong = 7407;

// The search panel's more-options section: the kinds of file whose inner text is searched
constexpr int kSearchInDocuments = 7500;
constexpr int kSearchInArchives = 7501;
// The preview pane under the results list: the view menu's entry, its heading's count, its notes
constexpr int kPreviewMenu = 7600;
constexpr int kPreviewLineCount = 7601;
constexpr int kPreviewCutOff = 7602;
constexpr int kPreviewVanished = 7603;
constexpr int kPreviewChanged = 7604;
constexpr int kPreviewNoText = 7605;
constexpr int kPreviewUnreadable = 7606;
constexpr int kPreviewNoHit = 7607;
constexpr int kPreviewNoFile = 7608;

// Settings dialog: the search fields' history
constexpr int kSettingsKeepHistory = 7200;

// All of the above, for checks that every module holds every text.
constexpr int kAll[] = {
    kMainCaption,
    kAboutButton,
    kLanguageButton,
    kMinimizeButton,
    kCloseButton,
    kSettingsButton,
    kFileHeader,
    kFileDescription,
    kNameLabel,
    kContainingLabel,
    kLookInLabel,
    kBrowseEntry,
    kDateSection,
    kSizeSection,
    kMoreOptionsSection,
    kAnyDateOrSize,
    kModifiedLast30Days,
    kModifiedLastYear,
    kDateRange,
    kDateKindCreated,
    kDateKindModified,
    kDateKindAccessed,
    kRangeFrom,
    kRangeTo,
    kSizeUpTo1MB,
    kSize1To10MB,
    kSizeFrom10MB,
    kSizeCustom,
    kSizeAtLeast,
    kSizeAtMost,
    kSearchSubfolders,
    kFindStart,
    kFindStop,
    kColumnName,
    kColumnFolder,
    kColumnSize,
    kColumnModified,
    kColumnType,
    kTypeFilePrefix,
    kStatusCountBefore,
    kStatusCountAfter,
    kViewSmallIcons,
    kViewLargeIcons,
    kViewList,
    kViewDetails,
    kNetworkHeader,
    kNetworkDescription,
    kComputerNameLabel,
    kListWorkgroups,
    kColumnComputer,
    kColumnAddress,
    kColumnWorkgroup,
    kColumnComment,
    kColumnMac,
    kSettingsCaption,
    kSettingsContextMenu,
    kSettingsDefaultFind,
    kOkButton,
    kCancelButton,
    kContextMenuCommand,
    kSaveResults,
    kCopyAllPaths,
    kSelectAll,
    kOpenContainingFolder,
    kSaveFilterCsv,
    kSaveFilterPaths,
    kSaveFailed,
    kSweepLocalNetwork,
    kColumnVendor,
    kColumnNameSource,
    kNameFromBrowseList,
    kSettingsKeepHistory,
    kSaveSearch,
    kOpenSearch,
    kSearchFileFilter,
    kSearchFileBadKey,
    kSearchFileUnreadable,
    kSaveSearchMenu,
    kSearchFileType,
    kSkippedNote,
    kSkippedFoldersDenied,
    kSkippedFoldersFailed,
    kSkippedMissingFolders,
    kSkippedVanished,
    kSkippedUnreadable,
    kSkippedLinks,
    kSkippedPathsTooLong,
    kSearchInDocuments,
    kSearchInArchives,
    kPreviewMenu,
    kPreviewLineCount,
    kPreviewCutOff,
    kPreviewVanished,
    kPreviewChanged,
    kPreviewNoText,
    kPreviewUnreadable,
    kPreviewNoHit,
    kPreviewNoFile,
};

} // namespace lang::text
