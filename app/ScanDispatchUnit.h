// The scanners of the catalogue items, per category in ItemNo order: the tables the scan driver's
// dispatch methods index with ItemNo - 1. Writable, so that a test can put a probe in an entry.
#pragma once
#include "engine/PublicFunctionUnit.h"

extern TScanProc InternetExplorerScanTable[9];
extern TScanProc WindowsSoftwareScanTable[16];
extern TScanProc WindowsSystemScanTable[15];
extern TScanProc InternetSoftwareScanTable[10];
