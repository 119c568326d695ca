// A process that only waits: tests start copies of it under other names (a browser's, say).
#include <windows.h>
#include <cstdlib>

int main(int argc, char **argv)
{
    DWORD ms = argc > 1 ? static_cast<DWORD>(std::atol(argv[1])) : 30000;
    Sleep(ms);
    return 0;
}
