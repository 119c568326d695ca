#include "app/DMUnitExclude.h"
#include <windows.h>
#include "app/DMUnit.h"
#include "app/ResultItemUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "engine/InternetSoftWareBrowsers.h"
#include "engine/WindowSystemUnit.h"
#include "ui/Application.h"
#include "ui/ListView.h"
#include "ui/Label.h"
#include "ui/TreeView.h"

namespace {

// The Windows System item whose traces are the entries of the recycle bins.
constexpr int RecycleBinItemNo = 15;

// Copy with the text rules of the stored format: 1-based start below 1 counts as 1, a count of 0
// or less is empty, the take stops at the end.
std::string Take(const std::string &s, long start, long count)
{
    if (start < 1) start = 1;
    if (count <= 0 || start > static_cast<long>(s.size())) return std::string();
    return s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
}

long Position(const std::string &s, char c)
{
    size_t at = s.find(c);
    return at == std::string::npos ? 0 : static_cast<long>(at) + 1;
}

bool IsBlank(const std::string &s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) > ' ') return false;
    return true;
}

bool SameFields(const exclude::TContent &a, const exclude::TContent &b)
{
    return a.ItemName == b.ItemName && a.Location == b.Location && a.Entry == b.Entry && a.Data == b.Data;
}

int IndexOfItem(const TExcludeContents *list, const TExcludeContentItem *item)
{
    for (int i = 0; i < list->Count(); ++i)
        if (list->GetItem(i) == item) return i;
    return -1;
}

bool WriteAll(HANDLE h, const std::string &bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x10000000 ? 0x10000000 : bytes.size() - done);
        DWORD written = 0;
        if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

}  // namespace

std::string ExclusionFilePath()
{
    return ProgramFolder() + "Exclude1Items.qmt";
}

namespace {

// The reading that the list has always had: the first "|", the first "!" and the first "<" of the
// whole line cut it, wherever they stand. Kept for lines that lack the three in that order.
exclude::TContent ParseByFirstSeparators(const std::string &line)
{
    const long length = static_cast<long>(line.size());
    const long p1 = Position(line, '|'), p2 = Position(line, '!'), p3 = Position(line, '<');
    exclude::TContent c;
    c.ItemName = Take(line, 1, p1 - 1);
    c.Location = Take(line, p1 + 1, p2 - p1 - 1);
    c.Entry = Take(line, p2 + 1, p3 - p2 - 1);
    c.Data = Take(line, p3 + 1, length - p3);
    return c;
}

// s is some X "!" X: at gives the "!".
bool IsTwin(const std::string &s, size_t &at)
{
    if (s.size() % 2 == 0) return false;
    const size_t half = s.size() / 2;
    if (s[half] != '!' || s.compare(0, half, s, half + 1, half) != 0) return false;
    at = half;
    return true;
}

// The "!" that ends Location in Location "!" Entry. A subkey trace has no value name, so a final "!"
// is the one; a file trace repeats its path, or the path's last part, as Entry; otherwise Location
// is a fixed key path and the first "!" is taken, so that a value name may hold more.
size_t LocationEnd(const std::string &s)
{
    if (!s.empty() && s.back() == '!') return s.size() - 1;
    size_t at = 0;
    if (IsTwin(s, at)) return at;
    const size_t slash = s.rfind('\\');
    if (slash != std::string::npos && IsTwin(s.substr(slash + 1), at) && at > 0) return slash + 1 + at;
    return s.find('!');
}

}  // namespace

exclude::TContent ParseExclusionLine(const std::string &line)
{
    const size_t bar = line.find('|');
    const size_t bang = bar == std::string::npos ? std::string::npos : line.find('!', bar + 1);
    const size_t lt = bang == std::string::npos ? std::string::npos : line.find('<', bang + 1);
    if (lt == std::string::npos) return ParseByFirstSeparators(line);

    // A line that holds each separator once reads as it always has; the choices below only matter
    // when a field holds one of them too.
    exclude::TContent c;
    c.ItemName = line.substr(0, bar);
    const std::string rest = line.substr(bar + 1);
    // Most exclusions have neither value name nor data: a trailing "!<" leaves the rest, whatever
    // it holds, to Location (URLs with "#!", names like "Yahoo! Mail.url").
    if (rest.size() >= 2 && rest.compare(rest.size() - 2, 2, "!<") == 0) {
        c.Location = rest.substr(0, rest.size() - 2);
        return c;
    }
    // Data holds anything; the first "<" after the first "!" ends the value name.
    const size_t dataAt = rest.find('<', rest.find('!') + 1);
    const std::string head = rest.substr(0, dataAt);
    c.Data = rest.substr(dataAt + 1);
    const size_t split = LocationEnd(head);
    c.Location = head.substr(0, split);
    c.Entry = head.substr(split + 1);
    return c;
}

