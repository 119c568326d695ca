// The exclusion list file: reading every line shape, appending, rewriting, and the operations that
// keep ExcludeContents and the file in step, on real files.
#include <gtest/gtest.h>
#include <string>
#include "TestSupport.h"
#include "app/DMUnitExclude.h"
#include "app/ResultItemUnit.h"
#include "engine/PublicFunctionUnit.h"

namespace {

exclude::TContent Fields(const std::string &a, const std::string &b, const std::string &c, const std::string &d)
{
    exclude::TContent x;
    x.ItemName = a;
    x.Location = b;
    x.Entry = c;
    x.Data = d;
    return x;
}

void ExpectFields(const exclude::TContent &c, const std::string &a, const std::string &b, const std::string &e,
                  const std::string &d)
{
    EXPECT_EQ(c.ItemName, a);
    EXPECT_EQ(c.Location, b);
    EXPECT_EQ(c.Entry, e);
    EXPECT_EQ(c.Data, d);
}

TEST(ExcludeLine, ReadsEveryShape)
{
    ExpectFields(ParseExclusionLine("A|B!C<D"), "A", "B", "C", "D");
    // Only a bar: the whole line becomes Data (the cut rule with positions 0).
    ExpectFields(ParseExclusionLine("Cookies|x"), "Cookies", "", "", "Cookies|x");
    // No separator at all.
    ExpectFields(ParseExclusionLine("plain text"), "", "", "", "plain text");
    // The first of each separator cuts; later ones stay in the data.
    ExpectFields(ParseExclusionLine("Item|HKEY_CURRENT_USER\\k!v<a<b|c!d"), "Item", "HKEY_CURRENT_USER\\k", "v",
                 "a<b|c!d");
    // Separators in the wrong order: "<" before "!" before "|".
    ExpectFields(ParseExclusionLine("a<b!c|d"), "a<b!c", "", "", "b!c|d");
    ExpectFields(ParseExclusionLine("x!y|z<w"), "x!y", "", "y|z", "w");
    // Empty fields and a line of separators only.
    ExpectFields(ParseExclusionLine("|!<"), "", "", "", "");
    ExpectFields(ParseExclusionLine("Cookies|abc!<"), "Cookies", "abc", "", "");
    // Fields keep their blanks.
    ExpectFields(ParseExclusionLine(" A | B ! C < D "), " A ", " B ", " C ", " D ");
}

TEST(ExcludeLine, WritesTheStoredLayoutAndReadsItBack)
{
    EXPECT_EQ(FormatExclusionLine(Fields("A", "B", "C", "D")), "A|B!C<D\r\n");
    EXPECT_EQ(FormatExclusionLine(Fields("Cookies", "abc", "", "")), "Cookies|abc!<\r\n");
    exclude::TContent c = Fields("Run", "HKEY_CURRENT_USER\\Software\\x y", "val\xe9", "C:\\a b\\c.exe /q");
    std::string line = FormatExclusionLine(c);
    ExpectFields(ParseExclusionLine(line.substr(0, line.size() - 2)), c.ItemName, c.Location, c.Entry, c.Data);
}

const char *const TypedUrls = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs";

// Whatever the program stores reads back with its own fields, also when a field holds a separator;
// only what no reading could tell apart is refused.
TEST(ExcludeLine, FieldsHoldingSeparatorsReadBackOrAreRefused)
{
    const exclude::TContent kept[] = {
        Fields("Cache", "http://x.example/#!/home", "", ""),
        Fields("Favorites", "Yahoo! Mail.url", "", ""),
        Fields("Cookies", "typed a|b!c<d!", "", ""),
        Fields("Recent Files", "C:\\Recent\\Yahoo! Mail.lnk", "Yahoo! Mail.lnk", ""),
        Fields("RecycleBin", "C:\\Recycled\\D!1.txt", "C:\\Recycled\\D!1.txt", ""),
        Fields("Address Bar History", TypedUrls, "url1", "http://x.example/#!/home"),
        Fields("Run History", "HKEY_CURRENT_USER\\RunMRU", "a", "cmd /c echo a<b|c!d"),
        Fields("Exe MUICache", "HKEY_CURRENT_USER\\MUICache", "C:\\Yahoo!\\ym.exe", "Yahoo! Messenger"),
        Fields("Telnet Menu History", "HKEY_CURRENT_USER\\Telnet\\host!1", "", "host!1"),
    };
    for (const exclude::TContent &c : kept) {
        EXPECT_TRUE(ExclusionReadsBack(c)) << c.Location;
        const std::string line = FormatExclusionLine(c);
        ExpectFields(ParseExclusionLine(line.substr(0, line.size() - 2)), c.ItemName, c.Location, c.Entry, c.Data);
    }
    EXPECT_FALSE(ExclusionReadsBack(Fields("Run History", "HKEY_CURRENT_USER\\R", "v", "data!<")));
    EXPECT_FALSE(ExclusionReadsBack(Fields("Run History", "HKEY_CURRENT_USER\\R", "v!", "")));
    EXPECT_FALSE(ExclusionReadsBack(Fields("Run History", "HKEY_CURRENT_USER\\R", "v", "two\r\nlines")));
    EXPECT_FALSE(ExclusionReadsBack(Fields("a|b", "c", "", "")));
}

class ExcludeFileTest : public ::testing::Test {
protected:
    qmtest::TempDir dir;
    std::string path = dir / "Exclude1Items.qmt";
    TExcludeContents list;
    std::string File() { return qmtest::ReadFileBytes(path); }
};

TEST_F(ExcludeFileTest, MissingFileGivesAnEmptyListAndClearsTheOldOne)
{
    list.GetItem(list.AddItem())->Content = Fields("a", "b", "c", "d");
    LoadExclusionFile(path, &list);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(qmtest::FileExists(path));
}

TEST_F(ExcludeFileTest, LoadSkipsBlankLinesKeepsDuplicatesAndSplitsAtAnyLineEnd)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(path, "A|B!C<D\r\n\r\n   \t\r\nA|B!C<D\nCookies|x\rlast|line!<"));
    LoadExclusionFile(path, &list);
    ASSERT_EQ(list.Count(), 4);
    ExpectFields(list.GetItem(0)->Content, "A", "B", "C", "D");
    ExpectFields(list.GetItem(1)->Content, "A", "B", "C", "D");
    ExpectFields(list.GetItem(2)->Content, "Cookies", "", "", "Cookies|x");
    ExpectFields(list.GetItem(3)->Content, "last", "line", "", "");
}

