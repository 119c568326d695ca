#include "app/DMUnitExclude.h"
#include <windows.h>
#include "app/DMUnit.h"
#include "app/ResultItemUnit.h"
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "ui/ListView.h"
#include "ui/Label.h"
#include "ui/TreeView.h"

namespace {

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

exclude::TContent ParseExclusionLine(const std::string &line)
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

bool AddExclusionTo(const std::string &path, TExcludeContents *list, const exclude::TContent &c,
                    TResultContents *ieResults, int *removedIndex)
{
    if (removedIndex) *removedIndex = -1;
    for (int i = 0; i < list->Count(); ++i)
        if (SameFields(list->GetItem(i)->Content, c)) return false;
    list->GetItem(list->AddItem())->Content = c;

    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        std::string line = FormatExclusionLine(c);
        // A last line someone left without its line end would otherwise swallow the new one.
        LARGE_INTEGER size = {};
        if (GetFileSizeEx(h, &size) && size.QuadPart > 0) {
            char last = 0;
            DWORD got = 0;
            LARGE_INTEGER back = {};
            back.QuadPart = -1;
            if (SetFilePointerEx(h, back, nullptr, FILE_END) && ReadFile(h, &last, 1, &got, nullptr) && got == 1 &&
                last != '\n' && last != '\r')
                line = "\r\n" + line;
        }
        LARGE_INTEGER zero = {};
        if (SetFilePointerEx(h, zero, nullptr, FILE_END)) WriteAll(h, line);
        CloseHandle(h);
    }

    if (ieResults) {
        for (int i = 0; i < ieResults->Count(); ++i) {
            if (ieResults->GetItem(i)->Content.Entry == c.Location) {
                ieResults->Delete(i);
                if (removedIndex) *removedIndex = i;
                break;
            }
        }
    }
    return true;
}

void ModifyExclusionIn(const std::string &path, TExcludeContents *list, const std::string &itemName,
                       const std::string &oldText, const std::string &newText)
{
    for (int i = 0; i < list->Count(); ++i) {
        exclude::TContent &c = list->GetItem(i)->Content;
        if (c.ItemName == itemName && c.Location == oldText) {
            c.Location = newText;
            break;
        }
    }
    RewriteExclusionFile(path, list);
}

void RemoveExclusionFrom(const std::string &path, TExcludeContents *list, const std::string &itemName,
                         const std::string &text)
{
    for (int i = 0; i < list->Count(); ++i) {
        const exclude::TContent &c = list->GetItem(i)->Content;
        if (c.ItemName == itemName && c.Location == text) {
            list->Delete(i);
            break;
        }
    }
    RewriteExclusionFile(path, list);
}

std::string ExclusionShownText(const exclude::TContent &c)
{
    return c.Data.empty() ? c.Location : c.Data;
}

bool ChangeExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item,
                         const std::string &itemName, const std::string &newText)
{
    int i = IndexOfItem(list, item);
    if (i < 0) return false;
    exclude::TContent &c = list->GetItem(i)->Content;
    c.ItemName = itemName;
    (c.Data.empty() ? c.Location : c.Data) = newText;
    RewriteExclusionFile(path, list);
    return true;
}

bool DeleteExclusionItem(const std::string &path, TExcludeContents *list, const TExcludeContentItem *item)
{
    int i = IndexOfItem(list, item);
    if (i < 0) return false;
    list->Delete(i);
    RewriteExclusionFile(path, list);
    return true;
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

void FollowResultItemRemoval(int removed)
{
    if (removed < 0) return;
    ResultRows.KeepIf([removed](const TResultItem &r) {
        return !(r.Category == tcInternetExplorer && r.ContentIndex == removed);
    });
    for (int i = 0; i < ResultRows.Count(); ++i) {
        TResultItem *r = ResultRows.Items(i);
        if (r->Category == tcInternetExplorer && r->ContentIndex > removed) --r->ContentIndex;
    }
}

bool ExcludeResultRow(const std::string &path, TExcludeContents *list, int rowIndex, std::string &itemName)
{
    TResultItem *row = ResultRows.Items(rowIndex);
    if (!row) return false;
    itemName = row->ItemName();
    exclude::TContent c = ExclusionForResultRow(row->ItemName(), row->Entry(), row->Data(), row->Location());
    ResultRows.Delete(rowIndex);
    int removed = -1;
    AddExclusionTo(path, list, c, ResultContents[tcInternetExplorer], &removed);
    FollowResultItemRemoval(removed);
    return true;
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

void TDM::AddExclusion(const std::string &itemName, const std::string &location, const std::string &entry,
                       const std::string &data)
{
    exclude::TContent c;
    c.ItemName = itemName;
    c.Location = location;
    c.Entry = entry;
    c.Data = data;
    int removed = -1;
    AddExclusionTo(ExclusionFilePath(), ExcludeContents, c, ResultContents[tcInternetExplorer], &removed);
    if (removed < 0) return;
    FollowResultItemRemoval(removed);
    if (frmMainForm && frmMainForm->ResultListView) frmMainForm->ResultListView->SetItemCount(ResultRows.Count());
}

void TDM::ModifyExclusion(const std::string &itemName, const std::string &oldText, const std::string &newText)
{
    ModifyExclusionIn(ExclusionFilePath(), ExcludeContents, itemName, oldText, newText);
}

void TDM::RemoveExclusion(const std::string &itemName, const std::string &text)
{
    RemoveExclusionFrom(ExclusionFilePath(), ExcludeContents, itemName, text);
}

void TDM::Exclude1Click()
{
    TfrmMainForm *form = frmMainForm;
    if (!form || !form->ResultListView) return;
    std::string itemName;
    if (!ExcludeResultRow(ExclusionFilePath(), ExcludeContents, form->ResultListView->Selected(), itemName)) return;
    form->DecrementResultCounts(form->ResultTreeView ? form->ResultTreeView->Selected() : nullptr, itemName);
    form->ResultListView->SetItemCount(ResultRows.Count());
    form->ResultListView->Invalidate();
    char count[16];
    wsprintfA(count, "%d", ResultRows.Count());
    if (form->abResultCount) form->abResultCount->SetCaption(count);
}
