// HTTP client over WinINet: GET of a URL into a stream, with progress events.
// No proxy, no authentication, redirects are not followed, and any status other than 2xx is a
// failure; failures raise ui::Exception (callers turn them into the silent abort).
#pragma once
#include <windows.h>
#include <functional>
#include <string>

namespace ui {

class TStream;

class THttpClient {
public:
    // Request headers sent with every GET.
    std::string Accept = "text/html, */*";
    std::string UserAgent = "Mozilla/3.0 (compatible; Indy Library)";
    std::string ContentType = "text/html";
    // Milliseconds that a connect or a single wait for data may take before the transfer fails,
    // so a server that accepts and then says nothing cannot block the caller forever.
    DWORD ReadTimeout = 30000;

    // Progress of the body: once with the size the server announced (0 when it gave none), after
    // each block with the bytes received so far, and once at the end, also after a failure.
    std::function<void(long long expected)> OnWorkBegin;
    std::function<void(long long soFar)> OnWork;
    std::function<void()> OnWorkEnd;

    // Writes the whole body into dest (from its current position). Always asks for the whole
    // resource, never a byte range. An error raised by OnWorkEnd replaces the transfer's own.
    // A body shorter than its Content-Length fails. Without one the body ends where the server
    // ends the connection, so a cut that the connection does not report as an error (an orderly
    // close, and under wine a reset) passes for the end.
    void Get(const std::string &url, TStream &dest);
    // From inside a progress event: the transfer stops after the event and fails.
    void Disconnect() { disconnected_ = true; }

    int ResponseCode() const { return responseCode_; }
    const std::string &ResponseText() const { return responseText_; }   // "HTTP/1.1 404 Not Found"

private:
    bool disconnected_ = false;
    int responseCode_ = 0;
    std::string responseText_;
};

}  // namespace ui
