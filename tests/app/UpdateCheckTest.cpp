// The update check against a loopback server: version order, the question, the updater start.
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include "app/DMUnitUpdate.h"
#include "ui/Exceptions.h"
#include "ui/HttpClient.h"
#include <gtest/gtest.h>
#include <vector>

using namespace qmtest;

namespace {

class UpdateCheckTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedUrl_ = UpdateCheck::UpdateFolderURL;
        UpdateCheck::UpdateFolderURL = server.Url("/update/");
        folder = dir.Path() + "\\";
        http.ReadTimeout = 2000;
    }
    void TearDown() override { UpdateCheck::UpdateFolderURL = savedUrl_; }

    void Publish(const std::string &version)
    {
        HttpReply r;
        r.body = "[Version]\r\nVersion=" + version + "\r\n[HTTP]\r\nA=" + server.Url("/update/Quillmoor.exe") + "\r\n";
        server.Set("/update/Update.ini", r);
    }

    // Records what the check asks and starts; answers with `answer`.
    UpdateCheck::TUpdateActions Recorder(int answer)
    {
        UpdateCheck::TUpdateActions a;
        a.Ask = [this, answer](const std::string &text, const std::string &caption, UINT flags) {
            questions.push_back(text);
            captions.push_back(caption);
            questionFlags.push_back(flags);
            events.push_back("ask");
            return answer;
        };
        a.StartProgram = [this](const std::string &path) {
            started.push_back(path);
            events.push_back("start");
        };
        a.Terminate = [this] { events.push_back("terminate"); };
        return a;
    }

    LoopbackHttpServer server;
    TempDir dir;
    std::string folder;
    ui::THttpClient http;
    std::vector<std::string> questions, captions, started, events;
    std::vector<UINT> questionFlags;

private:
    std::string savedUrl_;
};

}  // namespace

TEST(UpdateVersionOrder, ComparesBytesNotNumbers)
{
    struct Case {
        const char *published, *installed;
        bool newer;
    } cases[] = {
        {"3.7", "3.7", false},   {"3.10", "3.7", false},  {"3.8", "3.7", true},     {"3.7.1", "3.7", true},
        {"3.6.9", "3.7", false}, {"3.7", "3.7.1", false}, {"1", "", true},          {"", "3.7", false},
        {"", "", false},         {"3.7a", "3.7", true},   {"3.7", "3.7 ", false},   {"\xE9", "z", true},
        {"v3.0", "3.9", true},   {"3.7", "3.8", false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UpdateCheck::IsVersionNewer(c.published, c.installed), c.newer)
            << "\"" << c.published << "\" over \"" << c.installed << "\"";
}

TEST_F(UpdateCheckTest, SameOrOlderVersionAsksNothing)
{
    for (const char *published : {"3.7", "3.10", "3.6", ""}) {
        Publish(published);
        UpdateCheck::CheckForUpdate(http, folder, "3.7", Recorder(IDYES));
        EXPECT_TRUE(events.empty()) << published;
        // The description was downloaded into the program folder all the same.
        EXPECT_NE(ReadFileBytes(folder + "Update.ini").find("Version=" + std::string(published)), std::string::npos);
    }
}

TEST_F(UpdateCheckTest, DescriptionWithoutVersionNeverOffers)
{
    HttpReply r;
    r.body = "[HTTP]\r\nA=x\r\n";
    server.Set("/update/Update.ini", r);
    EXPECT_FALSE(UpdateCheck::IsNewerVersionAvailable(http, folder, ""));
    EXPECT_FALSE(UpdateCheck::IsNewerVersionAvailable(http, folder, "3.7"));
}

TEST_F(UpdateCheckTest, NewerVersionAsksAndOnYesStartsTheUpdaterThenEnds)
{
    Publish("3.8");
    UpdateCheck::CheckForUpdate(http, folder, "3.7", Recorder(IDYES));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0],
              "A newer version of Quillmoor is available, Quillmoor will shut down to install the newer "
              "version.\rWould you like to update now?");
    EXPECT_EQ(captions[0], "Quillmoor");
    EXPECT_EQ(questionFlags[0], 0x44u);
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], folder + "qmUpdate.exe");
    EXPECT_EQ(events, (std::vector<std::string>{"ask", "start", "terminate"}));

    // The request went to the update folder with the client's own headers.
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].rfind("GET /update/Update.ini HTTP/1.1", 0), 0u);
}