TEST_F(ExcludeFileTest, LoadsAMegabyteLine)
{
    std::string data(1 << 20, 'z');
    ASSERT_TRUE(qmtest::WriteFileBytes(path, "Big|loc!e<" + data + "\r\nSmall|s!<\r\n"));
    LoadExclusionFile(path, &list);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.GetItem(0)->Content.Data.size(), data.size());
    ExpectFields(list.GetItem(1)->Content, "Small", "s", "", "");
}

TEST_F(ExcludeFileTest, AddAppendsOnceAndCreatesTheFile)
{
    EXPECT_EQ(AddExclusionTo(path, &list, Fields("Cookies", "abc", "", "")), TExclusionSave::Saved);
    EXPECT_EQ(File(), "Cookies|abc!<\r\n");
    EXPECT_EQ(AddExclusionTo(path, &list, Fields("Cookies", "abc", "", "")), TExclusionSave::Unchanged);
    // Different only in case: a different exclusion.
    EXPECT_EQ(AddExclusionTo(path, &list, Fields("Cookies", "ABC", "", "")), TExclusionSave::Saved);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(File(), "Cookies|abc!<\r\nCookies|ABC!<\r\n");
}

TEST_F(ExcludeFileTest, AddKeepsTheLinesAlreadyThereEvenWithoutAFinalLineEnd)
{
    ASSERT_TRUE(qmtest::WriteFileBytes(path, "Old|one!<"));
    LoadExclusionFile(path, &list);
    AddExclusionTo(path, &list, Fields("New", "two", "", ""));
    TExcludeContents reloaded;
    LoadExclusionFile(path, &reloaded);
    ASSERT_EQ(reloaded.Count(), 2);
    ExpectFields(reloaded.GetItem(0)->Content, "Old", "one", "", "");
    ExpectFields(reloaded.GetItem(1)->Content, "New", "two", "", "");
}

