// Result list fill and purge of the cleaned items over 100,000 traces, and the fill of the Result
// page's owner-data list: each should take well under 0.1 s, the first fill of a process as well as
// a refill. Prints one line per measurement; not run by the tests.
#include <windows.h>
#include <cstdio>
#include "app/DMUnit.h"
#include "app/ResultItemUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "ui/Application.h"
#include "ui/ListView.h"

namespace {

double Seconds(LARGE_INTEGER a, LARGE_INTEGER b)
{
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
}

void Seed(int n)
{
    for (auto &c : ResultContents) {
        delete c;
        c = new TResultContents;
    }
    for (int i = 0; i < n; ++i) {
        TResultContents *r = ResultContents[tcInternetExplorer];
        TContent &c = r->GetItem(r->AddItem())->Content;
        c.CleanCaption = "Clean IE Cache";
        c.Kind = tkIECacheEntry;
        c.ItemName = "Clean IE Cache";
        c.Entry = "http://www.example.com/some/page/" + std::to_string(i) + ".html";
        c.Location = "C:\\Temporary Internet Files\\Content.IE5\\X\\" + std::to_string(i) + ".htm";
        c.Size = 4096 + i % 1000;
        c.Checked = 1;
        c.Removed = i % 2;
    }
}

}  // namespace

int main()
{
    const int n = 100000;
    Seed(n);
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    FillResultRows(tcInternetExplorer, 0, false);
    QueryPerformanceCounter(&b);
    printf("fill of %d rows (category view): %.4f s\n", ResultRows.Count(), Seconds(a, b));

    QueryPerformanceCounter(&a);
    FillResultRows(tcInternetExplorer, 0, false);
    QueryPerformanceCounter(&b);
    printf("second fill of %d rows (category view): %.4f s\n", ResultRows.Count(), Seconds(a, b));

    QueryPerformanceCounter(&a);
    FillResultRows(tcInternetExplorer, 1, false);
    QueryPerformanceCounter(&b);
    printf("fill of %d rows (item view): %.4f s\n", ResultRows.Count(), Seconds(a, b));

    // Every item removed, then half of them: the worst cases for a purge that searched repeatedly.
    for (int i = 0; i < n; ++i) ResultContents[0]->GetItem(i)->Content.Removed = 1;
    QueryPerformanceCounter(&a);
    PurgeRemovedItems(ResultContents[0]);
    QueryPerformanceCounter(&b);
    printf("purge of %d removed of %d: %.4f s\n", n, n, Seconds(a, b));

    Seed(2 * n);
    QueryPerformanceCounter(&a);
    PurgeRemovedItems(ResultContents[0]);
    QueryPerformanceCounter(&b);
    printf("purge of %d removed of %d: %.4f s (%d left)\n", n, 2 * n, Seconds(a, b), ResultContents[0]->Count());
    // The same on the Result page: the rows, the footer and the owner-data list view, painted.
    WriteDefaultSettings();
    DM = new TDM();
    Seed(n);
    frmMainForm = new TfrmMainForm();
    frmMainForm->Show();
    frmMainForm->ResultBtnClick(nullptr);
    ui::Application->ProcessMessages();
    for (const char *which : {"first", "second"}) {
        QueryPerformanceCounter(&a);
        frmMainForm->FillResultList(tcInternetExplorer, 0, false);
        UpdateWindow(frmMainForm->ResultListView->Handle());
        QueryPerformanceCounter(&b);
        printf("%s fill of %d rows on the Result page, painted: %.4f s\n", which, ResultRows.Count(), Seconds(a, b));
    }
    delete frmMainForm;
    frmMainForm = nullptr;
    delete DM;
    DM = nullptr;
    ResultRows.Clear();
    return 0;
}
