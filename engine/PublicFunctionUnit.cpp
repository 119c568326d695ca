#include "engine/PublicFunctionUnit.h"
#include <tlhelp32.h>
#include <algorithm>
#include <cstring>
#include "engine/RegistryInfoUnit.h"
#include "engine/CatalogueUnit.h"
#include "engine/InternetSoftWareBrowsers.h"
#include "ui/Application.h"
#include "ui/Canvas.h"
#include "ui/Exceptions.h"
#include "ui/Registry.h"
#include "ui/TreeView.h"

HKEY RootKeyFromName(const std::string &rootName)
{
    if (rootName == "HKEY_CLASSES_ROOT") return HKEY_CLASSES_ROOT;
    if (rootName == "HKEY_CURRENT_USER") return HKEY_CURRENT_USER;
    if (rootName == "HKEY_LOCAL_MACHINE") return HKEY_LOCAL_MACHINE;
    if (rootName == "HKEY_USERS") return HKEY_USERS;
    if (rootName == "HKEY_CURRENT_CONFIG") return HKEY_CURRENT_CONFIG;
    return nullptr;
}

void SplitLocation(const std::string &location, HKEY &root, std::string &keyPath)
{
    size_t slash = location.find('\\');
    if (slash == std::string::npos) {
        root = nullptr;
        keyPath = location;
        return;
    }
    root = RootKeyFromName(location.substr(0, slash));
    // Only the text after the first backslash: a path that happens to contain a root name further
    // on must not lose it.
    keyPath = location.substr(slash + 1);
}

std::string ReadValueText(const ui::TRegistry &reg, const std::string &name)
{
    DWORD type = reg.GetDataTypeRaw(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::string();
    try {
        return reg.ReadString(name);
    } catch (const ui::ERegistryException &) {
        // The value changed under us between the two queries; treat it as holding no text.
        return std::string();
    }
}

void ReadRegString(const std::string &location, const std::string &valueName, std::string &result)
{
    HKEY root;
    std::string path;
    SplitLocation(location, root, path);
    if (!root) return;
    ui::TRegistry reg(KEY_READ);
    reg.SetRootKey(root);
    if (!reg.OpenKey(path, false)) return;
    result = ReadValueText(reg, valueName);
}

bool IsExcluded(const std::string &itemName, const std::string &place, const TExcludeContents *exclusions)
{
    return exclusions && exclusions->HasPlace(itemName, place);
}

bool IsRegExcluded(const std::string &itemName, const std::string &location, const std::string & /*valueName*/,
                   const TExcludeContents *exclusions, const std::string &data)
{
    return exclusions && exclusions->HasData(itemName, location, exclude::TrimData(data));
}

bool IsResultExcluded(const TContent &c, const TExcludeContents *exclusions)
{
    const uint8_t t = c.ExclusionTests;
    if (!exclusions || !t) return false;
    return ((t & etRegData) && IsRegExcluded(c.ItemName, c.Location, c.Entry, exclusions, c.Data)) ||
           ((t & etPlaceData) && !c.Data.empty() && IsExcluded(c.ItemName, c.Data, exclusions)) ||
           ((t & etPlaceEntry) && IsExcluded(c.ItemName, c.Entry, exclusions)) ||
           ((t & etPlaceLocation) && !c.Location.empty() && IsExcluded(c.ItemName, c.Location, exclusions)) ||
           ((t & etPlaceBrowserEntry) && IsExcluded(c.ItemName, BrowserEntryPlace(c), exclusions));
}

bool IsFirefoxRunning()
{
    // Processes, threads, heaps and modules, as the snapshot has always been taken.
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPALL, 0);
    if (snap == INVALID_HANDLE_VALUE) return false;
    bool found = false;
    PROCESSENTRY32 pe;
    std::memset(&pe, 0, sizeof(pe));
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32First(snap, &pe); ok && !found; ok = Process32Next(snap, &pe)) {
        char name[MAX_PATH + 1];
        std::memcpy(name, pe.szExeFile, MAX_PATH);
        name[MAX_PATH] = '\0';
        std::string lower(name);
        for (char &ch : lower)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        found = lower == "firefox.exe";
    }
    CloseHandle(snap);
    return found;
}

static TSectionRec *NodeRec(ui::TTreeNode *node) { return node ? static_cast<TSectionRec *>(node->Data) : nullptr; }

