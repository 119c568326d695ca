// The result rows, the item-matching rule, the list fill and the page's texts, without a window.
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include "app/ResultItemUnit.h"

namespace {

std::string Sep()
{
    char sep[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep);
    return sep;
}

// Four fresh result collections, as the data module makes them, and empty rows.
struct ResultData : ::testing::Test {
    void SetUp() override
    {
        for (auto &c : ResultContents) c = new TResultContents;
        ResultRows.Clear();
        FoundSizeTotal = 0;
    }
    void TearDown() override
    {
        ResultRows.Clear();
        for (auto &c : ResultContents) {
            delete c;
            c = nullptr;
        }
    }
    static TContent &Add(int category, const std::string &caption, int kind = tkRegValueName)
    {
        TResultContents *r = ResultContents[category];
        TContent &c = r->GetItem(r->AddItem())->Content;
        c.CleanCaption = caption;
        c.Kind = kind;
        c.ItemName = caption;
        return c;
    }
    static std::vector<std::string> RowNames()
    {
        std::vector<std::string> v;
        for (int i = 0; i < ResultRows.Count(); ++i) v.push_back(ResultRows.Items(i)->DisplayName());
        return v;
    }
};

TEST_F(ResultData, MatchingIsExactAndCaseSensitive)
{
    TContent c;
    c.CleanCaption = "AutoComplete Form Data";
    EXPECT_TRUE(ResultItemMatches(0, 7, c));
    EXPECT_FALSE(ResultItemMatches(0, 8, c));
    c.CleanCaption = "autocomplete form data";
    EXPECT_FALSE(ResultItemMatches(0, 7, c));
    c.CleanCaption = "Clean AutoComplete Form Data";
    EXPECT_FALSE(ResultItemMatches(0, 7, c));
    c.CleanCaption = "Clean WinRAR History ";
    EXPECT_FALSE(ResultItemMatches(1, 12, c));
    c.CleanCaption = "Clean Windows MUICache";
    EXPECT_TRUE(ResultItemMatches(2, 14, c));
    // The same caption in another category's collection belongs to no item there.
    EXPECT_FALSE(ResultItemMatches(1, 14, c));
}

TEST_F(ResultData, BrowserItemsMatchByKindOnly)
{
    TContent c;
    c.CleanCaption = "Clean Kazaa History";
    c.Kind = tkFirefoxHistory;
    EXPECT_TRUE(ResultItemMatches(3, 5, c));
    EXPECT_TRUE(ResultItemMatches(3, 4, c));   // the Kazaa item looks at the caption only
    for (int n = 6; n <= 10; ++n) EXPECT_FALSE(ResultItemMatches(3, n, c)) << n;

    c.CleanCaption = "whatever";
    for (int kind = tkFirefoxHistory; kind <= tkNetscapeCacheFile; ++kind) {
        c.Kind = kind;
        for (int n = 1; n <= 10; ++n) EXPECT_EQ(ResultItemMatches(3, n, c), n == kind + 1) << kind << " " << n;
    }
    // The IE kinds belong to no Internet Software item.
    c.Kind = tkIECookie;
    for (int n = 1; n <= 10; ++n) EXPECT_FALSE(ResultItemMatches(3, n, c));
}

TEST_F(ResultData, OutOfRangeItemsMatchNothing)
{
    TContent c;
    c.CleanCaption = "Clean IE Cache";
    c.Kind = tkFirefoxHistory;
    EXPECT_FALSE(ResultItemMatches(0, 0, c));
    EXPECT_FALSE(ResultItemMatches(0, 10, c));
    EXPECT_FALSE(ResultItemMatches(0, -1, c));
    EXPECT_FALSE(ResultItemMatches(4, 1, c));
    EXPECT_FALSE(ResultItemMatches(-1, 1, c));
    EXPECT_FALSE(ResultItemMatches(3, 11, c));
    EXPECT_EQ(CategoryItemCount(0) + CategoryItemCount(1) + CategoryItemCount(2) + CategoryItemCount(3), 50);
    EXPECT_EQ(CategoryItemCount(4), 0);
    EXPECT_STREQ(ItemCleanCaption(3, 5), "");
    EXPECT_STREQ(ItemCleanCaption(2, 1), "Clean RunMRU");
}

TEST_F(ResultData, WinRarShowsLocationEverywhereElseData)
{
    TContent &rar = Add(1, "Clean WinRAR History");
    rar.Location = "HKEY_CURRENT_USER\\Software\\WinRAR\\ArcHistory";
    rar.Data = "c:\\a.rar";
    TContent &paint = Add(1, "Clean Paint History");
    paint.Data = "c:\\p.bmp";
    paint.Location = "loc-p";
    TContent &odd = Add(1, "Clean Something Unknown");
    odd.Data = "odd-data";
    TContent &rar2 = Add(1, "Clean WinRAR History");
    rar2.Location = "loc-2";

    FillResultRows(1, 12, false);
    ASSERT_EQ(ResultRows.Count(), 2);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{rar.Location, "loc-2"}));
    EXPECT_EQ(ResultRows.Items(0)->ContentIndex, 0);
    EXPECT_EQ(ResultRows.Items(1)->ContentIndex, 3);

    FillResultRows(1, 0, false);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{rar.Location, "c:\\p.bmp", "odd-data", "loc-2"}));
}

