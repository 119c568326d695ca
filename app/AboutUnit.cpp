#include "app/AboutUnit.h"
#include <windows.h>
#include "app/SettingsUnit.h"
#include "app/frmMainUnit.h"
#include "ui/Bevel.h"
#include "ui/Button.h"
#include "ui/Image.h"
#include "ui/Label.h"
#include "ui/Panel.h"

TAboutForm *AboutForm = nullptr;

namespace {

constexpr COLORREF White = RGB(255, 255, 255);
// The class library's colour order is blue-green-red: 0xFF0000 is blue.
constexpr COLORREF LinkHoverColor = 0xFF0000;
constexpr COLORREF LinkColor = 0x000000;

// The 13-pixel (10-point) font of the three text lines.
ui::TFont LargeFont()
{
    ui::TFont f;
    f.Name = "Tahoma";
    f.SetSize(10);
    return f;
}

}  // namespace

TAboutForm::TAboutForm()
{
    CreateForm("TAboutForm", "About", 377, 218, ui::bsDialog, true);
    SetColor(White);

    Panel1 = new ui::TPanel;
    Panel1->Create(this, 0, 0, 377, 50);
    Panel1->SetColor(White);
    Image2 = new ui::TImage;   // made first: the logo and the version sit above it
    Image2->Create(Panel1, 275, 0, 102, 50);
    Image2->SetStretch(true);
    LoadDecoration(Image2, "TITLEJPG");
    Image1 = new ui::TImage;
    Image1->Create(Panel1, 0, 0, 275, 50);
    LoadDecoration(Image1, "LOGOJPG");
    if (!Image1->Picture().Empty())
        Image1->SetBounds(0, 0, Image1->Picture().Width(), Image1->Picture().Height());
    abVersion = new ui::TLabel;
    abVersion->Create(Panel1, 290, 33, "v");
    abVersion->SetTransparent(true);
    abVersion->SetFontColor(RGB(0xdb, 0xe8, 0xf5));   // light, on the dark picture

    Label1 = new ui::TLabel;
    Label1->Create(this, 16, 64, "Function: Permanently delete history and protect privacy");
    Label1->SetFont(LargeFont());
    Label2 = new ui::TLabel;
    Label2->Create(this, 16, 88, "Support OS: Windows 95/95/Me/2000/NT/2003/XP");
    Label2->SetFont(LargeFont());
    abHomeBtn = new ui::TLabel;
    abHomeBtn->Create(this, 16, 120, DefaultHomePage);
    abHomeBtn->SetFont(LargeFont());
    abHomeBtn->SetFontColor(LinkColor);
    abHomeBtn->SetTransparent(true);
    abHomeBtn->SetHandCursor();
    abHomeBtn->OnClick = [this] { abHomeBtnClick(); };
    abHomeBtn->OnMouseEnter = [this] { abHomeBtnMouseEnter(); };
    abHomeBtn->OnMouseLeave = [this] { abHomeBtnMouseLeave(); };
    Label3 = new ui::TLabel;
    Label3->Create(this, 16, 148, "Quillmoor is free of charge for home use. All rights reserved.");

    Bevel1 = new ui::TBevel;
    Bevel1->Create(this, 0, 162, 377, 1, ui::bsTopLine);
    Panel2 = new ui::TPanel;
    Panel2->Create(this, 0, 163, 377, 55);
    Panel2->SetColor(White);
    BitBtn1 = new ui::TButton;
    BitBtn1->Create(Panel2, 296, 16, 75, 25, "OK");
    BitBtn1->ModalResult = ui::mrOk;
    BitBtn1->SetDefault(true);
    DefaultButton = BitBtn1;

    FormCreate();
}

TAboutForm::~TAboutForm()
{
    // Painted children first, while the windows they sit on still exist.
    delete Label3;
    delete abHomeBtn;
    delete Label2;
    delete Label1;
    delete Bevel1;
    delete abVersion;
    delete Image1;
    delete Image2;
    delete BitBtn1;
    delete Panel2;
    delete Panel1;
}

void TAboutForm::FormCreate()
{
    char version[32];
    wsprintfA(version, "v%s", "3.7");
    abVersion->SetCaption(version);
}

void TAboutForm::abHomeBtnClick()
{
    OpenUrlInBrowser(Settings.HomePage);
}

void TAboutForm::abHomeBtnMouseEnter()
{
    abHomeBtn->SetFontColor(LinkHoverColor);
    abHomeBtn->SetFontStyle(false, false, true);
}

void TAboutForm::abHomeBtnMouseLeave()
{
    abHomeBtn->SetFontColor(LinkColor);
    abHomeBtn->SetFontStyle(false, false, false);
}
