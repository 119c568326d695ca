#include "MainFormDriver.h"
#include <cstring>

namespace qmdrive {

std::string QuillmoorExe()
{
    return std::string(QM_BINARY_DIR) + "\\app\\Quillmoor.exe";
}

TProgram::~TProgram()
{
    if (pi_.hProcess != nullptr) {
        if (Running()) {
            TerminateProcess(pi_.hProcess, 9);
            WaitForSingleObject(pi_.hProcess, 10000);
        }
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
}

bool TProgram::Start(const std::string &args, const std::string &exe)
{
    std::string cmd = "\"" + exe + "\"";
    if (!args.empty())
        cmd += " " + args;
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    std::string dir = exe.substr(0, exe.rfind('\\'));
    if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi_))
        return false;
    WaitForInputIdle(pi_.hProcess, 10000);
    return true;
}

bool TProgram::Running() const
{
    return pi_.hProcess != nullptr && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND TProgram::WaitForWindow(DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : MainWindows()) {
                DWORD pid = 0;
                GetWindowThreadProcessId(w, &pid);
                if (pid == pi_.dwProcessId && IsWindowVisible(w)) {
                    found = w;
                    return true;
                }
            }
            return !Running();
        },
        timeoutMs);
    return found;
}

bool TProgram::WaitForExit(DWORD timeoutMs)
{
    return WaitUntil([&] { return !Running(); }, timeoutMs);
}

DWORD TProgram::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(pi_.hProcess, &code);
    return code;
}

std::vector<HWND> MainWindows()
{
    std::vector<HWND> result;
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, "TfrmMainForm", nullptr)) != nullptr)
        result.push_back(w);
    return result;
}

void ClickAt(HWND mainWindow, int x, int y, bool right)
{
    POINT pt{x, y};
    ClientToScreen(mainWindow, &pt);
    HWND target = WindowFromPoint(pt);
    if (target == nullptr)
        return;
    POINT local = pt;
    ScreenToClient(target, &local);
    const LPARAM at = MAKELPARAM(local.x, local.y);
    PostMessageA(target, WM_MOUSEMOVE, 0, at);
    if (right) {
        PostMessageA(target, WM_RBUTTONDOWN, MK_RBUTTON, at);
        PostMessageA(target, WM_RBUTTONUP, 0, at);
    } else {
        PostMessageA(target, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(target, WM_LBUTTONUP, 0, at);
    }
}

namespace {

struct TTreeSearch {
    int nodes;
    HWND found;
};

BOOL CALLBACK FindTreeProc(HWND wnd, LPARAM lParam)
{
    auto *s = reinterpret_cast<TTreeSearch *>(lParam);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof(cls));
    if (lstrcmpiA(cls, WC_TREEVIEWA) == 0 &&
        static_cast<int>(SendMessageA(wnd, TVM_GETCOUNT, 0, 0)) == s->nodes) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

void Collect(HWND tree, HTREEITEM item, std::vector<HTREEITEM> &out)
{
    for (; item != nullptr; item = TreeView_GetNextSibling(tree, item)) {
        out.push_back(item);
        Collect(tree, TreeView_GetChild(tree, item), out);
    }
}

}  // namespace

HWND FindTree(HWND mainWindow, int nodes)
{
    TTreeSearch s{nodes, nullptr};
    EnumChildWindows(mainWindow, FindTreeProc, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::vector<HTREEITEM> TreeItems(HWND tree)
{
    std::vector<HTREEITEM> out;
    Collect(tree, TreeView_GetRoot(tree), out);
    return out;
}

int TreeStateImage(HWND tree, HTREEITEM item)
{
    UINT state = static_cast<UINT>(SendMessageA(tree, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item),
                                                TVIS_STATEIMAGEMASK));
    return static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12);
}

RECT TreeItemRect(HANDLE process, HWND tree, HTREEITEM item, bool textOnly)
{
    RECT r{};
    void *remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (remote == nullptr)
        return r;
    // TVM_GETITEMRECT takes the item's handle in the rectangle's first bytes.
    std::memcpy(&r, &item, sizeof(item));
    SIZE_T n = 0;
    WriteProcessMemory(process, remote, &r, sizeof(r), &n);
    if (SendMessageA(tree, TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(remote)))
        ReadProcessMemory(process, remote, &r, sizeof(r), &n);
    else
        r = RECT{};
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    return r;
}

void ClickStateImage(HANDLE process, HWND tree, HTREEITEM item)
{
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
    RECT text = TreeItemRect(process, tree, item, true);
    const int x = text.left - 16 - 16 + 6;   // the state picture is left of the icon
    const int y = (text.top + text.bottom) / 2;
    PostMessageA(tree, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PostMessageA(tree, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

TScreenShot::TScreenShot(HWND window)
{
    RECT rc;
    GetClientRect(window, &rc);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    w_ = rc.right;
    h_ = rc.bottom;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w_;
    bi.bmiHeader.biHeight = -h_;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void *bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BitBlt(mem, 0, 0, w_, h_, screen, origin.x, origin.y, SRCCOPY);
    GdiFlush();
    px_.assign(static_cast<const DWORD *>(bits), static_cast<const DWORD *>(bits) + w_ * h_);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
}

TScreenShot::~TScreenShot() = default;

COLORREF TScreenShot::Pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return CLR_INVALID;
    DWORD v = px_[static_cast<size_t>(y) * w_ + x];
    return RGB((v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff);
}

bool TScreenShot::SaveBmp(const std::string &path) const
{
    BITMAPFILEHEADER fh{};
    BITMAPINFOHEADER ih{};
    ih.biSize = sizeof(ih);
    ih.biWidth = w_;
    ih.biHeight = -h_;
    ih.biPlanes = 1;
    ih.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(px_.size() * 4);
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(ih);
    fh.bfSize = fh.bfOffBits + bytes;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD n = 0;
    WriteFile(f, &fh, sizeof(fh), &n, nullptr);
    WriteFile(f, &ih, sizeof(ih), &n, nullptr);
    WriteFile(f, px_.data(), bytes, &n, nullptr);
    CloseHandle(f);
    return true;
}

}  // namespace qmdrive