TEST_F(ExcludeFileTest, SeparatorsInFieldsSurviveARestartAndStillExclude)
{
    const exclude::TContent added[] = {
        Fields("Cache", "http://x.example/#!/home", "", ""),
        Fields("Favorites", "Yahoo! Mail.url", "", ""),
        Fields("Recent Files", "C:\\Recent\\Yahoo! Mail.lnk", "Yahoo! Mail.lnk", ""),
        Fields("Address Bar History", TypedUrls, "url1", " http://x.example/#!/home<"),
    };
    for (const exclude::TContent &c : added) EXPECT_EQ(AddExclusionTo(path, &list, c), TExclusionSave::Saved);
    const std::string stored = File();
    EXPECT_EQ(AddExclusionTo(path, &list, Fields("Run History", "HKEY_CURRENT_USER\\R", "v", "data!<")),
              TExclusionSave::Unstorable);
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(File(), stored);

    TExcludeContents reloaded;
    LoadExclusionFile(path, &reloaded);
    ASSERT_EQ(reloaded.Count(), 4);
    for (int i = 0; i < 4; ++i)
        ExpectFields(reloaded.GetItem(i)->Content, added[i].ItemName, added[i].Location, added[i].Entry, added[i].Data);
    EXPECT_TRUE(IsExcluded("Cache", "http://x.example/#!/home", &reloaded));
    EXPECT_TRUE(IsExcluded("Favorites", "Yahoo! Mail.url", &reloaded));
    EXPECT_TRUE(IsExcluded("Recent Files", "C:\\Recent\\Yahoo! Mail.lnk", &reloaded));
    EXPECT_TRUE(IsRegExcluded("Address Bar History", TypedUrls, "url9", &reloaded, "http://x.example/#!/home<"));
}

TEST_F(ExcludeFileTest, AFileThatCannotBeWrittenIsReported)
{
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));   // a folder where the file belongs
    EXPECT_EQ(AddExclusionTo(path, &list, Fields("Cookies", "abc", "", "")), TExclusionSave::NotSaved);
    EXPECT_EQ(list.Count(), 1);   // it still holds for this session
    EXPECT_EQ(RemoveExclusionFrom(path, &list, "Cookies", "abc"), TExclusionSave::NotSaved);
    EXPECT_NE(ExclusionSaveMessage(TExclusionSave::NotSaved, path).find(path), std::string::npos);
    EXPECT_EQ(ExclusionSaveMessage(TExclusionSave::Saved, path), "");
    RemoveDirectoryA(path.c_str());
}

TEST_F(ExcludeFileTest, ResultRowsGiveTheFieldsTheirScansCompare)
{
    // Cookie and cache scans compare the URL, the favourites scan the file name.
    ExpectFields(ExclusionForResultRow("Cookies", "Cookie:user@site/", "", "C:\\c\\user@site.txt"), "Cookies",
                 "Cookie:user@site/", "", "");
    ExpectFields(ExclusionForResultRow(" Favorites ", "a.url", "", "C:\\Fav\\a.url"), " Favorites ", "a.url", "", "");
    ExpectFields(ExclusionForResultRow("Run", "prog", "C:\\p.exe", "HKEY_CURRENT_USER\\R"), "Run",
                 "HKEY_CURRENT_USER\\R", "prog", "C:\\p.exe");
}

TEST_F(ExcludeFileTest, ModifyAndRemoveRewriteTheFileThatReloadsToTheSameFields)
{
    AddExclusionTo(path, &list, Fields("Cookies", "abc", "", ""));
    AddExclusionTo(path, &list, Fields("Run", "HKEY_CURRENT_USER\\R", "v", "d|x!y<z"));
    AddExclusionTo(path, &list, Fields("Cookies", "def", "", ""));

    ModifyExclusionIn(path, &list, "Cookies", "def", "ghi");
    ModifyExclusionIn(path, &list, "Favorites", "abc", "nothing");   // no match: unchanged, still rewritten
    RemoveExclusionFrom(path, &list, "Cookies", "abc");
    EXPECT_EQ(File(), "Run|HKEY_CURRENT_USER\\R!v<d|x!y<z\r\nCookies|ghi!<\r\n");
    EXPECT_FALSE(qmtest::FileExists(path + ".new"));

    TExcludeContents reloaded;
    LoadExclusionFile(path, &reloaded);
    ASSERT_EQ(reloaded.Count(), 2);
    ExpectFields(reloaded.GetItem(0)->Content, "Run", "HKEY_CURRENT_USER\\R", "v", "d|x!y<z");
    ExpectFields(reloaded.GetItem(1)->Content, "Cookies", "ghi", "", "");
}

TEST_F(ExcludeFileTest, RemovingTheLastLeavesAnEmptyFile)
{
    AddExclusionTo(path, &list, Fields("Cookies", "abc", "", ""));
    RemoveExclusionFrom(path, &list, "Cookies", "abc");
    EXPECT_EQ(list.Count(), 0);
    ASSERT_TRUE(qmtest::FileExists(path));
    EXPECT_EQ(File(), "");
}

