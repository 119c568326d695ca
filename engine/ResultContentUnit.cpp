#include "engine/ResultContentUnit.h"
#include <climits>

TResultContents *ResultContents[TraceCategoryCount] = {nullptr, nullptr, nullptr, nullptr};
uint8_t ScanState = 0;
int32_t FoundSizeTotal = 0;

void AddFoundSize(int64_t size)
{
    const int64_t total = static_cast<int64_t>(FoundSizeTotal) + size;
    FoundSizeTotal = static_cast<int32_t>(total > INT32_MAX ? INT32_MAX : total < 0 ? 0 : total);
}
