// The HTTP client against a server of our own on the loopback address.
#include "LoopbackHttpServer.h"
#include "TestSupport.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include "ui/HttpClient.h"
#include <gtest/gtest.h>
#include <vector>

using namespace qmtest;

namespace {

std::string Pattern(size_t n)
{
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

struct Progress {
    std::vector<long long> begins, works;
    int ends = 0;
    void Attach(ui::THttpClient &http)
    {
        http.OnWorkBegin = [this](long long n) { begins.push_back(n); };
        http.OnWork = [this](long long n) { works.push_back(n); };
        http.OnWorkEnd = [this] { ++ends; };
    }
};

}  // namespace

TEST(NetHttp, GetWithLengthWritesBodyAndReportsProgress)
{
    LoopbackHttpServer server;
    std::string body = Pattern(100000);
    HttpReply reply;
    reply.body = body;
    server.Set("/update/Quillmoor.exe", reply);

    ui::THttpClient http;
    Progress p;
    p.Attach(http);
    TempDir dir;
    {
        ui::TFileStream f(dir / "out.bin", ui::fmCreate);
        http.Get(server.Url("/update/Quillmoor.exe"), f);
    }
    EXPECT_EQ(ReadFileBytes(dir / "out.bin"), body);
    EXPECT_EQ(http.ResponseCode(), 200);
    ASSERT_EQ(p.begins.size(), 1u);
    EXPECT_EQ(p.begins[0], 100000);
    ASSERT_FALSE(p.works.empty());
    EXPECT_EQ(p.works.back(), 100000);
    for (size_t i = 1; i < p.works.size(); ++i) EXPECT_GT(p.works[i], p.works[i - 1]);
    EXPECT_EQ(p.ends, 1);
}

TEST(NetHttp, SendsTheThreeHeadersAndNoRange)
{
    LoopbackHttpServer server;
    HttpReply reply;
    reply.body = "x";
    server.Set("/u/Update.ini?v=1", reply);
    ui::THttpClient http;
    ui::TMemoryStream m;
    http.Get(server.Url("/u/Update.ini?v=1"), m);
    EXPECT_EQ(m.Data(), "x");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const std::string head = requests[0] + "\r\n";
    EXPECT_EQ(head.rfind("GET /u/Update.ini?v=1 HTTP/1.1\r\n", 0), 0u) << head;
    EXPECT_NE(head.find("\r\nAccept: text/html, */*\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"), std::string::npos) << head;
    EXPECT_NE(head.find("\r\nContent-Type: text/html\r\n"), std::string::npos) << head;
    EXPECT_EQ(head.find("Range:"), std::string::npos) << head;
}

TEST(NetHttp, WithoutLengthReportsZeroAndReadsToTheEnd)
{
    LoopbackHttpServer server;
    std::string body = Pattern(50000);
    HttpReply reply;
    reply.body = body;
    reply.contentLength = false;
    reply.chunk = 10000;
    reply.chunkDelayMs = 20;
    server.Set("/f", reply);
    ui::THttpClient http;
    Progress p;
    p.Attach(http);
    ui::TMemoryStream m;
    http.Get(server.Url("/f"), m);
    EXPECT_EQ(m.Data(), body);
    ASSERT_EQ(p.begins.size(), 1u);
    EXPECT_EQ(p.begins[0], 0);
    EXPECT_GE(p.works.size(), 5u);   // a slow server gives one event per block that arrives
    EXPECT_EQ(p.works.back(), 50000);
    EXPECT_EQ(p.ends, 1);
}

TEST(NetHttp, ErrorStatusesAndRedirectsFail)
{
    LoopbackHttpServer server;
    HttpReply err;
    err.status = 500;
    err.reason = "Internal Server Error";
    err.body = "oops";
    server.Set("/err", err);
    HttpReply moved;
    moved.status = 302;
    moved.reason = "Found";
    moved.extraHeaders = "Location: " + server.Url("/target") + "\r\n";
    server.Set("/moved", moved);
    HttpReply target;
    target.body = "followed";
    server.Set("/target", target);

    ui::THttpClient http;
    Progress p;
    p.Attach(http);
    struct Case {
        std::string path;
        int status;
    } cases[] = {{"/missing", 404}, {"/err", 500}, {"/moved", 302}};
    for (const Case &c : cases) {
        ui::TMemoryStream m;
        EXPECT_THROW(http.Get(server.Url(c.path), m), ui::Exception) << c.path;
        EXPECT_EQ(http.ResponseCode(), c.status) << c.path;
        EXPECT_EQ(m.Data(), "") << c.path << ": an error page is not the file";
    }
    EXPECT_TRUE(p.begins.empty());
    for (const std::string &r : server.Requests()) EXPECT_EQ(r.find("GET /target"), std::string::npos);

    try {
        ui::TMemoryStream m;
        http.Get(server.Url("/missing"), m);
    } catch (const ui::Exception &e) {
        EXPECT_NE(std::string(e.what()).find("404"), std::string::npos) << e.what();
    }
}

TEST(NetHttp, UnreachableOrMalformedAddressesFail)
{
    int port;
    {
        LoopbackHttpServer gone;   // a port that was just free and now has no listener
        port = gone.Port();
    }
    ui::THttpClient http;
    http.ReadTimeout = 3000;
    ui::TMemoryStream m;
    EXPECT_THROW(http.Get("http://127.0.0.1:" + std::to_string(port) + "/x", m), ui::Exception);
    EXPECT_THROW(http.Get("not an address", m), ui::Exception);
    EXPECT_THROW(http.Get("ftp://127.0.0.1/x", m), ui::Exception);
}

TEST(NetHttp, DisconnectFromProgressEventFailsTheTransfer)
{
    LoopbackHttpServer server;
    HttpReply reply;
    reply.body = Pattern(40000);
    reply.chunk = 4000;
    reply.chunkDelayMs = 30;
    server.Set("/slow", reply);
    ui::THttpClient http;
    Progress p;
    p.Attach(http);
    http.OnWork = [&](long long n) {
        p.works.push_back(n);
        if (p.works.size() == 2) http.Disconnect();
    };
    ui::TMemoryStream m;
    EXPECT_THROW(http.Get(server.Url("/slow"), m), ui::Exception);
    EXPECT_EQ(p.works.size(), 2u);
    EXPECT_LT(m.Size(), 40000);
    EXPECT_EQ(p.ends, 1);   // the end event comes after a failure too

    // The client can be used again after a disconnect.
    HttpReply small;
    small.body = "again";
    server.Set("/small", small);
    http.OnWork = nullptr;
    ui::TMemoryStream m2;
    http.Get(server.Url("/small"), m2);
    EXPECT_EQ(m2.Data(), "again");
}

TEST(NetHttp, ErrorFromEndEventReplacesTheFailure)
{
    LoopbackHttpServer server;
    ui::THttpClient http;
    HttpReply reply;
    reply.body = Pattern(20000);
    reply.chunk = 5000;
    reply.chunkDelayMs = 10;
    server.Set("/f", reply);
    http.OnWork = [&](long long) { http.Disconnect(); };
    http.OnWorkEnd = [] { ui::Abort(); };
    ui::TMemoryStream m;
    EXPECT_THROW(http.Get(server.Url("/f"), m), ui::EAbort);
}

TEST(NetHttp, StalledServerTimesOut)
{
    LoopbackHttpServer server;
    HttpReply silent;
    silent.stallBeforeReply = true;
    server.Set("/silent", silent);
    HttpReply half;
    half.body = Pattern(30000);
    half.stallAfter = 10000;
    server.Set("/half", half);

    ui::THttpClient http;
    http.ReadTimeout = 1500;
    Progress p;
    p.Attach(http);
    for (const char *path : {"/silent", "/half"}) {
        ui::TMemoryStream m;
        DWORD start = GetTickCount();
        EXPECT_THROW(http.Get(server.Url(path), m), ui::Exception) << path;
        DWORD took = GetTickCount() - start;
        EXPECT_GE(took, 1000u) << path;
        EXPECT_LT(took, 20000u) << path;
    }
    ASSERT_EQ(p.begins.size(), 1u);   // only the half answer got as far as the body
    EXPECT_EQ(p.begins[0], 30000);
    ASSERT_FALSE(p.works.empty());
    EXPECT_EQ(p.works.back(), 10000);
    EXPECT_EQ(p.ends, 1);
}

TEST(NetHttp, ConnectionDroppedBeforeTheAnnouncedLengthFails)
{
    LoopbackHttpServer server;
    // Announce more than is sent: the body ends at the closed connection.
    HttpReply reply;
    reply.body = Pattern(10000);
    reply.contentLength = false;
    reply.extraHeaders = "Content-Length: 20000\r\n";
    server.Set("/short", reply);
    ui::THttpClient http;
    http.ReadTimeout = 5000;
    ui::TMemoryStream m;
    EXPECT_THROW(http.Get(server.Url("/short"), m), ui::Exception);
}
