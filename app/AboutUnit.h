// The About dialog: logo, version, what the program does, the home-page link and an OK button.
#pragma once
#include "ui/Form.h"

namespace ui {
class TPanel;
class TImage;
class TLabel;
class TBevel;
class TButton;
}

class TAboutForm : public ui::TForm {
public:
    TAboutForm();
    ~TAboutForm() override;

    ui::TPanel *Panel1 = nullptr;
    ui::TImage *Image1 = nullptr;
    ui::TImage *Image2 = nullptr;
    ui::TLabel *abVersion = nullptr;
    ui::TLabel *Label1 = nullptr;
    ui::TLabel *Label2 = nullptr;
    ui::TLabel *abHomeBtn = nullptr;
    ui::TLabel *Label3 = nullptr;
    ui::TBevel *Bevel1 = nullptr;
    ui::TPanel *Panel2 = nullptr;
    ui::TButton *BitBtn1 = nullptr;

    void FormCreate();
    void abHomeBtnClick();
    void abHomeBtnMouseEnter();
    void abHomeBtnMouseLeave();
};

// The dialog while it is shown (the data module makes and frees it).
extern TAboutForm *AboutForm;
