// The Internet Software dispatch table, apart from the scanners so that linking one member does
// not need all ten.
#include "engine/InternetSoftWareUnit.h"

const TScanProc InternetSoftwareScanners[10] = {
    ScanRealDownload,   ScanGetRight,        ScanDownloadAccelerator, ScanKazaaHistory,   ScanFirefoxHistory,
    ScanFirefoxCookies, ScanFirefoxCache,    ScanNetscapeHistory,     ScanNetscapeCookies, ScanNetscapeCache,
};