bool ExclusionReadsBack(const exclude::TContent &c)
{
    for (const std::string *f : {&c.ItemName, &c.Location, &c.Entry, &c.Data})
        if (f->find_first_of("\r\n") != std::string::npos) return false;
    std::string line = FormatExclusionLine(c);
    line.resize(line.size() - 2);
    return SameFields(ParseExclusionLine(line), c);
}

std::string FormatExclusionLine(const exclude::TContent &c)
{
    return c.ItemName + "|" + c.Location + "!" + c.Entry + "<" + c.Data + "\r\n";
}

void LoadExclusionFile(const std::string &path, TExcludeContents *list)
{
    list->Clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return;
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(h, buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(h);

    // Lines end at CR LF, CR or LF, as the class library's string lists split them.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!IsBlank(line)) list->GetItem(list->AddItem())->Content = ParseExclusionLine(line);
        start = end;
        if (start < text.size() && text[start] == '\r') ++start;
        if (start < text.size() && text[start] == '\n') ++start;
    }
}

bool RewriteExclusionFile(const std::string &path, const TExcludeContents *list)
{
    std::string bytes;
    for (int i = 0; i < list->Count(); ++i) bytes += FormatExclusionLine(list->GetItem(i)->Content);

    const std::string fresh = path + ".new";
    HANDLE h = CreateFileA(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteAll(h, bytes) && FlushFileBuffers(h);
    CloseHandle(h);
    if (ok) ok = MoveFileExA(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) DeleteFileA(fresh.c_str());
    return ok;
}

namespace {

// Appends one line at the end of the file (made when missing). A failed write takes the file back
// to its old length, so no half line is left to be read at the next start.
bool AppendExclusionLine(const std::string &path, const exclude::TContent &c)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(h, &size)) {
        CloseHandle(h);
        return false;
    }
    std::string line = FormatExclusionLine(c);
    bool ok = true;
    // A last line someone left without its line end would otherwise swallow the new one.
    if (size.QuadPart > 0) {
        char last = 0;
        DWORD got = 0;
        LARGE_INTEGER back = {};
        back.QuadPart = -1;
        ok = SetFilePointerEx(h, back, nullptr, FILE_END) && ReadFile(h, &last, 1, &got, nullptr) && got == 1;
        if (ok && last != '\n' && last != '\r') line = "\r\n" + line;
    }
    if (ok) ok = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && WriteAll(h, line) && FlushFileBuffers(h);
    if (!ok && SetFilePointerEx(h, size, nullptr, FILE_BEGIN)) SetEndOfFile(h);
    CloseHandle(h);
    return ok;
}

int IndexOfFields(const TExcludeContents &list, const exclude::TContent &c)
{
    for (int i = 0; i < list.Count(); ++i)
        if (SameFields(list.GetItem(i)->Content, c)) return i;
    return -1;
}

TExclusionSave Rewritten(const std::string &path, const TExcludeContents *list, TExclusionSave done)
{
    return RewriteExclusionFile(path, list) ? done : TExclusionSave::NotSaved;
}

}  // namespace

TExclusionSave AddExclusionTo(const std::string &path, TExcludeContents *list, const exclude::TContent &c)
{
    if (IndexOfFields(*list, c) >= 0) return TExclusionSave::Unchanged;
    if (!ExclusionReadsBack(c)) return TExclusionSave::Unstorable;
    list->GetItem(list->AddItem())->Content = c;
    return AppendExclusionLine(path, c) ? TExclusionSave::Saved : TExclusionSave::NotSaved;
}

TExclusionSave ModifyExclusionIn(const std::string &path, TExcludeContents *list, const std::string &itemName,
                                 const std::string &oldText, const std::string &newText)
{
    TExclusionSave done = TExclusionSave::Unchanged;
    for (int i = 0; i < list->Count(); ++i) {
        exclude::TContent &c = list->GetItem(i)->Content;
        if (c.ItemName == itemName && c.Location == oldText) {
            exclude::TContent changed = c;
            changed.Location = newText;
            if (!ExclusionReadsBack(changed)) return TExclusionSave::Unstorable;
            c = changed;
            done = TExclusionSave::Saved;
            break;
        }
    }
    return Rewritten(path, list, done);
}

