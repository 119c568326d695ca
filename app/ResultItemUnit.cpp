#include "app/ResultItemUnit.h"
#include <windows.h>
#include <climits>
#include <cstdio>

TResultRows ResultRows;

TResultItem *TResultRows::Add()
{
    rows_.emplace_back();
    return &rows_.back();
}

void TResultRows::Delete(int index)
{
    if (index < 0 || index >= Count()) return;
    rows_.erase(rows_.begin() + index);
}

void TResultRows::Clear()
{
    std::vector<TResultItem>().swap(rows_);
}

namespace {

const std::string NoText;

const std::string &FieldOf(TNameField f, const TContent &c)
{
    switch (f) {
    case nfNone: return NoText;
    case nfEntry: return c.Entry;
    case nfData: return c.Data;
    case nfSubKey: return c.SubKey;
    case nfLocation: return c.Location;
    case nfFirefoxHistory: return c.FirefoxHistory;
    case nfFirefoxCookie: return c.FirefoxCookie;
    case nfFirefoxCacheFile: return c.FirefoxCacheFile;
    case nfNetscapeHistory: return c.NetscapeHistory;
    case nfNetscapeCookie: return c.NetscapeCookie;
    case nfNetscapeCacheFile: return c.NetscapeCacheFile;
    }
    return NoText;
}

}  // namespace

const TContent *TResultItem::Content() const
{
    if (Category < 0 || Category >= TraceCategoryCount || !ResultContents[Category]) return nullptr;
    const TResultContents &contents = *ResultContents[Category];
    return ContentIndex >= 0 && ContentIndex < contents.Count() ? &contents.GetItem(ContentIndex)->Content : nullptr;
}

const std::string &TResultItem::ItemName() const
{
    const TContent *c = Content();
    return c ? c->ItemName : NoText;
}

const std::string &TResultItem::DisplayName() const
{
    const TContent *c = Content();
    return c ? FieldOf(NameField, *c) : NoText;
}

const std::string &TResultItem::Location2() const { return Location(); }

const std::string &TResultItem::Entry() const
{
    const TContent *c = Content();
    return c ? c->Entry : NoText;
}

const std::string &TResultItem::Data() const
{
    const TContent *c = Content();
    return c ? FieldOf(DataField, *c) : NoText;
}

const std::string &TResultItem::Location() const
{
    const TContent *c = Content();
    return c ? c->Location : NoText;
}

namespace {

struct TItemRule {
    const char *caption;   // the exact type string, or nullptr when matched by kind
    int kind;              // the TraceKind that matches, -1 when matched by caption
    TNameField name;
};

// Type strings exactly as the scanners write them ("AutoComplete Form Data" has no "Clean ").
const TItemRule InternetExplorerRules[] = {
    {"Clean IE Cache", -1, nfEntry},
    {"Clean Address Bar History", -1, nfData},
    {"Clean IE Cookies", -1, nfEntry},
    {"Clean Favorites", -1, nfEntry},
    {"Clean Favorites Export File", -1, nfData},
    {"Clean Favorites Import Folder", -1, nfData},
    {"AutoComplete Form Data", -1, nfData},
    {"Clean Download Directory", -1, nfData},
    {"Clean Save Directory", -1, nfData},
};

const TItemRule WindowsSoftwareRules[] = {
    {"Clean Paint History", -1, nfData},
    {"Clean WordPad History", -1, nfData},
    {"Clean Windows Media Player", -1, nfData},
    {"Clean Frontpage Express History", -1, nfData},
    {"Clean Microsoft Help Workshop History", -1, nfData},
    {"Clean Microsoft Office", -1, nfData},
    {"Clean Microsoft Publisher", -1, nfData},
    {"Clean Microsoft FrontPage", -1, nfData},
    {"Clean Microsoft Netmeeting", -1, nfData},
    {"Clean Microsoft MSN Messenger", -1, nfData},
    {"Clean MSDN Project MRU List", -1, nfData},
    {"Clean WinRAR History", -1, nfLocation},
    {"Clean WinZip History", -1, nfData},
    {"Clean ZipMagic History", -1, nfData},
    {"Clean ASPack History", -1, nfData},
    {"Clean ACDSee History", -1, nfData},
};

const TItemRule WindowsSystemRules[] = {
    {"Clean RunMRU", -1, nfData},
    {"Clean Windows Send To", -1, nfEntry},
    {"Clean Windows Recent Documents Files", -1, nfEntry},
    {"Clean Telnet Menu History", -1, nfSubKey},
    {"Clean My Network Places", -1, nfSubKey},
    {"Clean Map Network Drive MRU", -1, nfData},
    {"Clean Windows Explorer Open With History", -1, nfData},
    {"Clean Microsoft Management Console MRU List", -1, nfData},
    {"Clean Regedit32 History", -1, nfData},
    {"Clean Start Menu Click History", -1, nfSubKey},
    {"Clean Start Menu Order History", -1, nfEntry},
    {"Clean TrayNotify History", -1, nfEntry},
    {"Clean ShareFolder", -1, nfSubKey},
    {"Clean Windows MUICache", -1, nfData},
    {"Clean RecycleBin", -1, nfEntry},
};

const TItemRule InternetSoftwareRules[] = {
    {"Clean RealDownload", -1, nfData},
    {"Clean GetRight MRU Info", -1, nfData},
    {"Clean Download Accelerator", -1, nfData},
    {"Clean Kazaa History", -1, nfData},
    {nullptr, tkFirefoxHistory, nfFirefoxHistory},
    {nullptr, tkFirefoxCookie, nfFirefoxCookie},
    {nullptr, tkFirefoxCacheFile, nfFirefoxCacheFile},
    {nullptr, tkNetscapeHistory, nfNetscapeHistory},
    {nullptr, tkNetscapeCookie, nfNetscapeCookie},
    {nullptr, tkNetscapeCacheFile, nfNetscapeCacheFile},
};

struct TCategoryRules {
    const TItemRule *items;
    int count;
};

const TCategoryRules Rules[TraceCategoryCount] = {
    {InternetExplorerRules, 9},
    {WindowsSoftwareRules, 16},
    {WindowsSystemRules, 15},
    {InternetSoftwareRules, 10},
};

static_assert(sizeof(InternetExplorerRules) / sizeof(TItemRule) == 9, "IE items");
static_assert(sizeof(WindowsSoftwareRules) / sizeof(TItemRule) == 16, "software items");
static_assert(sizeof(WindowsSystemRules) / sizeof(TItemRule) == 15, "system items");
static_assert(sizeof(InternetSoftwareRules) / sizeof(TItemRule) == 10, "internet software items");

const TItemRule *RuleOf(int category, int itemNo)
{
    if (category < 0 || category >= TraceCategoryCount) return nullptr;
    if (itemNo < 1 || itemNo > Rules[category].count) return nullptr;
    return &Rules[category].items[itemNo - 1];
}

bool Matches(const TItemRule &rule, const TContent &c)
{
    return rule.caption ? c.CleanCaption == rule.caption : c.Kind == rule.kind;
}

TResultContents *ContentsOf(int category)
{
    return category >= 0 && category < TraceCategoryCount ? ResultContents[category] : nullptr;
}

// The "%d" of a message text filled with a number.
std::string WithNumber(const char *format, long long value)
{
    std::string s = format;
    size_t at = s.find("%d");
    if (at != std::string::npos) s.replace(at, 2, std::to_string(value));
    return s;
}

}  // namespace

