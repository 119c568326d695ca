#include "engine/ExcludeItemUnit.h"

TExcludeContents *ExcludeContents = nullptr;