TExclusionSave RemoveExclusionFrom(const std::string &path, TExcludeContents *list, const std::string &itemName,
                                   const std::string &text)
{
    TExclusionSave done = TExclusionSave::Unchanged;
    for (int i = 0; i < list->Count(); ++i) {
        const exclude::TContent &c = list->GetItem(i)->Content;
        if (c.ItemName == itemName && c.Location == text) {
            list->Delete(i);
            done = TExclusionSave::Saved;
            break;
        }
    }
    return Rewritten(path, list, done);
}

std::string ExclusionShownText(const exclude::TContent &c)
{
    return c.Data.empty() ? c.Location : c.Data;
}

TExclusionSave ChangeExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item,
                                   const std::string &itemName, const std::string &newText)
{
    const int i = IndexOfItem(list, item);
    if (i < 0) return TExclusionSave::Unchanged;
    exclude::TContent changed = list->GetItem(i)->Content;
    changed.ItemName = itemName;
    (changed.Data.empty() ? changed.Location : changed.Data) = newText;
    if (!ExclusionReadsBack(changed)) return TExclusionSave::Unstorable;
    list->GetItem(i)->Content = changed;
    return Rewritten(path, list, TExclusionSave::Saved);
}

TExclusionSave DeleteExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item)
{
    const int i = IndexOfItem(list, item);
    if (i < 0) return TExclusionSave::Unchanged;
    list->Delete(i);
    return Rewritten(path, list, TExclusionSave::Saved);
}

std::string ExclusionSaveMessage(TExclusionSave saved, const std::string &path)
{
    switch (saved) {
    case TExclusionSave::Unstorable:
        return "This exclusion cannot be stored: its text holds a line break, or the characters \"|\", \"!\" "
               "or \"<\" where they could not be told apart from the separators of the exclusion list. "
               "Nothing was excluded.";
    case TExclusionSave::NotSaved:
        return "The exclusion list could not be saved to \"" + path +
               "\". The change holds only until Quillmoor is closed.";
    default:
        return std::string();
    }
}

exclude::TContent ExclusionForResultRow(const std::string &itemName, const std::string &entry,
                                        const std::string &data, const std::string &location)
{
    std::string trimmed = itemName;
    size_t first = trimmed.find_first_not_of(" \t\r\n");
    size_t last = trimmed.find_last_not_of(" \t\r\n");
    trimmed = first == std::string::npos ? std::string() : trimmed.substr(first, last - first + 1);

    exclude::TContent c;
    c.ItemName = itemName;
    // The cache and cookie scans compare the entry's URL, the Favorites scan the file name.
    if (trimmed == "Cache" || trimmed == "Favorites" || trimmed == "Cookies") {
        c.Location = entry;
    } else {
        c.Location = location;
        c.Entry = entry;
        c.Data = data;
    }
    return c;
}

void FollowResultItemRemoval(int category, int removed)
{
    if (removed < 0) return;
    ResultRows.KeepIf([category, removed](const TResultItem &r) {
        return !(r.Category == category && r.ContentIndex == removed);
    });
    FoundSizeTotal = 0;
    for (int i = 0; i < ResultRows.Count(); ++i) {
        TResultItem *r = ResultRows.Items(i);
        if (r->Category == category && r->ContentIndex > removed) --r->ContentIndex;
        AddFoundSize(r->Size);
    }
}

bool ExcludeResultRow(const std::string &path, TExcludeContents *list, int rowIndex, std::string &itemName,
                      TExclusionSave &saved)
{
    saved = TExclusionSave::Unchanged;
    const TResultItem *row = ResultRows.Items(rowIndex);
    if (!row) return false;
    exclude::TContent exclusion = ExclusionForResultRow(row->ItemName(), row->Entry(), row->Data(), row->Location());
    // A history or cookie row is one entry of a file that holds many: it is kept out by its own text,
    // and its file must no longer be wiped by a clean.
    const TContent *content = row->Content();
    const bool fileEntry = content && IsBrowserFileEntry(content->Kind);
    if (fileEntry) exclusion = exclude::TContent{row->ItemName(), BrowserEntryPlace(*content), "", ""};
    saved = AddExclusionTo(path, list, exclusion);
    if (saved == TExclusionSave::Unstorable) return false;
    if (fileEntry) NoteExcludedBrowserEntry(content->Kind, content->Location);
    // Emptying the bin would take the excluded entry along.
    if (content && row->Category == tcWindowsSystem && ResultItemMatches(tcWindowsSystem, RecycleBinItemNo, *content))
        NoteExcludedRecycledEntry();
    itemName = row->ItemName();
    const int32_t category = row->Category, index = row->ContentIndex;
    ResultRows.Delete(rowIndex);
    // The row's own trace leaves its collection, so that neither a clean nor a later fill or recount
    // reaches it before the next scan, which honours the exclusion by itself.
    TResultContents *contents = category >= 0 && category < TraceCategoryCount ? ResultContents[category] : nullptr;
    if (!contents || index < 0 || index >= contents->Count()) return true;
    contents->Delete(index);
    FollowResultItemRemoval(category, index);
    return true;
}