TEST_F(ExcludeFileTest, RewriteThatCannotWriteKeepsTheOldFile)
{
    AddExclusionTo(path, &list, Fields("Cookies", "abc", "", ""));
    // A folder in the place of the new file: the new file cannot be made.
    ASSERT_TRUE(CreateDirectoryA((path + ".new").c_str(), nullptr));
    list.GetItem(0)->Content.Location = "changed";
    EXPECT_FALSE(RewriteExclusionFile(path, &list));
    EXPECT_EQ(File(), "Cookies|abc!<\r\n");
    RemoveDirectoryA((path + ".new").c_str());
}

TEST_F(ExcludeFileTest, RowOperationsActOnTheirOwnExclusion)
{
    // Two exclusions whose rows would look alike by name and text; one shows its Data.
    AddExclusionTo(path, &list, Fields("Cookies", "same", "", ""));
    AddExclusionTo(path, &list, Fields("Favorites", "same", "", ""));
    AddExclusionTo(path, &list, Fields("Run", "HKEY_CURRENT_USER\\R", "v", "shown"));
    TExcludeContentItem *favorites = list.GetItem(1);
    TExcludeContentItem *run = list.GetItem(2);
    EXPECT_EQ(ExclusionShownText(run->Content), "shown");
    EXPECT_EQ(ExclusionShownText(favorites->Content), "same");

    // The section chosen in the dialog is applied, and the field the row shows takes the text.
    EXPECT_EQ(ChangeExclusionItem(path, &list, favorites, "Address Bar History", "typed"), TExclusionSave::Saved);
    EXPECT_EQ(ChangeExclusionItem(path, &list, run, "Run", "new data"), TExclusionSave::Saved);
    // Data that would not read back is refused and changes nothing.
    EXPECT_EQ(ChangeExclusionItem(path, &list, run, "Run", "ends in !<"), TExclusionSave::Unstorable);
    EXPECT_EQ(run->Content.Data, "new data");
    EXPECT_EQ(DeleteExclusionItem(path, &list, list.GetItem(0)), TExclusionSave::Saved);
    EXPECT_EQ(DeleteExclusionItem(path, &list, nullptr), TExclusionSave::Unchanged);

    TExcludeContents reloaded;
    LoadExclusionFile(path, &reloaded);
    ASSERT_EQ(reloaded.Count(), 2);
    ExpectFields(reloaded.GetItem(0)->Content, "Address Bar History", "typed", "", "");
    ExpectFields(reloaded.GetItem(1)->Content, "Run", "HKEY_CURRENT_USER\\R", "v", "new data");
    EXPECT_EQ(CountExclusionsForItem(&reloaded, "Run"), 1);
    EXPECT_EQ(CountExclusionsForItem(&reloaded, "run"), 0);
    EXPECT_EQ(CountExclusionsForItem(&reloaded, "Cookies"), 0);
}

// The result-row command over the real row list and the Internet Explorer collection.
class ExcludeRowTest : public ExcludeFileTest {
protected:
    TResultContents *saved = nullptr;
    void SetUp() override
    {
        saved = ResultContents[tcInternetExplorer];
        ResultContents[tcInternetExplorer] = &ie;
        ResultRows.Clear();
        const char *urls[] = {"http://a/", "Cookie:u@b/", "http://c/"};
        const char *names[] = {"Cache", "Cookies", "Cache"};
        for (int i = 0; i < 3; ++i) {
            TContent &c = ie.GetItem(ie.AddItem())->Content;
            c.ItemName = names[i];
            c.Entry = urls[i];
            c.Location = std::string("C:\\cache\\f") + char('0' + i);
            // as the cache scan asks: a cookie also by its file
            c.ExclusionTests = static_cast<uint8_t>(i == 1 ? etPlaceEntry | etPlaceLocation : etPlaceEntry);
            TResultItem *row = ResultRows.Add();
            row->Category = tcInternetExplorer;
            row->ContentIndex = i;
        }
        TResultItem *reg = ResultRows.Add();   // a row of another category
        reg->Category = tcWindowsSystem;
        reg->ContentIndex = 5;
    }
    void TearDown() override
    {
        ResultRows.Clear();
        ResultContents[tcInternetExplorer] = saved;
    }
    TResultContents ie;
};

