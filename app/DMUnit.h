// The data module: what the windows share. It owns the lifetime of the result and exclusion
// collections, loads the exclusions and the settings at start, holds every image list, the tray menu,
// the result list's popup menu and the timer that animates the item node being scanned.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace ui {
class TImageList;
class TPopupMenu;
class TMenuItem;
class TTimer;
class THttpClient;
}
enum class TExclusionSave;

class TDM {
public:
    TDM();    // DataModuleCreate
    ~TDM();   // DataModuleDestroy

    // ---- components
    ui::TImageList *BtnImageList = nullptr;     // 162 x 44: page buttons, normal and highlighted
    ui::TTimer *ScanTimer = nullptr;            // 20 ms, animates node ScanNodeIndex
    ui::TImageList *TreeImageList = nullptr;    // 16 x 16: tree icons, ticks, spinner frames 8..14
    ui::TImageList *ImageList2 = nullptr;       // 20 x 19: Minimize and Close, normal and hover
    ui::TImageList *ImageList3 = nullptr;       // 84 x 33: title-bar buttons, normal and hover
    ui::THttpClient *IdHTTP1 = nullptr;         // the update check's downloads
    ui::TPopupMenu *MainPopupMenu = nullptr;    // the tray menu
    ui::TImageList *PopupImageList = nullptr;   // 16 x 16: program icon, "Update online"
    ui::TPopupMenu *pmExclude = nullptr;        // the result list's menu
    ui::TImageList *ImageList1 = nullptr;       // 221 x 52: action buttons, normal and hover

    ui::TMenuItem *OpenMenu = nullptr;
    ui::TMenuItem *About1 = nullptr;
    ui::TMenuItem *OnlineUpdate1 = nullptr;
    ui::TMenuItem *Exit1 = nullptr;
    ui::TMenuItem *Exclude1 = nullptr;

    // ---- plain fields
    int32_t ScanFrame = 8;        // the picture the next timer tick shows, 8..14
    int32_t ScanNodeIndex = 0;    // absolute index on the item tree of the node being scanned

    // ---- operations
    void DataModuleCreate();
    void DataModuleDestroy();
    void CreateCollections();
    void FreeCollections();
    void ClearResults();
    void LoadSettings();
    void CheckForUpdate();
    // Downloads "Update.ini" into the program folder and compares its version with Settings.Version.
    bool IsNewerVersionAvailable();
    // GET of url into fileName; a failed transfer raises the silent abort.
    void DownloadFile(const std::string &url, const std::string &fileName);
    void ScanTimerTimer();
    void OpenMenuClick();
    void About1Click();
    void OnlineUpdate1Click();
    void Exit1Click();

    // ---- exclusion list file (DMUnitExclude)
    void LoadExclusions();
    void Exclude1Click();
    // The file follows each change at once: an addition is appended, a change rewrites it.
    void AddExclusion(const std::string &itemName, const std::string &location, const std::string &entry,
                      const std::string &data);
    void ModifyExclusion(const std::string &itemName, const std::string &oldText, const std::string &newText);
    void RemoveExclusion(const std::string &itemName, const std::string &text);
    // After an exclusion was added or changed (saved says how that went): every result that the
    // list now keeps out of a scan leaves the result list, the trees' counts and the footer. A
    // removal gives nothing back; the next scan lists it again.
    void ExclusionsChanged(TExclusionSave saved);

private:
    void CreateComponents();
    void FreeComponents();
};

extern TDM *DM;
