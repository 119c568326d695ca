#include "app/ScanDispatchUnit.h"
// Each scanner unit joins its table as soon as it is part of the tree.
#if __has_include("engine/IneterNetExploerUnit.h")
#include "engine/IneterNetExploerUnit.h"
#define QM_IE_SCANNERS 1
#endif
#if __has_include("engine/WindowsSoftWareUnit.h")
#include "engine/WindowsSoftWareUnit.h"
#define QM_SOFTWARE_SCANNERS 1
#endif
#if __has_include("engine/WindowSystemUnit.h")
#include "engine/WindowSystemUnit.h"
#define QM_SYSTEM_SCANNERS 1
#endif
#if __has_include("engine/InternetSoftWareUnit.h")
#include "engine/InternetSoftWareUnit.h"
#define QM_DOWNLOAD_SCANNERS 1
#endif
#if __has_include("engine/InternetSoftWareUnitBrowsers.cpp")
#define QM_BROWSER_SCANNERS 1
#endif

TScanProc InternetExplorerScanTable[9] = {
#ifdef QM_IE_SCANNERS
    ScanIECache, ScanIEAddressBarHistory, ScanIECookies, ScanIEFavorites, ScanIEFavoritesExportFile,
    ScanIEFavoritesImportFolder, ScanIEAutoCompleteData, ScanIEDownloadDirectory, ScanIESaveDirectory,
#endif
};

TScanProc WindowsSoftwareScanTable[16] = {
#ifdef QM_SOFTWARE_SCANNERS
    ScanPaintHistory, ScanWordPadHistory, ScanMediaPlayerHistory, ScanFrontPageExpressHistory,
    ScanHelpWorkshopHistory, ScanOfficeHistory, ScanPublisherHistory, ScanFrontPageHistory,
    ScanNetMeetingHistory, ScanMSNMessengerHistory, ScanMSDNProjectMRU, ScanWinRARHistory,
    ScanWinZipHistory, ScanZipMagicHistory, ScanASPackHistory, ScanACDSeeHistory,
#endif
};

TScanProc WindowsSystemScanTable[15] = {
#ifdef QM_SYSTEM_SCANNERS
    ScanRunMRU, ScanWindowsSendTo, ScanRecentDocuments, ScanTelnetMenuHistory, ScanMyNetworkPlaces,
    ScanMapNetworkDriveMRU, ScanOpenWithHistory, ScanManagementConsoleMRU, ScanRegedit32History,
    ScanStartMenuClickHistory, ScanStartMenuOrderHistory, ScanTrayNotifyHistory, ScanShareFolder,
    ScanMUICache, ScanRecycleBin,
#endif
};

TScanProc InternetSoftwareScanTable[10] = {
#ifdef QM_DOWNLOAD_SCANNERS
    ScanRealDownload, ScanGetRight, ScanDownloadAccelerator, ScanKazaaHistory,
#else
    nullptr, nullptr, nullptr, nullptr,
#endif
#ifdef QM_BROWSER_SCANNERS
    ScanFirefoxHistory, ScanFirefoxCookies, ScanFirefoxCache, ScanNetscapeHistory, ScanNetscapeCookies,
    ScanNetscapeCache,
#endif
};
