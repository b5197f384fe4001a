// TForm: a top-level window made of controls, with a border style, a place on
// the screen, a client size, creation and close events, and Close().
#pragma once

#include "FrmWinControl.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TPosition { poDesigned, poDefault, poScreenCenter, poDesktopCenter, poMainFormCenter };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TCloseEvent = std::function<void(TPersistent* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(TPersistent* sender, bool& canClose)>;

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;
    String ClassName() const override { return u"TCustomForm"; }

    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle style);
    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition position) { FPosition = position; }
    // Sets the window's size so that its client area has this size.
    void SetClientWidth(int width);
    void SetClientHeight(int height);
    void SetClientSize(int width, int height);
    int GetPixelsPerInch() const { return kScreenPixelsPerInch; }

    // Shows the window (placing it first where Position says).
    void ShowForm();
    // Asks OnCloseQuery, then OnClose; hides the window, or ends the program
    // when this is the application's main window.
    void Close();
    // Runs OnCreate. The application calls it once the form is built; an
    // exception goes to the application's handler and creation completes.
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    void WndProc(TMessage& message) override;
    bool Showing() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWnd() override;
    void Resize() override {}

private:
    void PlaceOnScreen();
    void ApplyClientSize();
    TFormBorderStyle FBorderStyle = bsSizeable;
    TPosition FPosition = poDesigned;
    int FClientWidth = -1, FClientHeight = -1;
    bool FPlaced = false;
};

class TForm : public TCustomForm {
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
    String ClassName() const override { return u"TForm"; }
};