TEST_F(ResultData, BrowserItemViewChoosesRowsByKind)
{
    TContent &cookie = Add(3, "Clean Firefox History", tkFirefoxCookie);
    cookie.FirefoxCookie = "cookies.txt";
    cookie.FirefoxHistory = "wrong";
    TContent &hist = Add(3, "Clean FireFox Cookies", tkFirefoxHistory);
    hist.FirefoxHistory = "history.dat";
    TContent &kazaa = Add(3, "Clean Kazaa History", tkRegValueData);
    kazaa.Data = "song.mp3";
    TContent &ns = Add(3, "", tkNetscapeCacheFile);
    ns.NetscapeCacheFile = "ns-cache";

    FillResultRows(3, 6, false);
    ASSERT_EQ(ResultRows.Count(), 1);
    EXPECT_EQ(ResultRows.Items(0)->DisplayName(), "cookies.txt");
    EXPECT_EQ(ResultRows.Items(0)->ContentIndex, 0);

    // The whole category: captions first, then the kind decides the field.
    FillResultRows(3, 0, false);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"cookies.txt", "history.dat", "song.mp3", "ns-cache"}));
}

TEST_F(ResultData, SubKeyItemsCarryTheSubKeyOnlyInTheirItemView)
{
    TContent &telnet = Add(2, "Clean Telnet Menu History");
    telnet.SubKey = "Machine1";
    telnet.Data = "telnet-data";
    telnet.Entry = "e";
    TContent &run = Add(2, "Clean RunMRU");
    run.Data = "cmd";
    run.SubKey = "not-this";

    FillResultRows(2, 4, false);
    ASSERT_EQ(ResultRows.Count(), 1);
    EXPECT_EQ(ResultRows.Items(0)->DisplayName(), "Machine1");
    EXPECT_EQ(ResultRows.Items(0)->Data(), "Machine1");
    EXPECT_EQ(ResultRows.Items(0)->Entry(), "e");

    FillResultRows(2, 0, false);
    ASSERT_EQ(ResultRows.Count(), 2);
    EXPECT_EQ(ResultRows.Items(0)->DisplayName(), "Machine1");
    EXPECT_EQ(ResultRows.Items(0)->Data(), "telnet-data");
    EXPECT_EQ(ResultRows.Items(1)->DisplayName(), "cmd");
    EXPECT_EQ(ResultRows.Items(1)->Data(), "cmd");
}

TEST_F(ResultData, UnknownTypeStringsGetARowWithAnEmptyName)
{
    TContent &ie = Add(0, "Clean Something", tkFile);
    ie.Entry = "entry";
    ie.Data = "data";
    TContent &sys = Add(2, "Clean Nothing");
    sys.Data = "d";
    TContent &is = Add(3, "Clean Nowhere", tkFile);
    is.Data = "d";
    FillResultRows(0, 0, false);
    FillResultRows(2, 0, true);
    FillResultRows(3, 0, true);
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"", "", ""}));
    EXPECT_EQ(ResultRows.Items(0)->Entry(), "entry");
}