// Draws count right-aligned, 30 pixels in from the tree's right edge, on the line of node.
static void PaintCount(ui::TTreeView *tree, ui::TTreeNode *node, int32_t count, bool bold)
{
    ui::TCanvas *canvas = tree->Canvas();
    if (!canvas || !node) return;
    char text[16];
    wsprintfA(text, "%d", count);
    canvas->SetFontSize(9);
    canvas->SetFontBold(bold);
    RECT r = node->DisplayRect(true);
    canvas->TextOut(tree->Width() - canvas->TextWidth(text) - 30, r.top + 2, text);
}

void SetNodeCount(int32_t nodeIndex, int32_t amount, int32_t mode, ui::TTreeView *tree)
{
    if (!tree) return;
    ui::TTreeNode *node = tree->Node(nodeIndex);
    TSectionRec *rec = NodeRec(node);
    if (!rec) return;
    if (mode == 0)
        rec->Count = amount;
    else if (mode == 1)
        rec->Count += amount;

    ui::TTreeNode *parent = node->Parent();
    TSectionRec *parentRec = NodeRec(parent);
    if (parentRec) {
        int32_t sum = 0;
        for (int i = 0; i < parent->Count(); ++i) {
            TSectionRec *child = NodeRec(parent->Item(i));
            if (child) sum += child->Count;
        }
        parentRec->Count = sum;
    }

    ui::TTreeNode *rootNode = tree->Node(0);
    TSectionRec *rootRec = NodeRec(rootNode);
    if (rootRec) {
        int32_t sum = 0;
        const int n = tree->NodeCount();
        for (int i = 1; i < n; ++i) {
            ui::TTreeNode *cat = tree->Node(i);
            TSectionRec *catRec = NodeRec(cat);
            if (catRec && cat->Level() == 1) sum += catRec->Count;
        }
        rootRec->Count = sum;
    }
}

void PaintNodeCount(int32_t nodeIndex, ui::TTreeView *tree)
{
    if (!tree || !tree->Handle()) return;   // nothing to paint on yet
    ui::TTreeNode *node = tree->Node(nodeIndex);
    TSectionRec *rec = NodeRec(node);
    if (!rec) return;
    ui::TTreeNode *parent = node->Parent();
    TSectionRec *parentRec = NodeRec(parent);
    ui::TTreeNode *rootNode = tree->Node(0);
    TSectionRec *rootRec = NodeRec(rootNode);
    PaintCount(tree, node, rec->Count, false);
    if (parentRec) PaintCount(tree, parent, parentRec->Count, true);
    if (rootRec) PaintCount(tree, rootNode, rootRec->Count, true);
    tree->Canvas()->Release();   // a window DC is not kept across the scan's message pumps
}

void UpdateNodeCount(int32_t nodeIndex, int32_t amount, int32_t mode, ui::TTreeView *tree)
{
    SetNodeCount(nodeIndex, amount, mode, tree);
    PaintNodeCount(nodeIndex, tree);
}

DWORD ScanTurnMs = 20;

void PumpScanMessages()
{
    if (ui::Application) ui::Application->ProcessMessages();
}

void TScanPacer::Turn()
{
    if (turned_ && GetTickCount() - lastTurn_ < ScanTurnMs) return;
    TakeTurn();
}

void TScanPacer::TurnWhenDue()
{
    if (GetTickCount() - lastTurn_ < ScanTurnMs) return;
    TakeTurn();
}

void TScanPacer::TakeTurn()
{
    PaintCount();
    PumpScanMessages();
    turned_ = true;
    // From the end of the turn: a slow turn must not make every entry after it a turn too.
    lastTurn_ = GetTickCount();
}

void TScanPacer::SetCount(int32_t amount, int32_t mode)
{
    SetNodeCount(node_, amount, mode, tree_);
    unpainted_ = tree_ != nullptr;
}

void TScanPacer::PaintCount()
{
    if (!unpainted_) return;
    unpainted_ = false;
    PaintNodeCount(node_, tree_);
}

// ---------------------------------------------------------------------------------------------
// Registry scanners

TContent &AddRegItem(TResultContents *results, const TRegScanItem &item, const std::string &entry,
                     const std::string &subKey, const std::string &data, const std::string &location)
{
    TContent &c = results->GetItem(results->AddItem())->Content;
    c.Checked = Settings.SelectAll ? 1 : 0;
    c.Removed = 0;
    c.Kind = item.Kind;
    c.Found = 1;
    c.Storage = "Reg";
    c.Group = item.Group;
    c.CleanCaption = item.CleanCaption;
    c.ItemName = item.ItemName;
    c.Entry = entry;
    c.SubKey = subKey;
    c.Data = data;
    c.Location = location;
    c.Size = 0;
    // Every registry scanner tests its trace by this location and data before it adds it.
    c.ExclusionTests = etRegData;
    return c;
}

