// The Firefox and Netscape scanner tests: "AppData" and "Local AppData" pointed at scratch folders.
#pragma once
#include <cstring>
#include "InternetExplorerScanFixture.h"
#include "engine/InternetSoftWareBrowsers.h"

namespace qmtest {

// The names of a folder's entries in the order the file system returns them, without "." and "..".
std::vector<std::string> ListFolder(const std::string &folder);
// Creates a folder and every missing folder above it.
bool MakeFolders(const std::string &path);

class FirefoxScan : public BrowserScan {
protected:
    void SetUp() override;
    void TearDown() override;

    const std::string &AppData() const { return appDir_.Path(); }
    const std::string &LocalAppData() const { return localDir_.Path(); }
    // The browser's profiles folder below AppData (made by SetUp).
    std::string Profiles() const { return AppData() + profilesPath_; }
    // Writes a file into the profile folder "p.default" and returns its path.
    std::string PutProfileFile(const std::string &name, const std::string &bytes);

    std::string profilesPath_ = "\\Mozilla\\Firefox\\Profiles";
    TempDir appDir_, localDir_;
    std::unique_ptr<RegValueOverride> appData_, localAppData_;
};

}  // namespace qmtest
