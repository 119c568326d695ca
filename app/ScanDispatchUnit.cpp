#include "app/ScanDispatchUnit.h"
#include "engine/IneterNetExploerUnit.h"
#include "engine/InternetSoftWareUnit.h"
#include "engine/WindowSystemUnit.h"
#include "engine/WindowsSoftWareUnit.h"

TScanProc InternetExplorerScanTable[9] = {
    ScanIECache, ScanIEAddressBarHistory, ScanIECookies, ScanIEFavorites, ScanIEFavoritesExportFile,
    ScanIEFavoritesImportFolder, ScanIEAutoCompleteData, ScanIEDownloadDirectory, ScanIESaveDirectory,
};

TScanProc WindowsSoftwareScanTable[16] = {
    ScanPaintHistory, ScanWordPadHistory, ScanMediaPlayerHistory, ScanFrontPageExpressHistory,
    ScanHelpWorkshopHistory, ScanOfficeHistory, ScanPublisherHistory, ScanFrontPageHistory,
    ScanNetMeetingHistory, ScanMSNMessengerHistory, ScanMSDNProjectMRU, ScanWinRARHistory,
    ScanWinZipHistory, ScanZipMagicHistory, ScanASPackHistory, ScanACDSeeHistory,
};

TScanProc WindowsSystemScanTable[15] = {
    ScanRunMRU, ScanWindowsSendTo, ScanRecentDocuments, ScanTelnetMenuHistory, ScanMyNetworkPlaces,
    ScanMapNetworkDriveMRU, ScanOpenWithHistory, ScanManagementConsoleMRU, ScanRegedit32History,
    ScanStartMenuClickHistory, ScanStartMenuOrderHistory, ScanTrayNotifyHistory, ScanShareFolder,
    ScanMUICache, ScanRecycleBin,
};

TScanProc InternetSoftwareScanTable[10] = {
    ScanRealDownload, ScanGetRight, ScanDownloadAccelerator, ScanKazaaHistory, ScanFirefoxHistory,
    ScanFirefoxCookies, ScanFirefoxCache, ScanNetscapeHistory, ScanNetscapeCookies, ScanNetscapeCache,
};
