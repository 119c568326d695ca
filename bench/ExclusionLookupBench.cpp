// The exclusion tests at scale: the same registry scan of 20,000 values and the same Internet
// Explorer cache scan of 20,000 entries, each with no exclusions and with 10,000 exclusions of the
// same item and place (none of which matches, so both runs find the same traces). With the list
// indexed the second run should take at most 1.5 times the first. The values and cache entries are
// made here and removed afterwards. Prints one line per scan and the ratios; not run by the tests.
// Run: scripts/wine-run build/x86_64/bench/exclusion_lookup_bench.exe
#include <windows.h>
#include <wininet.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include "engine/ExcludeItemUnit.h"
#include "engine/IneterNetExploerUnit.h"
#include "engine/PublicFunctionUnit.h"
#include "engine/ResultContentUnit.h"

namespace {

constexpr int Traces = 20000;
constexpr int Exclusions = 10000;
constexpr int Rounds = 3;

const char *const BenchKey = "Software\\QuillmoorExclusionBench";
const char *const BenchLocation = "HKEY_CURRENT_USER\\Software\\QuillmoorExclusionBench";
const char *const UrlPrefix = "http://exclusion-bench.example/page/";

double Now()
{
    LARGE_INTEGER t, f;
    QueryPerformanceCounter(&t);
    QueryPerformanceFrequency(&f);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Numbered(const char *prefix, int i, const char *suffix)
{
    char text[32];
    std::snprintf(text, sizeof text, "%05d", i);
    return prefix + std::string(text) + suffix;
}

bool MakeValues()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, BenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    bool ok = true;
    for (int i = 0; i < Traces && ok; ++i) {
        const std::string name = Numbered("File", i, "");
        const std::string data = Numbered("C:\\pictures\\picture", i, ".bmp");
        ok = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE *>(data.c_str()),
                            static_cast<DWORD>(data.size() + 1)) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

int MakeCacheEntries()
{
    int made = 0;
    for (int i = 0; i < Traces; ++i) {
        const std::string url = Numbered(UrlPrefix, i, ".html");
        FILETIME none = {};
        made += CommitUrlCacheEntryA(url.c_str(), nullptr, none, none, NORMAL_CACHE_ENTRY, nullptr, 0, nullptr,
                                     nullptr) != 0;
    }
    return made;
}

void RemoveCacheEntries()
{
    for (int i = 0; i < Traces; ++i) DeleteUrlCacheEntryA(Numbered(UrlPrefix, i, ".html").c_str());
}

// The exclusions: all of one item. With a place, all of that place, each with its own data that no
// value has; without one (the cache), each of its own URL that no entry has.
void FillExclusions(TExcludeContents &list, int count, const char *itemName, const std::string &place)
{
    list.Clear();
    for (int i = 0; i < count; ++i) {
        exclude::TContent &c = list.GetItem(list.AddItem())->Content;
        c.ItemName = itemName;
        c.Location = place.empty() ? Numbered(UrlPrefix, i, ".htm") : place;
        c.Data = Numbered("C:\\kept\\picture", i, ".bmp");
    }
}

// One scan, timed.
template <class Scan>
double Timed(Scan scan, int &found)
{
    TResultContents results;
    const double a = Now();
    scan(&results);
    const double seconds = Now() - a;
    found = results.Count();
    return seconds;
}

// The two runs alternate, after one run that is not counted, and each keeps its best time: the
// machine is shared and the first walk of a key or of the cache pays for warming it.
template <class Scan>
void Compare(const char *what, Scan scan, TExcludeContents &list, const char *itemName, const std::string &place)
{
    int found = 0, found0 = 0, found1 = 0;
    FillExclusions(list, 0, itemName, place);
    Timed(scan, found);
    double none = 1e9, many = 1e9;
    for (int r = 0; r < Rounds; ++r) {
        FillExclusions(list, 0, itemName, place);
        none = std::min(none, Timed(scan, found0));
        FillExclusions(list, Exclusions, itemName, place);
        many = std::min(many, Timed(scan, found1));
    }
    std::printf("%s, %5d exclusions: %.3f s (%d traces found)\n", what, 0, none, found0);
    std::printf("%s, %5d exclusions: %.3f s (%d traces found)\n", what, Exclusions, many, found1);
    std::printf("%s: ratio %.2f (goal: at most 1.50)\n", what, many / none);
}

}  // namespace

int main()
{
    TExcludeContents list;
    TExcludeContents *const saved = ExcludeContents;
    ExcludeContents = &list;
    int status = 0;

    TRegScanItem item;
    item.Group = "Microsoft Windows";
    item.CleanCaption = "Clean Bench History";
    item.ItemName = "Bench";
    item.Kind = tkRegValueData;
    item.CountRule = TRegCountRule::Added;
    auto registryScan = [&](TResultContents *results) {
        int32_t running = 0;
        ScanRegKey(item, BenchLocation, nullptr, 0, results, running);
    };
    if (MakeValues()) {
        Compare("registry scan of 20000 values", registryScan, list, "Bench", BenchLocation);
    } else {
        std::fprintf(stderr, "cannot make the registry values below HKEY_CURRENT_USER\\%s\n", BenchKey);
        status = 1;
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, BenchKey);

    // Cache exclusions compare the URL itself: 10,000 URLs that no entry has.
    const int made = MakeCacheEntries();
    if (made == Traces) {
        auto cacheScan = [](TResultContents *results) { ScanIECache(nullptr, 0, results); };
        Compare("cache scan of 20000 entries", cacheScan, list, "Cache", std::string());
    } else {
        std::fprintf(stderr, "made only %d of %d cache entries\n", made, Traces);
        status = 1;
    }
    RemoveCacheEntries();

    ExcludeContents = saved;
    return status;
}
