// How long the Firefox history scan takes on a generated 10 MB history.dat, and the cookie scan on
// a generated 10 MB cookies.txt. The scans must stay linear in the file's size: well under a second.
// Run: scripts/wine-run build/x86_64/bench/history_scan_bench.exe
#include <windows.h>
#include <cstdio>
#include <string>
#include "engine/RegistryInfoUnit.h"
#include "engine/InternetSoftWareBrowsers.h"
#include "engine/CatalogueUnit.h"
#include "engine/ResultContentUnit.h"
#include "ui/Form.h"
#include "ui/TreeView.h"

namespace {

const char *const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string GeneratedHistory(size_t bytes, int &urls)
{
    std::string text = "// <!-- <mdb:mork:z v=\"1.4\"/> -->\n< <(a=c)> // (f=iso-8859-1)\n";
    char row[256];
    urls = 0;
    while (text.size() < bytes) {
        int n = snprintf(row, sizeof row,
                         "[-%X(^80=http://www.site%d.example/path/page%d.html?q=%d)(^81=1103299264%06d)"
                         "(^82=Page %d title)(^83=%d)]\n",
                         urls, urls % 977, urls, urls * 7, urls % 1000000, urls, urls % 50);
        text.append(row, static_cast<size_t>(n));
        ++urls;
    }
    return text;
}

std::string GeneratedCookies(size_t bytes, int &domains)
{
    std::string text = "# Netscape HTTP Cookie File\n# generated\n\n";
    char row[256];
    domains = 0;
    for (int i = 0; text.size() < bytes; ++i) {
        int n = (i % 3 == 2) ? snprintf(row, sizeof row, "host%d.example.org\tFALSE\t/\tFALSE\t1999999999\tid\t%d\n", i, i)
                             : snprintf(row, sizeof row, ".site%d.example.com\tTRUE\t/\tFALSE\t1999999999\tsid\tv%08d\n",
                                        i, i * 31);
        if (i % 3 != 2) ++domains;
        text.append(row, static_cast<size_t>(n));
    }
    return text;
}

bool WriteAll(const std::string &path, const std::string &bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    BOOL ok = WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
    return ok && put == bytes.size();
}

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER f)
{
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

}  // namespace

int main()
{
    char tmp[MAX_PATH];
    GetTempPathA(MAX_PATH, tmp);
    const std::string root = std::string(tmp) + "qm_history_bench";
    const std::string profile = root + "\\Mozilla\\Firefox\\Profiles\\bench.default";
    for (const char *p : {"", "\\Mozilla", "\\Mozilla\\Firefox", "\\Mozilla\\Firefox\\Profiles",
                          "\\Mozilla\\Firefox\\Profiles\\bench.default"})
        CreateDirectoryA((root + p).c_str(), nullptr);

    int urls = 0, domains = 0;
    const std::string history = GeneratedHistory(10u << 20, urls);
    const std::string cookies = GeneratedCookies(10u << 20, domains);
    if (!WriteAll(profile + "\\history.dat", history) || !WriteAll(profile + "\\cookies.txt", cookies)) {
        fprintf(stderr, "cannot write the generated files below %s\n", root.c_str());
        return 2;
    }

    // Point "AppData" at the bench folder for the run, and put the old value back afterwards.
    HKEY key;
    RegCreateKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    char old[MAX_PATH * 2] = "";
    DWORD oldSize = sizeof old, oldType = 0;
    bool hadOld = RegQueryValueExA(key, "AppData", nullptr, &oldType, (BYTE *)old, &oldSize) == ERROR_SUCCESS;
    RegSetValueExA(key, "AppData", 0, REG_SZ, (const BYTE *)root.c_str(), static_cast<DWORD>(root.size() + 1));

    // The item tree of the Scan page, shown, so that every count the scan sets is painted.
    CreateScanItemLists();
    TSectionRec heads[1 + TraceCategoryCount];
    ui::TForm form;
    form.CreateForm("QmHistoryBench", "history bench", 400, 700, ui::bsSingle, false);
    ui::TTreeView tree;
    tree.Create(&form, 0, 0, 380, 680);
    ui::TTreeNode *top = tree.AddChild(nullptr, "My Computer", &heads[0]);
    for (int c = 0; c < TraceCategoryCount; ++c) {
        ui::TTreeNode *category = tree.AddChild(top, CategoryCaption(c), &heads[c + 1]);
        for (TSectionRec *rec : *ScanItemLists[c]) tree.AddChild(category, rec->ItemCaption, rec);
    }
    tree.FullExpand();
    form.Show();

    LARGE_INTEGER f, t0, t1, t2;
    QueryPerformanceFrequency(&f);
    TResultContents results;
    ScanState = 1;
    QueryPerformanceCounter(&t0);
    ScanFirefoxHistory(&tree, 49, &results);
    QueryPerformanceCounter(&t1);
    const int historyItems = results.Count();
    results.Clear();
    ScanFirefoxCookies(&tree, 50, &results);
    QueryPerformanceCounter(&t2);
    const int cookieItems = results.Count();
    ScanState = 0;

    if (hadOld)
        RegSetValueExA(key, "AppData", 0, oldType, (const BYTE *)old, oldSize);
    else
        RegDeleteValueA(key, "AppData");
    RegCloseKey(key);
    DeleteFileA((profile + "\\history.dat").c_str());
    DeleteFileA((profile + "\\cookies.txt").c_str());

    printf("history.dat %zu bytes, %d addresses: %d items in %.3f s\n", history.size(), urls, historyItems,
           Seconds(t0, t1, f));
    printf("cookies.txt %zu bytes, %d domain lines: %d items in %.3f s\n", cookies.size(), domains, cookieItems,
           Seconds(t1, t2, f));
    const bool ok = historyItems == urls && cookieItems == domains && (*ScanItemLists[3])[4]->Count == urls &&
                    (*ScanItemLists[3])[5]->Count == domains && Seconds(t0, t1, f) < 1.0 &&
                    Seconds(t1, t2, f) < 1.0;
    printf("%s\n", ok ? "ok" : "TOO SLOW OR WRONG COUNT");
    FreeScanItemLists();
    return ok ? 0 : 1;
}