int CategoryItemCount(int category)
{
    return category >= 0 && category < TraceCategoryCount ? Rules[category].count : 0;
}

const char *ItemCleanCaption(int category, int itemNo)
{
    const TItemRule *rule = RuleOf(category, itemNo);
    return rule && rule->caption ? rule->caption : "";
}

bool ResultItemMatches(int category, int itemNo, const TContent &content)
{
    const TItemRule *rule = RuleOf(category, itemNo);
    return rule && Matches(*rule, content);
}

void CheckResultItems(int category, int itemNo, bool value)
{
    TResultContents *contents = ContentsOf(category);
    if (!contents) return;
    if (itemNo != 0 && !RuleOf(category, itemNo)) return;
    for (int i = 0; i < contents->Count(); ++i) {
        TContent &c = contents->GetItem(i)->Content;
        if (itemNo == 0 || ResultItemMatches(category, itemNo, c)) c.Checked = value ? 1 : 0;
    }
}

int32_t CountCheckedResultContents()
{
    int32_t count = 0;
    int64_t size = 0;
    SumCheckedResultContents(count, size);
    return count;
}

void SumCheckedResultContents(int32_t &count, int64_t &size)
{
    count = 0;
    size = 0;
    for (int c = 0; c < TraceCategoryCount; ++c) {
        TResultContents *contents = ResultContents[c];
        if (!contents) continue;
        for (int i = 0; i < contents->Count(); ++i) {
            const TContent &item = contents->GetItem(i)->Content;
            if (!item.Checked) continue;
            ++count;
            size += item.Size;
        }
    }
}

int32_t CountMatchingResultItems(int category, int itemNo)
{
    TResultContents *contents = ContentsOf(category);
    const TItemRule *rule = RuleOf(category, itemNo);
    if (!contents || !rule) return 0;
    int32_t n = 0;
    for (int i = 0; i < contents->Count(); ++i)
        if (Matches(*rule, contents->GetItem(i)->Content)) ++n;
    return n;
}

std::vector<int32_t> PurgeItemsIf(TResultContents *contents, const std::function<bool(const TContent &)> &drop)
{
    std::vector<int32_t> newIndex;
    if (!contents) return newIndex;
    newIndex.reserve(static_cast<size_t>(contents->Count()));
    int32_t next = 0;
    for (int i = 0; i < contents->Count(); ++i) newIndex.push_back(drop(contents->GetItem(i)->Content) ? -1 : next++);
    if (next == contents->Count()) return newIndex;
    size_t at = 0;
    contents->KeepIf([&](const TResultContentItem &) { return newIndex[at++] >= 0; });
    return newIndex;
}