TEST_F(ResultData, AppendKeepsCategoryOrderAndSumsSizes)
{
    TContent &a = Add(0, "Clean IE Cache", tkIECacheEntry);
    a.Size = 1000;
    a.Checked = 1;
    TContent &b = Add(3, "Clean FF", tkFirefoxCacheFile);
    b.Size = 24;
    b.Removed = 1;
    Add(3, "Clean Kazaa History").Size = 0;

    FoundSizeTotal = 777;   // left from an earlier fill
    FillResultRows(0, 0, false);
    FillResultRows(3, 0, true);
    ASSERT_EQ(ResultRows.Count(), 3);
    EXPECT_EQ(FoundSizeTotal, 1024);
    EXPECT_EQ(ResultRows.Items(0)->Category, 0);
    EXPECT_EQ(ResultRows.Items(1)->Category, 3);
    EXPECT_EQ(ResultRows.Items(1)->ContentIndex, 0);
    EXPECT_EQ(ResultRows.Items(2)->ContentIndex, 1);
    EXPECT_EQ(ResultRows.Items(0)->Checked, 1);
    EXPECT_EQ(ResultRows.Items(1)->Checked, 0);
    EXPECT_EQ(ResultRows.Items(1)->Removed, 1);
    EXPECT_EQ(ResultRows.Items(0)->Location2(), ResultRows.Items(0)->Location());

    // A new fill without append starts again.
    FillResultRows(3, 0, false);
    EXPECT_EQ(ResultRows.Count(), 2);
    EXPECT_EQ(FoundSizeTotal, 24);
}

TEST_F(ResultData, BadCategoryOrItemEmptiesTheList)
{
    Add(0, "Clean IE Cache").Size = 5;
    FillResultRows(0, 0, false);
    ASSERT_EQ(ResultRows.Count(), 1);
    for (auto [cat, item] : {std::pair{4, 0}, {-1, 0}, {0, 10}, {3, 11}, {0, -2}}) {
        FillResultRows(0, 0, false);
        FillResultRows(cat, item, false);
        EXPECT_EQ(ResultRows.Count(), 0) << cat << "/" << item;
        EXPECT_EQ(FoundSizeTotal, 0);
    }
    // Appending a bad category adds nothing and keeps what is there.
    FillResultRows(0, 0, false);
    FillResultRows(7, 0, true);
    EXPECT_EQ(ResultRows.Count(), 1);
    EXPECT_EQ(FoundSizeTotal, 5);
}

TEST_F(ResultData, HugeSizesDoNotWrapTheTotal)
{
    for (int i = 0; i < 3; ++i) Add(0, "Clean IE Cache").Size = 0x7FFFFFF0;
    FillResultRows(0, 0, false);
    EXPECT_EQ(FoundSizeTotal, INT32_MAX);
}

TEST(ResultTexts, FooterUnitsAtTheirBoundaries)
{
    const std::string s = Sep();
    std::string n, u;
    FormatResultSpace(0, n, u);
    EXPECT_EQ(n + u, "0B");
    FormatResultSpace(1023, n, u);
    EXPECT_EQ(n + "|" + u, "1023|B");
    FormatResultSpace(1024, n, u);
    EXPECT_EQ(n + "|" + u, "1" + s + "00|KB");
    FormatResultSpace(1048575, n, u);
    EXPECT_EQ(n + "|" + u, "1024" + s + "00|KB");
    FormatResultSpace(1048576, n, u);
    EXPECT_EQ(n + "|" + u, "1" + s + "00|MB");
    FormatResultSpace(1536LL * 1048576, n, u);
    EXPECT_EQ(n + "|" + u, "1536" + s + "00|MB");
}