static void CountAdded(const TRegScanItem &item, int32_t position, int32_t &running, TScanPacer &pacer)
{
    switch (item.CountRule) {
    case TRegCountRule::Position:
        pacer.SetCount(position, 0);
        break;
    case TRegCountRule::Added:
        ++running;
        pacer.SetCount(running, 0);
        break;
    case TRegCountRule::AddOne:
        ++running;
        pacer.SetCount(1, 1);
        break;
    }
}

bool AddRegNames(const TRegScanItem &item, const std::vector<std::string> &names, const std::string &location,
                 const ui::TRegistry *reg, ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results,
                 int32_t &running)
{
    TScanPacer pacer(tree, nodeIndex);
    for (size_t i = 0; i < names.size(); ++i) {
        if (ScanState == 2) return false;
        const std::string &name = names[i];
        if (!item.PumpAfterTest) pacer.Turn();

        if (item.OnlyRegSz && !item.SubKeys) {
            DWORD type = REG_NONE;
            if (reg) {
                type = reg->GetDataTypeRaw(name);
            } else {
                HKEY root;
                std::string path;
                SplitLocation(location, root, path);
                ui::TRegistry r(KEY_READ);
                r.SetRootKey(root);
                if (root && r.OpenKey(path, false)) type = r.GetDataTypeRaw(name);
            }
            if (type != REG_SZ) continue;
        }

        const std::string place = item.SubKeys ? location + "\\" + name : location;
        std::string data;
        switch (item.DataRule) {
        case TRegDataRule::ValueData:
            if (reg)
                data = ReadValueText(*reg, name);
            else
                ReadRegString(location, name, data);
            break;
        case TRegDataRule::Empty:
            break;
        case TRegDataRule::ValueName:
            data = name;
            break;
        }

        if (IsRegExcluded(item.ItemName, place, name, ExcludeContents, data)) continue;
        if (item.DataIsPlace && !data.empty() && IsExcluded(item.ItemName, data, ExcludeContents)) continue;
        if (item.PumpAfterTest) pacer.Turn();

        TContent &c = item.SubKeys ? AddRegItem(results, item, std::string(), name, data, place)
                                   : AddRegItem(results, item, name, item.NameInSubKey ? name : std::string(), data,
                                                place);
        if (item.DataIsPlace) c.ExclusionTests = static_cast<uint8_t>(c.ExclusionTests | etPlaceData);
        CountAdded(item, static_cast<int32_t>(i + 1), running, pacer);
    }
    return true;
}

bool ScanRegKey(const TRegScanItem &item, const std::string &location, ui::TTreeView *tree, int32_t nodeIndex,
                TResultContents *results, int32_t &running)
{
    HKEY root;
    std::string path;
    SplitLocation(location, root, path);
    if (!root) return false;
    ui::TRegistry reg(KEY_READ);
    reg.SetRootKey(root);
    if (!reg.OpenKey(path, false)) return false;
    TScanPacer listing;
    std::vector<std::string> names =
        item.SubKeys ? reg.GetKeyNames(listing.WhenDue()) : reg.GetValueNames(listing.WhenDue());
    // The registry ignores case in names, so "lastmachine" is the same key as "LastMachine".
    if (item.PassOver)
        names.erase(std::remove_if(names.begin(), names.end(),
                                   [&](const std::string &n) { return lstrcmpiA(n.c_str(), item.PassOver) == 0; }),
                    names.end());
    AddRegNames(item, names, location, &reg, tree, nodeIndex, results, running);
    return true;
}

void ScanRegKeys(const TRegScanItem &item, std::initializer_list<const char *> locations, ui::TTreeView *tree,
                 int32_t nodeIndex, TResultContents *results)
{
    int32_t running = 0;
    for (const char *location : locations) ScanRegKey(item, location, tree, nodeIndex, results, running);
}

void ScanRegSingleValue(const TRegScanItem &item, const std::string &location, const std::string &valueName,
                        ui::TTreeView *tree, int32_t nodeIndex, TResultContents *results)
{
    HKEY root;
    std::string path;
    SplitLocation(location, root, path);
    if (!root) return;
    ui::TRegistry reg(KEY_READ);
    reg.SetRootKey(root);
    if (!reg.OpenKey(path, false)) return;
    const std::string text = ReadValueText(reg, valueName);
    if (text.empty()) return;
    if (IsRegExcluded(item.ItemName, location, valueName, ExcludeContents, text)) return;
    AddRegItem(results, item, valueName, std::string(), text, location);
    UpdateNodeCount(nodeIndex, 1, 0, tree);
}
