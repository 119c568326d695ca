#include "engine/PublicFunctionUnit.h"

void GetCurrentUserName(std::string &result)
{
    char buffer[255];
    DWORD size = sizeof(buffer);
    if (!GetUserNameA(buffer, &size))
        return;
    buffer[sizeof(buffer) - 1] = 0;
    result = buffer;   // the text up to the first NUL
}
