// The scanners of the catalogue items, per category in ItemNo order: the tables the scan driver's
// dispatch methods index with ItemNo - 1. An entry is empty while its scanner is not built in.
#pragma once
#include "engine/PublicFunctionUnit.h"

extern TScanProc InternetExplorerScanTable[9];
extern TScanProc WindowsSoftwareScanTable[16];
extern TScanProc WindowsSystemScanTable[15];
extern TScanProc InternetSoftwareScanTable[10];
