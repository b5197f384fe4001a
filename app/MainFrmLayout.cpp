// The main window's layout: every component with its bounds and settings,
// in creation (and stacking) order.
#include "unitMain.h"

#include "uZuSkinButton.h"
#include "uZuSkinForm.h"
#include "uZuSkinLabel.h"
#include "uZuSkinPanel.h"

namespace {

void SetFont(TFont& font, StringView face, int height, TFontCharset charset, TFontStyles style) {
    font.SetName(face);
    font.SetHeight(height);
    font.SetCharset(charset);
    font.SetColor(clWindowText);
    font.SetStyle(style);
}

void SetPictures(TPngPictures& p, bool active, StringView image, int count, int normal, int hot,
                 int pressed, int disable) {
    p.SetActive(active);
    p.SetImage(image);
    p.SetCount(count);
    p.SetNormal(normal);
    p.SetHot(hot);
    p.SetPressed(pressed);
    p.SetDisable(disable);
}

TZuSkinImageButton* MakeButton(TMainFrm* form, StringView name, int left, int tabOrder,
                               StringView caption, StringView image, int layerCount) {
    auto* b = new TZuSkinImageButton(form);
    b->SetName(name);
    b->SetParent(form);
    b->SetBounds(left, 242, 88, 84);
    b->SetTabOrder(tabOrder);
    b->SetTabStop(true);
    b->SetCaption(caption);
    b->SetCaptionVisible(false);
    SetPictures(b->Pictures(), true, image, 2, 0, 0, 1, 0);
    if (layerCount == 2)
        SetPictures(b->Layers(), false, u"", 2, 0, 0, 1, 0);
    else
        SetPictures(b->Layers(), false, u"", 3, 0, 1, 2, 0);
    b->SetAutoInvalidate(true);
    b->SetDown(false);
    b->SetDropdownMenuOffset(TZuOffset{-4, -4});
    SetFont(b->HotFont(), u"Tahoma", -11, DEFAULT_CHARSET, 0);
    return b;
}

TZuSkinPanel* MakePanel(TMainFrm* form, StringView name, int top, bool visible) {
    auto* p = new TZuSkinPanel(form);
    p->SetName(name);
    p->SetVisible(visible);
    p->SetParent(form);
    p->SetBounds(43, top, 479, 97);
    p->SetAlpha(0);
    p->SetBorderSides(0);
    return p;
}

// Labels of the window framework: caption, bounds and font as designed.
TLabel* MakeLabel(TMainFrm* form, TZuSkinPanel* parent, StringView name, int left, int top,
                  int width, int height, StringView caption) {
    auto* l = new TLabel(form);
    l->SetName(name);
    l->SetParent(parent);
    l->SetAutoSize(false); // keep the designed bounds while being set up
    l->SetBounds(left, top, width, height);
    l->SetCaption(caption);
    return l;
}

// "黑体", 29 pixels, bold: the captions.
void CaptionFont(TLabel* l) {
    SetFont(l->Font(), u"黑体", -29, GB2312_CHARSET, fsBold);
    l->SetParentFont(false);
    l->SetAutoSize(true);
}

// "黑体", 32 pixels: the numbers (their face becomes the LCD face at creation).
void NumberFont(TLabel* l, TFontCharset charset, bool rightJustified) {
    SetFont(l->Font(), u"黑体", -32, charset, 0);
    l->SetParentFont(false);
    if (rightJustified) {
        l->SetAlignment(taRightJustify);
        l->SetAutoSize(false);
    } else {
        l->SetAutoSize(true);
    }
}

} // namespace