TEST_F(ExcludeRowTest, CookieRowIsExcludedByItsUrlAndTheLaterRowsStillNameTheirItems)
{
    std::string name;
    TExclusionSave saved = TExclusionSave::NotSaved;
    ASSERT_TRUE(ExcludeResultRow(path, &list, 1, name, saved));
    EXPECT_EQ(saved, TExclusionSave::Saved);
    EXPECT_EQ(name, "Cookies");
    EXPECT_EQ(File(), "Cookies|Cookie:u@b/!<\r\n");
    ASSERT_EQ(ie.Count(), 2);
    ASSERT_EQ(ResultRows.Count(), 3);
    // Every remaining row still reaches the result item it was made from.
    EXPECT_EQ(ResultRows.Items(0)->Entry(), "http://a/");
    EXPECT_EQ(ResultRows.Items(1)->Entry(), "http://c/");
    EXPECT_EQ(ResultRows.Items(2)->ContentIndex, 5);
}

TEST_F(ExcludeRowTest, TypedExclusionRemovingAResultTakesItsRowsAlong)
{
    // An exclusion typed on the Exclude page whose text is a cookie's URL removes that result item.
    FollowResultItemRemoval(tcInternetExplorer, -1);
    EXPECT_EQ(ResultRows.Count(), 4);
    AddExclusionTo(path, &list, Fields("Cookies", "Cookie:u@b/", "", ""));
    ASSERT_EQ(DropExcludedResults(&list).size(), 1u);
    ASSERT_EQ(ResultRows.Count(), 3);
    EXPECT_EQ(ResultRows.Items(0)->Entry(), "http://a/");
    EXPECT_EQ(ResultRows.Items(1)->Entry(), "http://c/");
    EXPECT_EQ(ResultRows.Items(2)->Category, tcWindowsSystem);
}

// Whatever an added or changed exclusion keeps out of a new scan leaves the results, and nothing else.
TEST_F(ExcludeRowTest, AnExclusionTakesOutEveryResultItKeepsOutOfAScan)
{
    // Typed addresses, two values of them holding the same one.
    for (const char *data : {"http://bank.example/", "http://other.example/", "http://bank.example/"}) {
        TContent &c = ie.GetItem(ie.AddItem())->Content;
        c.ItemName = "Address Bar History";
        c.Entry = "url" + std::to_string(ie.Count());
        c.Data = data;
        c.Location = "HKEY_CURRENT_USER\\T";
        c.ExclusionTests = static_cast<uint8_t>(etRegData | etPlaceData);
        TResultItem *row = ResultRows.Add();
        row->Category = tcInternetExplorer;
        row->ContentIndex = ie.Count() - 1;
    }
    // A place no result has, and a Cache URL as a Cookies place, keep nothing out.
    AddExclusionTo(path, &list, Fields("Cache", "http://zzz/", "", ""));
    AddExclusionTo(path, &list, Fields("Cookies", "http://a/", "", ""));
    EXPECT_TRUE(DropExcludedResults(&list).empty());
    EXPECT_EQ(ie.Count(), 6);

    // A Cache row's exclusion, a typed address and a cookie's file name.
    AddExclusionTo(path, &list, ExclusionForResultRow("Cache", "http://c/", "", "C:\\cache\\f2"));
    AddExclusionTo(path, &list, Fields("Address Bar History", "http://bank.example/", "", ""));
    AddExclusionTo(path, &list, Fields("Cookies", "C:\\cache\\f1", "", ""));
    EXPECT_EQ(DropExcludedResults(&list).size(), 4u);
    ASSERT_EQ(ie.Count(), 2);
    std::vector<std::string> rows;
    for (int i = 0; i < ResultRows.Count(); ++i)
        rows.push_back(ResultRows.Items(i)->Category == tcInternetExplorer ? ResultRows.Items(i)->Entry() : "other");
    EXPECT_EQ(rows, (std::vector<std::string>{"http://a/", "other", "url5"}));
    EXPECT_NE(File().find("\r\nCache|http://c/!<\r\n"), std::string::npos);
}

TEST_F(ExcludeRowTest, NoRowDoesNothing)
{
    std::string name = "unchanged";
    TExclusionSave saved = TExclusionSave::Saved;
    EXPECT_FALSE(ExcludeResultRow(path, &list, 7, name, saved));
    EXPECT_EQ(saved, TExclusionSave::Unchanged);
    EXPECT_FALSE(ExcludeResultRow(path, &list, -1, name, saved));
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(ResultRows.Count(), 4);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(qmtest::FileExists(path));
}

TEST(ExcludeFilePlace, IsBesideTheProgram)
{
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder.erase(folder.rfind('\\') + 1);
    EXPECT_EQ(ExclusionFilePath(), folder + "Exclude1Items.qmt");
}

}  // namespace
