#include "ui/HttpClient.h"
#include "ui/Exceptions.h"
#include "ui/FileStream.h"
#include <wininet.h>
#include <cstdlib>

namespace ui {

namespace {

class Handle {
public:
    explicit Handle(HINTERNET h = NULL) : h_(h) {}
    ~Handle() { if (h_) InternetCloseHandle(h_); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    operator HINTERNET() const { return h_; }
private:
    HINTERNET h_;
};

std::string NetError(const std::string &what)
{
    DWORD err = GetLastError();
    std::string text;
    char buf[512];
    HMODULE wininet = GetModuleHandleA("wininet.dll");
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_IGNORE_INSERTS, wininet, err, 0, buf,
                             sizeof(buf), NULL);
    while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == '.')) --n;
    if (n > 0)
        text.assign(buf, n);
    else if (err == ERROR_INTERNET_TIMEOUT)
        text = "The operation timed out";
    else
        text = SysErrorMessage(err);
    return what + ": " + text + " (" + std::to_string(err) + ")";
}

void SetTimeouts(HINTERNET h, DWORD ms)
{
    InternetSetOptionA(h, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionA(h, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionA(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof(ms));
    InternetSetOptionA(h, INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, &ms, sizeof(ms));
}

std::string QueryString(HINTERNET request, DWORD info)
{
    char buf[1024];
    DWORD size = sizeof(buf);
    if (!HttpQueryInfoA(request, info, buf, &size, NULL)) return std::string();
    return std::string(buf, size);
}

}  // namespace

void THttpClient::Get(const std::string &url, TStream &dest)
{
    disconnected_ = false;
    responseCode_ = 0;
    responseText_.clear();

    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = "", path[INTERNET_MAX_URL_LENGTH + 1] = "",
         extra[INTERNET_MAX_URL_LENGTH + 1] = "";
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof(host);
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof(path);
    parts.lpszExtraInfo = extra;
    parts.dwExtraInfoLength = sizeof(extra);
    if (url.size() > INTERNET_MAX_URL_LENGTH ||
        !InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts) ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) || host[0] == '\0')
        throw Exception("Invalid address \"" + url + "\"");
    std::string object = std::string(path[0] ? path : "/") + extra;

    Handle session(InternetOpenA(UserAgent.c_str(), INTERNET_OPEN_TYPE_DIRECT, NULL, NULL, 0));
    if (!session) throw Exception(NetError("Cannot open the Internet session"));
    SetTimeouts(session, ReadTimeout);
    Handle connection(InternetConnectA(session, host, parts.nPort, NULL, NULL, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) throw Exception(NetError("Cannot connect to " + std::string(host)));
    SetTimeouts(connection, ReadTimeout);

    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_AUTH;
    if (parts.nScheme == INTERNET_SCHEME_HTTPS) flags |= INTERNET_FLAG_SECURE;
    Handle request(HttpOpenRequestA(connection, "GET", object.c_str(), "HTTP/1.1", NULL, NULL, flags, 0));
    if (!request) throw Exception(NetError("Cannot open the request for " + url));
    SetTimeouts(request, ReadTimeout);

    std::string headers = "Accept: " + Accept + "\r\nContent-Type: " + ContentType + "\r\n";
    if (!HttpSendRequestA(request, headers.c_str(), static_cast<DWORD>(headers.size()), NULL, 0))
        throw Exception(NetError("Request for " + url + " failed"));

    DWORD status = 0, size = sizeof(status);
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, NULL))
        throw Exception(NetError("No answer from " + url));
    responseCode_ = static_cast<int>(status);
    responseText_ = QueryString(request, HTTP_QUERY_VERSION) + " " + std::to_string(status) + " " +
                    QueryString(request, HTTP_QUERY_STATUS_TEXT);
    // Redirects are not followed: a 3xx fails like any other status outside 2xx.
    if (status < 200 || status > 299) throw Exception(responseText_);

    long long expected = 0;
    std::string length = QueryString(request, HTTP_QUERY_CONTENT_LENGTH);
    if (!length.empty()) expected = std::strtoll(length.c_str(), nullptr, 10);
    if (expected < 0) expected = 0;

    bool begun = false;
    try {
        if (OnWorkBegin) OnWorkBegin(expected);
        begun = true;
        char buf[16384];
        long long total = 0;
        for (;;) {
            // Waits for at least one byte, so each block of a slow server gets its progress event.
            DWORD available = 0;
            if (!InternetQueryDataAvailable(request, &available, 0, 0))
                throw Exception(NetError("Download of " + url + " failed"));
            if (available == 0) break;
            DWORD want = available < sizeof(buf) ? available : static_cast<DWORD>(sizeof(buf)), got = 0;
            if (!InternetReadFile(request, buf, want, &got))
                throw Exception(NetError("Download of " + url + " failed"));
            if (got == 0) break;
            dest.WriteBuffer(buf, got);
            total += got;
            if (OnWork) OnWork(total);
            if (disconnected_) throw Exception("Connection closed by the program");
        }
        // A connection that drops early must not pass for a complete file.
        if (expected > 0 && total < expected)
            throw Exception("Download of " + url + " ended after " + std::to_string(total) + " of " +
                            std::to_string(expected) + " bytes");
    } catch (...) {
        if (begun && OnWorkEnd) OnWorkEnd();
        throw;
    }
    if (OnWorkEnd) OnWorkEnd();
}

}  // namespace ui