std::vector<int32_t> PurgeRemovedItems(TResultContents *contents)
{
    return PurgeItemsIf(contents, [](const TContent &c) { return c.Removed != 0; });
}

void RemapResultRows(int category, const std::vector<int32_t> &newIndex)
{
    const int32_t known = static_cast<int32_t>(newIndex.size());
    ResultRows.KeepIf([&](TResultItem &row) {
        if (row.Category != category) return true;
        if (row.ContentIndex < 0 || row.ContentIndex >= known) return false;
        row.ContentIndex = newIndex[static_cast<size_t>(row.ContentIndex)];
        return row.ContentIndex >= 0;
    });
    FoundSizeTotal = 0;
    for (int i = 0; i < ResultRows.Count(); ++i) AddFoundSize(ResultRows.Items(i)->Size);
}

namespace {

// The field that the "Name" column shows for a result item in the category view: the first type
// string of the category that equals its own decides.
TNameField CategoryNameField(int category, const TContent &content)
{
    const TCategoryRules &cat = Rules[category];
    for (int i = 0; i < cat.count; ++i) {
        const TItemRule &rule = cat.items[i];
        if (rule.caption && content.CleanCaption == rule.caption) return rule.name;
    }
    // Unknown type strings: Windows Software shows the data, Internet Software tries the kind.
    if (category == tcWindowsSoftware) return nfData;
    if (category == tcInternetSoftware) {
        for (int i = 0; i < cat.count; ++i) {
            const TItemRule &rule = cat.items[i];
            if (!rule.caption && content.Kind == rule.kind) return rule.name;
        }
    }
    return nfNone;
}

}  // namespace

std::string ResultDisplayName(int category, int itemNo, const TContent &content)
{
    if (category < 0 || category >= TraceCategoryCount) return std::string();
    if (itemNo != 0) {
        const TItemRule *rule = RuleOf(category, itemNo);
        return rule ? FieldOf(rule->name, content) : std::string();
    }
    return FieldOf(CategoryNameField(category, content), content);
}

void FillResultRows(int category, int itemNo, bool append)
{
    if (!append) {
        ResultRows.Clear();
        FoundSizeTotal = 0;
    }
    TResultContents *contents = ContentsOf(category);
    if (!contents) return;
    const TItemRule *rule = nullptr;
    if (itemNo != 0) {
        rule = RuleOf(category, itemNo);
        if (!rule) return;
    }
    // Four Windows System items show their subkey as the name; their rows carry it as the data too.
    const TNameField dataField = rule && rule->name == nfSubKey ? nfSubKey : nfData;
    ResultRows.Reserve(ResultRows.Count() + contents->Count());
    for (int i = 0; i < contents->Count(); ++i) {
        const TContent &c = contents->GetItem(i)->Content;
        if (rule && !Matches(*rule, c)) continue;
        TResultItem *row = ResultRows.Add();
        row->NameField = rule ? rule->name : CategoryNameField(category, c);
        row->DataField = dataField;
        row->Checked = c.Checked;
        row->Category = category;
        row->ContentIndex = i;
        row->Removed = c.Removed;
        row->Size = c.Size;
        // Saturate rather than wrap: the footer must never show a negative size.
        AddFoundSize(c.Size);
    }
}

std::string FormatFixed2(double value)
{
    char buf[64];
    snprintf(buf, sizeof buf, "%.2f", value);
    char sep[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, sep, sizeof sep) <= 1) return buf;
    std::string s = buf;
    size_t dot = s.find('.');
    if (dot != std::string::npos) s.replace(dot, 1, sep);
    return s;
}

void FormatResultSpace(int64_t total, std::string &number, std::string &unit)
{
    if (total < 1024) {
        number = std::to_string(total);
        unit = "B";
    } else if (total < 1048576) {
        number = FormatFixed2(static_cast<double>(total) / 1024);
        unit = "KB";
    } else {
        number = FormatFixed2(static_cast<double>(total) / 1048576);
        unit = "MB";
    }
}

std::vector<std::string> ResultRowSubItems(const TResultItem &row)
{
    return {row.DisplayName(), FormatFixed2(static_cast<double>(row.Size) / 1024),
            row.Removed ? "Deleted" : "", row.Entry(), row.Data(), row.Location()};
}

void ResultHintTexts(int32_t count, int64_t size, std::string &line1, std::string &line2)
{
    line1.clear();
    line2.clear();
    if (count <= 0 && size <= 0) return;
    if (size <= 0) {
        line1 = WithNumber("It has scanned %d items totally.", count);
        return;
    }
    line1 = WithNumber("It has scanned %d items totally that can", count);
    if (size < 1024)
        line2 = WithNumber("free %d B hard disk space.", size);
    else if (size < 1048576)
        line2 = "free " + FormatFixed2(static_cast<double>(size) / 1024) + " KB hard disk space.";
    else
        line2 = "free " + FormatFixed2(static_cast<double>(size) / 1048576) + " MB hard disk space.";
}