TEST_F(ResultData, RowCellsInSubItemOrder)
{
    const std::string s = Sep();
    TContent &c = Add(0, "Clean IE Cache", tkIECacheEntry);
    c.Entry = "entry";
    c.Data = "data";
    c.Location = "loc";
    c.Size = 512;
    FillResultRows(0, 0, false);
    ASSERT_EQ(ResultRows.Count(), 1);
    TResultItem &row = *ResultRows.Items(0);
    EXPECT_EQ(ResultRowSubItems(row),
              (std::vector<std::string>{"entry", "0" + s + "50", "", "entry", "data", "loc"}));
    row.Size = 0;
    row.Removed = 1;
    auto cells = ResultRowSubItems(row);
    EXPECT_EQ(cells[1], "0" + s + "00");
    EXPECT_EQ(cells[2], "Deleted");
    row.Size = 5 * 1048576;   // kilobytes whatever the size
    EXPECT_EQ(ResultRowSubItems(row)[1], "5120" + s + "00");
    // A row whose item is gone shows no texts.
    row.ContentIndex = 1;
    EXPECT_EQ(ResultRowSubItems(row)[0], "");
    EXPECT_EQ(ResultRowSubItems(row)[3], "");
}

TEST(ResultTexts, HintLines)
{
    const std::string s = Sep();
    std::string a = "x", b = "y";
    ResultHintTexts(0, 0, a, b);
    EXPECT_EQ(a + b, "");
    ResultHintTexts(3, 0, a, b);
    EXPECT_EQ(a, "It has scanned 3 items totally.");
    EXPECT_EQ(b, "");
    ResultHintTexts(3, 500, a, b);
    EXPECT_EQ(a, "It has scanned 3 items totally that can");
    EXPECT_EQ(b, "free 500 B hard disk space.");
    ResultHintTexts(1, 1023, a, b);
    EXPECT_EQ(b, "free 1023 B hard disk space.");
    ResultHintTexts(1, 1024, a, b);
    EXPECT_EQ(b, "free 1" + s + "00 KB hard disk space.");
    ResultHintTexts(2, 3 * 1048576 / 2, a, b);
    EXPECT_EQ(b, "free 1" + s + "50 MB hard disk space.");
    // Sizes beyond 2 GB in all stay positive.
    ResultHintTexts(2, 5LL * 1024 * 1048576, a, b);
    EXPECT_EQ(b, "free 5120" + s + "00 MB hard disk space.");
}

TEST_F(ResultData, CheckingFollowsTheMatchingRule)
{
    Add(3, "Clean Kazaa History", tkRegValueData);
    Add(3, "Clean Kazaa History", tkFirefoxHistory);
    Add(3, "x", tkFirefoxHistory).Removed = 1;
    Add(3, "x", tkNetscapeHistory);
    auto checked = [] {
        std::string s;
        for (int i = 0; i < ResultContents[3]->Count(); ++i)
            s += ResultContents[3]->GetItem(i)->Content.Checked ? '1' : '0';
        return s;
    };
    CheckResultItems(3, 5, true);
    EXPECT_EQ(checked(), "0110");   // removed items are treated like the others
    CheckResultItems(3, 4, true);
    EXPECT_EQ(checked(), "1110");
    CheckResultItems(3, 0, false);
    EXPECT_EQ(checked(), "0000");
    CheckResultItems(3, 0, true);
    CheckResultItems(3, 11, false);
    CheckResultItems(5, 0, false);
    EXPECT_EQ(checked(), "1111");
    CheckResultItems(3, 8, false);
    EXPECT_EQ(checked(), "1110");
}

TEST_F(ResultData, CountsOverCollections)
{
    Add(0, "Clean IE Cache").Checked = 1;
    Add(0, "Clean IE Cache");
    TContent &c = Add(2, "Clean RunMRU");
    c.Checked = 1;
    c.Size = 10;
    Add(3, "y", tkNetscapeCookie).Checked = 1;
    EXPECT_EQ(CountCheckedResultContents(), 3);
    int32_t n = 0;
    int64_t size = 0;
    SumCheckedResultContents(n, size);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(size, 10);
    EXPECT_EQ(CountMatchingResultItems(0, 1), 2);
    EXPECT_EQ(CountMatchingResultItems(0, 2), 0);
    EXPECT_EQ(CountMatchingResultItems(3, 9), 1);
    EXPECT_EQ(CountMatchingResultItems(3, 0), 0);
    EXPECT_EQ(CountMatchingResultItems(4, 1), 0);
}

