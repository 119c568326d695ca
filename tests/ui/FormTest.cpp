#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include "ui/Application.h"
#include "ui/Button.h"
#include "ui/Exceptions.h"
#include "ui/Form.h"
#include "UiTestSupport.h"

using namespace ui;

namespace {

// Collects errors that escaped handlers instead of showing the error box.
struct ErrorCatcher {
    std::vector<std::string> errors;
    ErrorCatcher()
    {
        Application->OnException = [this](const std::exception &e) { errors.push_back(e.what()); };
    }
    ~ErrorCatcher() { Application->OnException = nullptr; }
};

TEST(Application, ProcessMessagesHandlesWhatIsPendingAndReturns)
{
    uitest::TestForm form(200, 100, false);
    int seen = 0;
    TButton b;
    b.Create(&form, 0, 0, 50, 20, "x");
    b.OnClick = [&] { ++seen; };
    for (int i = 0; i < 3; ++i) PostMessageA(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(b.Handle()));
    Application->ProcessMessages();
    EXPECT_EQ(seen, 3);
    Application->ProcessMessages();   // nothing pending: returns at once
    EXPECT_EQ(seen, 3);
    EXPECT_FALSE(Application->Terminated());
}

TEST(Application, ErrorsFromHandlersAreShownAndAbortIsSilent)
{
    ErrorCatcher catcher;
    uitest::TestForm form(200, 100);
    TButton b;
    b.Create(&form, 0, 0, 50, 20, "x");
    bool after = false;
    b.OnClick = [&] { throw std::runtime_error("Disk full"); };
    uitest::Click(b.Handle(), 5, 5);
    ASSERT_EQ(catcher.errors.size(), 1u);
    EXPECT_EQ(catcher.errors[0], "Disk full");
    b.OnClick = [&] { Abort(); };
    uitest::Click(b.Handle(), 5, 5);
    EXPECT_EQ(catcher.errors.size(), 1u);
    // The window keeps working after both.
    b.OnClick = [&] { after = true; };
    uitest::Click(b.Handle(), 5, 5);
    EXPECT_TRUE(after);
}

class Dialog : public TForm {
public:
    TButton ok, cancel;
    Dialog()
    {
        CreateForm("QmTestDialog", "Dialog", 200, 80, bsDialog, true);
        ok.Create(this, 10, 40, 80, 25, "OK");
        ok.ModalResult = mrOk;
        ok.SetDefault(true);
        cancel.Create(this, 100, 40, 80, 25, "Cancel");
        cancel.ModalResult = mrCancel;
        cancel.SetCancel(true);
    }
};

TEST(Form, ModalResultFromButtonsAndEscape)
{
    Dialog d;
    RECT cr;
    GetClientRect(d.Handle(), &cr);
    EXPECT_EQ(cr.right, 200);
    EXPECT_EQ(cr.bottom, 80);
    RECT wr;
    GetWindowRect(d.Handle(), &wr);
    EXPECT_NEAR((wr.left + wr.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);

    PostMessageA(d.ok.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(d.ok.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(d.ShowModal(), mrOk);
    EXPECT_FALSE(IsWindowVisible(d.Handle()));

    PostMessageA(d.ok.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(d.ShowModal(), mrCancel);

    // Refused close: the dialog stays until a close that is allowed.
    int asked = 0;
    d.OnClose = [&](TCloseAction &a) {
        if (++asked == 1) a = caNone;
    };
    PostMessageA(d.Handle(), WM_CLOSE, 0, 0);
    PostMessageA(d.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(d.ShowModal(), mrCancel);
    EXPECT_EQ(asked, 2);
}

TEST(Form, OtherWindowsAreDisabledWhileModal)
{
    uitest::TestForm main(200, 100);
    Dialog d;
    bool mainEnabledDuring = true;
    d.OnShow = [&] {
        mainEnabledDuring = IsWindowEnabled(main.Handle()) != 0;
        d.SetModalResult(mrOk);
    };
    EXPECT_EQ(d.ShowModal(), mrOk);
    EXPECT_FALSE(mainEnabledDuring);
    EXPECT_TRUE(IsWindowEnabled(main.Handle()));
}

class Private : public TForm {
public:
    std::vector<UINT> got;
    Private() { CreateForm("QmTestPrivate", "p", 100, 50, bsNone, true); }
protected:
    bool OnMessage(UINT msg, WPARAM, LPARAM, LRESULT &r) override
    {
        if (msg != 0x500 && msg != 0x2400) return false;
        got.push_back(msg);
        r = 0;
        return true;
    }
};

TEST(Form, PrivateMessagesReachTheForm)
{
    Private p;
    EXPECT_EQ(FindWindowA("QmTestPrivate", nullptr), p.Handle());
    PostMessageA(p.Handle(), 0x2400, 0, 0);
    PostMessageA(p.Handle(), 0x500, 0, WM_RBUTTONDOWN);
    qmtest::PumpMessages();
    ASSERT_EQ(p.got.size(), 2u);
    EXPECT_EQ(p.got[0], 0x2400u);
    EXPECT_EQ(p.got[1], 0x500u);
}

class Styled : public TForm {
public:
    Styled() { CreateForm("QmTestStyled", "s", 120, 60, bsNone, true); }
protected:
    void CreateParams(TCreateParams &p) override { p.Style |= 0x00800008; }
};

TEST(Form, CreateParamsAndRegion)
{
    Styled s;
    LONG_PTR style = GetWindowLongPtrA(s.Handle(), GWL_STYLE);
    EXPECT_EQ(style & 0x00800008, 0x00800008);
    RECT cr;
    GetClientRect(s.Handle(), &cr);
    EXPECT_EQ(cr.right, 120);
    s.SetRegion(CreateRoundRectRgn(0, 0, 121, 61, 10, 10));
    HRGN r = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(s.Handle(), r), ERROR);
    // Round corners: the corner pixel is cut away, the middle stays.
    EXPECT_FALSE(PtInRegion(r, 0, 0));
    EXPECT_TRUE(PtInRegion(r, 60, 30));
    DeleteObject(r);
}

TEST(Form, EmbeddedPageFillsItsPanel)
{
    uitest::TestForm host(300, 200);
    class Page : public TForm {
    public:
        explicit Page(TWinControl *p) { CreateForm("QmTestPage", "", 10, 10, bsNone, false, p); }
    } page(&host);
    page.Show();
    EXPECT_EQ(GetParent(page.Handle()), host.Handle());
    EXPECT_EQ(page.Width(), 300);
    EXPECT_EQ(page.Height(), 200);
    EXPECT_TRUE(GetWindowLongPtrA(page.Handle(), GWL_STYLE) & WS_CHILD);
}

}  // namespace

namespace {

TEST(Application, MinimizeHidesTheFormsAndRestoreBringsThemBack)
{
    uitest::TestForm form(200, 100);
    ASSERT_EQ(GetWindow(form.Handle(), GW_OWNER), Application->Handle());
    ShowWindow(Application->Handle(), SW_SHOWNORMAL);
    Application->Minimize();
    qmtest::PumpMessages();
    EXPECT_TRUE(IsIconic(Application->Handle()));
    EXPECT_FALSE(IsWindowVisible(form.Handle()));
    Application->Restore();
    qmtest::PumpMessages();
    EXPECT_FALSE(IsIconic(Application->Handle()));
    EXPECT_TRUE(IsWindowVisible(form.Handle()));
    ShowWindow(Application->Handle(), SW_HIDE);
}

}  // namespace