std::vector<TExcludedResult> DropExcludedResults(const TExcludeContents *list)
{
    std::vector<TExcludedResult> left;
    for (int category = 0; category < TraceCategoryCount; ++category) {
        const size_t before = left.size();
        const std::vector<int32_t> newIndex = PurgeItemsIf(ResultContents[category], [&](const TContent &c) {
            if (!IsResultExcluded(c, list)) return false;
            TExcludedResult r;
            r.Category = category;
            for (int no = 1; no <= CategoryItemCount(category) && !r.ItemNo; ++no)
                if (ResultItemMatches(category, no, c)) r.ItemNo = no;
            left.push_back(r);
            // Emptying the bin, or wiping the whole file, would take the excluded entry along.
            if (category == tcWindowsSystem && r.ItemNo == RecycleBinItemNo) NoteExcludedRecycledEntry();
            if (IsBrowserFileEntry(c.Kind)) NoteExcludedBrowserEntry(c.Kind, c.Location);
            return true;
        });
        if (left.size() > before) RemapResultRows(category, newIndex);
    }
    return left;
}

int CountExclusionsForItem(const TExcludeContents *list, const std::string &name)
{
    int n = 0;
    for (int i = 0; i < list->Count(); ++i)
        if (list->GetItem(i)->Content.ItemName == name) ++n;
    return n;
}

// ---------------------------------------------------------------------------------------------
// The data module's entries: the list ExcludeContents and the file beside the program.

void ShowExclusionSave(TExclusionSave saved)
{
    const std::string text = ExclusionSaveMessage(saved, ExclusionFilePath());
    if (!text.empty() && ui::Application)
        ui::Application->MessageBox(text, "Quillmoor",
                                    MB_OK | (saved == TExclusionSave::NotSaved ? MB_ICONERROR : MB_ICONWARNING));
}

void TDM::AddExclusion(const std::string &itemName, const std::string &location, const std::string &entry,
                       const std::string &data)
{
    exclude::TContent c;
    c.ItemName = itemName;
    c.Location = location;
    c.Entry = entry;
    c.Data = data;
    const TExclusionSave saved = AddExclusionTo(ExclusionFilePath(), ExcludeContents, c);
    ExclusionsChanged(saved);
    ShowExclusionSave(saved);
}

void TDM::ModifyExclusion(const std::string &itemName, const std::string &oldText, const std::string &newText)
{
    const TExclusionSave saved = ModifyExclusionIn(ExclusionFilePath(), ExcludeContents, itemName, oldText, newText);
    ExclusionsChanged(saved);
    ShowExclusionSave(saved);
}

void TDM::ExclusionsChanged(TExclusionSave saved)
{
    // Saved or not, the list in memory changed: what it now keeps out leaves the result list.
    if (saved != TExclusionSave::Saved && saved != TExclusionSave::NotSaved) return;
    const std::vector<TExcludedResult> left = DropExcludedResults(ExcludeContents);
    if (frmMainForm) frmMainForm->ExcludedResultsLeft(left);
}

void TDM::RemoveExclusion(const std::string &itemName, const std::string &text)
{
    ShowExclusionSave(RemoveExclusionFrom(ExclusionFilePath(), ExcludeContents, itemName, text));
}

void TDM::Exclude1Click()
{
    TfrmMainForm *form = frmMainForm;
    if (!form || !form->ResultListView) return;
    std::string itemName;
    TExclusionSave saved = TExclusionSave::Unchanged;
    const bool excluded =
        ExcludeResultRow(ExclusionFilePath(), ExcludeContents, form->ResultListView->Selected(), itemName, saved);
    if (excluded) {
        form->DecrementResultCounts(form->ResultTreeView ? form->ResultTreeView->Selected() : nullptr, itemName);
        // The row's exclusion may keep out more than the row: a twin value, another row of its file.
        form->ExcludedResultsLeft(DropExcludedResults(ExcludeContents));
    }
    ShowExclusionSave(saved);
}
