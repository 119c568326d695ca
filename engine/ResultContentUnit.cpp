#include "engine/ResultContentUnit.h"

TResultContents *ResultContents[TraceCategoryCount] = {nullptr, nullptr, nullptr, nullptr};
uint8_t ScanState = 0;
int32_t FoundSizeTotal = 0;
