// The exclusion list file with 100,000 exclusions: load, full rewrite, one more addition (which
// looks for a duplicate first) and a removal near the end. Prints one line per measurement; not
// run by the tests.
#include <windows.h>
#include <cstdio>
#include <string>
#include "app/DMUnitExclude.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t;
}

}  // namespace

int main()
{
    const int n = 100000;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "qm-exclusion-bench.qmt";

    std::string text;
    for (int i = 0; i < n; ++i)
        text += "Cache|http://www.example.com/some/page/" + std::to_string(i) + ".html!<\r\n";
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);

    TExcludeContents list;
    LARGE_INTEGER a = Now();
    LoadExclusionFile(path, &list);
    LARGE_INTEGER b = Now();
    std::printf("load %d lines (%u bytes): %.3f s\n", list.Count(), static_cast<unsigned>(text.size()), Seconds(a, b));

    a = Now();
    RewriteExclusionFile(path, &list);
    b = Now();
    std::printf("rewrite %d lines: %.3f s\n", list.Count(), Seconds(a, b));

    exclude::TContent c;
    c.ItemName = "Cookies";
    c.Location = "Cookie:user@example.com/";
    a = Now();
    AddExclusionTo(path, &list, c);
    b = Now();
    std::printf("add one to %d: %.6f s\n", list.Count() - 1, Seconds(a, b));

    a = Now();
    RemoveExclusionFrom(path, &list, "Cache", "http://www.example.com/some/page/99990.html");
    b = Now();
    std::printf("remove one near the end: %.3f s\n", Seconds(a, b));

    DeleteFileA(path.c_str());
    return 0;
}