void TMainFrm::CreateLayout() {
    SetName(u"MainFrm");
    SetCaption(u"MainFrm");
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetColor(clBtnFace);
    SetFont(Font(), u"宋体", -12, GB2312_CHARSET, 0);
    SetClientSize(645, 349);

    ZuSkinImageButton1 =
        MakeButton(this, u"ZuSkinImageButton1", 34, 0, u"ZuSkinImageButton1", u"Close", 2);
    ZuSkinImageButton1->OnClick = [this](TPersistent* s) { ZuSkinImageButton1Click(s); };
    btnReset = MakeButton(this, u"btnReset", 156, 1, u"btnReset", u"Reset", 3);
    btnReset->OnClick = [this](TPersistent* s) { btnResetClick(s); };
    btnPrev = MakeButton(this, u"btnPrev", 278, 2, u"btnReset", u"prev", 3);
    btnPrev->OnClick = [this](TPersistent* s) { btnPrevClick(s); };
    btnNext = MakeButton(this, u"btnNext", 400, 3, u"btnReset", u"next", 3);
    btnAbout = MakeButton(this, u"btnAbout", 522, 4, u"btnReset", u"about", 3);

    ZuSkinPanel1 = MakePanel(this, u"ZuSkinPanel1", 32, true);
    Label1 =
        MakeLabel(this, ZuSkinPanel1, u"Label1", 10, 13, 404, 29, u"乌鲁木齐 多云转小雨 空气优");
    CaptionFont(Label1);
    lblLow = MakeLabel(this, ZuSkinPanel1, u"lblLow", 82, 48, 48, 33, u"-12");
    NumberFont(lblLow, GB2312_CHARSET, false);
    Label2 = MakeLabel(this, ZuSkinPanel1, u"Label2", 10, 48, 348, 29, u"最低     最高     PM25");
    CaptionFont(Label2);
    lblHigh = MakeLabel(this, ZuSkinPanel1, u"lblHigh", 226, 48, 48, 33, u"-12");
    NumberFont(lblHigh, GB2312_CHARSET, false);
    lblPM25 = MakeLabel(this, ZuSkinPanel1, u"lblPM25", 364, 48, 48, 33, u"-12");
    NumberFont(lblPM25, ANSI_CHARSET, false);

    ZuSkinLabel3 = new TZuSkinLabel(this);
    ZuSkinLabel3->SetName(u"ZuSkinLabel3");
    ZuSkinLabel3->SetParent(this);
    ZuSkinLabel3->SetBounds(106, 163, 0, 0);
    ZuSkinLabel3->SetAlpha(0);
    ZuSkinLabel3->SetAlignmentHorizontal(taRightJustify);
    ZuSkinLabel3->Light().Active = false;
    SetFont(ZuSkinLabel3->Font(), u"黑体", -29, GB2312_CHARSET, fsBold);
    ZuSkinLabel3->SetParentFont(false);
    ZuSkinLabel3->SetAutoInvalidate(true);

    ZuSkinPanel2 = MakePanel(this, u"ZuSkinPanel2", 119, false);
    Label4 = MakeLabel(this, ZuSkinPanel2, u"Label4", 10, 48, 268, 29, u"治愈         死亡");
    CaptionFont(Label4);
    lblCured = MakeLabel(this, ZuSkinPanel2, u"lblCured", 82, 48, 103, 33, u"1234");
    NumberFont(lblCured, GB2312_CHARSET, true);
    Label3 = MakeLabel(this, ZuSkinPanel2, u"Label3", 10, 13, 268, 29, u"确诊         疑似");
    CaptionFont(Label3);
    lblConfirmed = MakeLabel(this, ZuSkinPanel2, u"lblConfirmed", 82, 13, 103, 33, u"12345");
    NumberFont(lblConfirmed, GB2312_CHARSET, true);
    lblSuspected = MakeLabel(this, ZuSkinPanel2, u"lblSuspected", 284, 13, 109, 33, u"45678");
    NumberFont(lblSuspected, GB2312_CHARSET, true);
    lblDead = MakeLabel(this, ZuSkinPanel2, u"lblDead", 289, 48, 104, 33, u"678");
    NumberFont(lblDead, GB2312_CHARSET, true);

    ZuSkinForm1 = new TZuSkinForm(this);
    ZuSkinForm1->SetName(u"ZuSkinForm1");
    ZuSkinForm1->Style = ssPicture;
    ZuSkinForm1->CustomPicture = u"背景";
    ZuSkinForm1->FillStyle = mfsTile;
    TZuSkinMainMenuSettings& menu = ZuSkinForm1->MainMenu();
    SetFont(menu.Font, u"Tahoma", -11, DEFAULT_CHARSET, 0);
    menu.Pos = TZuMenuPos{caLeft, 5, 5, false};
    SetPictures(menu.Pictures, true, u"ZuSkinFlatBtn", 3, 0, 1, 2, 0);
    menu.HotColor = 11463932;
    menu.PressColor = 8184058;
}