TEST_F(UpdateCheckTest, EmptyInstalledVersionMakesAnyPublishedOneNewer)
{
    Publish("0.1");
    UpdateCheck::CheckForUpdate(http, folder, "", Recorder(IDNO));
    EXPECT_EQ(questions.size(), 1u);
}

TEST_F(UpdateCheckTest, NoKeepsTheDescriptionAndTheNextCheckFetchesItAgain)
{
    Publish("4.0");
    UpdateCheck::CheckForUpdate(http, folder, "3.7", Recorder(IDNO));
    EXPECT_EQ(events, (std::vector<std::string>{"ask"}));
    EXPECT_NE(ReadFileBytes(folder + "Update.ini").find("Version=4.0"), std::string::npos);

    Publish("4.1");
    UpdateCheck::CheckForUpdate(http, folder, "3.7", Recorder(IDNO));
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_NE(ReadFileBytes(folder + "Update.ini").find("Version=4.1"), std::string::npos);
}

TEST_F(UpdateCheckTest, NetworkFailuresEndSilently)
{
    HttpReply moved;
    moved.status = 301;
    moved.reason = "Moved Permanently";
    moved.extraHeaders = "Location: " + server.Url("/elsewhere/Update.ini") + "\r\n";
    HttpReply newer;
    newer.body = "[Version]\r\nVersion=9.9\r\n";
    server.Set("/elsewhere/Update.ini", newer);
    HttpReply err;
    err.status = 500;
    err.reason = "Internal Server Error";
    err.body = "[Version]\r\nVersion=9.9\r\n";
    HttpReply stall;
    stall.stallBeforeReply = true;

    // An old description in the folder must not be read as the answer after a failure.
    ASSERT_TRUE(WriteFileBytes(folder + "Update.ini", "[Version]\r\nVersion=9.9\r\n"));
    for (const HttpReply *reply : {&moved, &err, &stall}) {
        server.Set("/update/Update.ini", *reply);
        EXPECT_THROW(UpdateCheck::CheckForUpdate(http, folder, "3.7", Recorder(IDYES)), ui::EAbort);
        EXPECT_TRUE(events.empty());
        EXPECT_EQ(ReadFileBytes(folder + "Update.ini").find("9.9"), std::string::npos);
    }
    for (const std::string &r : server.Requests()) EXPECT_EQ(r.find("/elsewhere/"), std::string::npos);

    // 404: no such description on the server.
    server.Set("/update/Update.ini", HttpReply{404, "Not Found", "", true, "", 0, 0, false, -1});
    EXPECT_THROW(UpdateCheck::CheckForUpdate(http, folder, "3.7", Recorder(IDYES)), ui::EAbort);
    EXPECT_TRUE(events.empty());
}

TEST_F(UpdateCheckTest, FolderWithoutWriteAccessIsAnErrorNotTheSilentAbort)
{
    Publish("9.0");
    try {
        UpdateCheck::CheckForUpdate(http, folder + "missing\\", "3.7", Recorder(IDYES));
        FAIL() << "no error";
    } catch (const ui::EAbort &) {
        FAIL() << "a local file error must be shown, not swallowed";
    } catch (const ui::Exception &e) {
        EXPECT_NE(std::string(e.what()).find("Update.ini"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(server.Requests().empty());   // nothing went to the network
}

TEST_F(UpdateCheckTest, DownloadFileReplacesTheFileContent)
{
    HttpReply r;
    r.body = "short";
    server.Set("/update/f.bin", r);
    ASSERT_TRUE(WriteFileBytes(folder + "f.bin", "a much longer old content"));
    UpdateCheck::DownloadFile(http, server.Url("/update/f.bin"), folder + "f.bin");
    EXPECT_EQ(ReadFileBytes(folder + "f.bin"), "short");
}
