// The program's own unit: the executable's folder, the LCD font's
// registration for the life of the program, and the main window with its two
// views (weather, statistics) and its buttons.
#pragma once

#include "FrmForm.h"
#include "FrmLabel.h"
#include "RtlString.h"

class TQJson;
class TZuSkinForm;
class TZuSkinImageButton;
class TZuSkinPanel;
class TZuSkinLabel;

// The executable's folder, ending with "/". Set by the unit's start-up,
// cleared by its shut-down.
extern String AppPath;

inline constexpr const char16_t* kFontFileName = u"HP-15C_Simulator_Font_2.TTF";
inline constexpr const char16_t* kLcdFontFace = u"HP15C Simulator Font";

// Start-up: computes AppPath and registers the font file beside the
// executable, or tells the user (modal box) that it is missing.
void UnitMainInitialization();
// Shut-down: unregisters the font file (whether or not it was registered)
// and clears AppPath.
void UnitMainFinalization();

class TMainFrm : public TForm {
public:
    explicit TMainFrm(TComponent* owner);
    ~TMainFrm() override;
    String ClassName() const override { return u"TMainFrm"; }

    // Components, all owned by the window, in creation order.
    TZuSkinForm* ZuSkinForm1 = nullptr;
    TZuSkinImageButton* ZuSkinImageButton1 = nullptr;
    TZuSkinImageButton* btnReset = nullptr;
    TZuSkinImageButton* btnPrev = nullptr;
    TZuSkinImageButton* btnNext = nullptr;
    TZuSkinImageButton* btnAbout = nullptr;
    TZuSkinPanel* ZuSkinPanel1 = nullptr;
    TZuSkinLabel* ZuSkinLabel3 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* lblLow = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* lblHigh = nullptr;
    TLabel* lblPM25 = nullptr;
    TZuSkinPanel* ZuSkinPanel2 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* lblCured = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* lblConfirmed = nullptr;
    TLabel* lblSuspected = nullptr;
    TLabel* lblDead = nullptr;

    // Published handlers.
    void FormCreate(TPersistent* sender);
    void ZuSkinImageButton1Click(TPersistent* sender);
    void btnResetClick(TPersistent* sender);
    void btnPrevClick(TPersistent* sender);

    // The dashboard: fills a view from its cache file or from its service.
    void ShowView(int view);
    void ShowWeather();
    void ShowStatistics();
    // The statistics document; the caller owns it.
    std::unique_ptr<TQJson> LoadStatistics();

private:
    void CreateLayout();
};

extern TMainFrm* MainFrm;