TEST_F(ResultData, PurgeKeepsSurvivorsInOrder)
{
    const char *names[] = {"a", "b", "c", "d", "e", "f"};
    const bool removed[] = {true, false, true, true, false, true};
    for (int i = 0; i < 6; ++i) {
        TContent &c = Add(1, names[i]);
        c.Removed = removed[i];
    }
    PurgeRemovedItems(ResultContents[1]);
    ASSERT_EQ(ResultContents[1]->Count(), 2);
    EXPECT_EQ(ResultContents[1]->GetItem(0)->Content.ItemName, "b");
    EXPECT_EQ(ResultContents[1]->GetItem(1)->Content.ItemName, "e");

    PurgeRemovedItems(ResultContents[1]);   // none removed: unchanged
    EXPECT_EQ(ResultContents[1]->Count(), 2);

    for (int i = 0; i < 2; ++i) ResultContents[1]->GetItem(i)->Content.Removed = 1;
    PurgeRemovedItems(ResultContents[1]);
    EXPECT_EQ(ResultContents[1]->Count(), 0);
    PurgeRemovedItems(nullptr);
}

TEST_F(ResultData, RowsFollowAPurgeToTheirOwnItems)
{
    // Two categories in the list, as the root shows them; some of each removed.
    for (int i = 0; i < 5; ++i) {
        TContent &c = Add(0, "Clean IE Cache");
        c.Entry = "ie" + std::to_string(i);
        c.Size = 10;
        c.Removed = i % 2 == 0;
    }
    for (int i = 0; i < 3; ++i) {
        TContent &c = Add(2, "Clean RunMRU");
        c.Data = "run" + std::to_string(i);
        c.Size = 1;
        c.Removed = i == 1;
    }
    FillResultRows(0, 0, false);
    FillResultRows(2, 0, true);
    ASSERT_EQ(ResultRows.Count(), 8);

    std::vector<int32_t> map = PurgeRemovedItems(ResultContents[0]);
    EXPECT_EQ(map, (std::vector<int32_t>{-1, 0, -1, 1, -1}));
    RemapResultRows(0, map);
    ASSERT_EQ(ResultRows.Count(), 5);
    EXPECT_EQ(FoundSizeTotal, 23);
    map = PurgeRemovedItems(ResultContents[2]);
    RemapResultRows(2, map);
    ASSERT_EQ(ResultRows.Count(), 4);
    EXPECT_EQ(FoundSizeTotal, 22);
    // Every row names its own item again.
    for (int i = 0; i < ResultRows.Count(); ++i) {
        const TResultItem *row = ResultRows.Items(i);
        const TContent &c = ResultContents[row->Category]->GetItem(row->ContentIndex)->Content;
        EXPECT_EQ(row->DisplayName(), row->Category == 0 ? c.Entry : c.Data) << i;
        EXPECT_FALSE(c.Removed);
    }
    EXPECT_EQ(RowNames(), (std::vector<std::string>{"ie1", "ie3", "run0", "run2"}));
}

TEST(ResultRowList, OwnsAndClosesUp)
{
    TResultRows rows;
    for (int i = 0; i < 3; ++i) rows.Add()->ContentIndex = i;
    rows.Delete(3);
    rows.Delete(-1);
    EXPECT_EQ(rows.Count(), 3);
    rows.Delete(1);
    ASSERT_EQ(rows.Count(), 2);
    EXPECT_EQ(rows.Items(1)->ContentIndex, 2);
    EXPECT_EQ(rows.Items(2), nullptr);
    EXPECT_EQ(rows.Items(-1), nullptr);
    rows.Clear();
    EXPECT_EQ(rows.Count(), 0);
}

}  // namespace
