#include "engine/CatalogueUnit.h"

TScanItemList *ScanItemLists[TraceCategoryCount] = {nullptr, nullptr, nullptr, nullptr};

namespace {

struct CatalogueEntry {
    int category;
    const char *caption;
    bool ticked;
};

// Captions exactly as stored: other parts match on them.
const CatalogueEntry Catalogue[] = {
    {0, "Cache", true},
    {0, "Address Bar History", true},
    {0, "Cookies", true},
    {0, "Favorites", false},
    {0, "Favorites Export File", true},
    {0, "Favorites Import Folder", true},
    {0, "AutoCompleteData", true},
    {0, "Download Directory", true},
    {0, "Save Directory", true},
    {1, "Paint", true},
    {1, "WordPad", true},
    {1, "Media Player History_List", true},
    {1, "Microsoft Frontpage Express", true},
    {1, "Microsoft Help Workshop", true},
    {1, "Microsoft Office", true},
    {1, "Microsoft Publisher", true},
    {1, "Microsoft FrontPage", true},
    {1, "Microsoft Netmeeting", true},
    {1, "Microsoft MSN_Messenger", true},
    {1, "MSDN Project MRU_List", true},
    {1, "WinRAR History", true},
    {1, "WinZip History", true},
    {1, "ZipMagic History", true},
    {1, "ASPack History", true},
    {1, "ACDSee History", true},
    {2, "Run History", true},
    {2, "Windows Send To", true},
    {2, "Recent Files", true},
    {2, "Telnet Menu History", true},
    {2, "My Network Places", true},
    {2, "Map Network Drive History", true},
    {2, "Windows Explorer Open With History", true},
    {2, "Microsoft Management Console MRU List", true},
    {2, "Regedit32 History", true},
    {2, "Start Menu Click History", true},
    {2, "Start Menu Order History", true},
    {2, "TrayNotify", true},
    {2, "ShareFolder", true},
    {2, "Exe MUICache", true},
    {2, "RecycleBin", true},
    {3, "Real DownLoad", true},
    {3, "GetRight", true},
    {3, "DownloadAccelerator", true},
    {3, "KazaaHistory", true},
    {3, "FireFoxHistory", true},
    {3, "FireFoxCookies", true},
    {3, "FireFoxCache", true},
    {3, "NetscapeHistory", true},
    {3, "NetscapeCookies", true},
    {3, "NetscapeCache", true},
};

const char *const CategoryCaptions[TraceCategoryCount] = {
    "Internet Explorer", "Windows Software", "Windows System", "Internet Software"};

}  // namespace

const char *CategoryCaption(int category)
{
    return category >= 0 && category < TraceCategoryCount ? CategoryCaptions[category] : "";
}

void FillScanItemList(int category)
{
    if (category < 0 || category >= TraceCategoryCount || !ScanItemLists[category]) return;
    int itemNo = 0;
    for (const CatalogueEntry &e : Catalogue) {
        if (e.category != category) continue;
        TSectionRec *rec = new TSectionRec;
        rec->Category = category;
        rec->ItemNo = ++itemNo;
        rec->CategoryCaption = CategoryCaptions[category];
        rec->ItemCaption = e.caption;
        rec->Checked = e.ticked ? 1 : 0;
        rec->Count = 0;
        ScanItemLists[category]->push_back(rec);
    }
}

void CreateScanItemLists()
{
    for (int c = 0; c < TraceCategoryCount; ++c) {
        ScanItemLists[c] = new TScanItemList;
        FillScanItemList(c);
    }
}

void FreeScanItemLists()
{
    for (int c = 0; c < TraceCategoryCount; ++c) {
        if (!ScanItemLists[c]) continue;
        for (TSectionRec *rec : *ScanItemLists[c]) delete rec;
        delete ScanItemLists[c];
        ScanItemLists[c] = nullptr;
    }
}
