#include "unitMain.h"

#include "FrmApplication.h"
#include "RtlFileStream.h"
#include "qjson.h"
#include "uZuSkinButton.h"
#include "uZuSkinPanel.h"

String AppPath;
TMainFrm* MainFrm = nullptr;

void UnitMainInitialization() {
    AppPath = ExtractFilePath(Application()->ExeName());
    const String fontFile = AppPath + kFontFileName;
    if (FileExists(fontFile)) {
        // The result is of no consequence: a face that cannot be found is
        // substituted by the platform.
        AddFontResourceW(fontFile.c_str());
    } else {
        Application()->MessageBox(u"找不到字体文件 HP-15C_Simulator_Font_2.TTF，无法正常显示字体",
                                  u"严重错误", MB_ICONERROR);
    }
}

void UnitMainFinalization() {
    RemoveFontResourceW((AppPath + kFontFileName).c_str());
    AppPath.clear();
}

TMainFrm::TMainFrm(TComponent* owner) : TForm(owner) {
    CreateLayout();
    OnCreate = [this](TPersistent* sender) { FormCreate(sender); };
}

TMainFrm::~TMainFrm() {
    // Free the components while the window is still whole.
    Destroying();
    DestroyComponents();
    if (MainFrm == this) MainFrm = nullptr;
}

void TMainFrm::FormCreate(TPersistent*) {
    for (TLabel* label :
         {lblLow, lblHigh, lblPM25, lblConfirmed, lblSuspected, lblCured, lblDead}) {
        label->Font().SetName(kLcdFontFace);
        label->Font().SetCharset(ANSI_CHARSET);
    }
    // From here on both panels share one rectangle; one of them shows.
    ZuSkinPanel2->SetLeft(ZuSkinPanel1->GetLeft());
    ZuSkinPanel2->SetTop(ZuSkinPanel1->GetTop());
    ShowView(0);
}

void TMainFrm::ZuSkinImageButton1Click(TPersistent*) {
    Close();
}

void TMainFrm::btnResetClick(TPersistent*) {
    ShowView(0);
}

void TMainFrm::btnPrevClick(TPersistent*) {
    ShowView(1);
}

void TMainFrm::ShowView(int view) {
    switch (view) {
    case 0:
        ShowWeather();
        break;
    case 1:
        ShowStatistics();
        break;
    default:
        break; // 2 and anything else: no view
    }
}
