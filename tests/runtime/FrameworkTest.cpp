// The window framework on the headless window system: the application's
// exception handling and message loop, timers, form closing, and how a
// window control paints and routes the pointer to its graphic children.
#include "FrmApplication.h"
#include "FrmLabel.h"
#include "FrmTimer.h"
#include "RtlConvert.h"
#include "RtlException.h"
#include "WinCapture.h"
#include "WinHeadless.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <vector>

namespace {

// The screen colour a TColor shows as in a captured picture.
std::uint32_t Shown(TColor color) {
    const auto c = static_cast<std::uint32_t>(color);
    return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// A graphic control that fills itself with one colour and records the
// pointer events it receives, in its own coordinates.
class TBlock : public TGraphicControl {
public:
    TBlock(TComponent* owner, TColor color) : TGraphicControl(owner), FFill(color) {}
    int Paints = 0;
    std::vector<String> Events;

protected:
    void Paint() override {
        ++Paints;
        Canvas().Brush().SetColor(FFill);
        Canvas().FillRect(ClientRect());
    }
    void MouseDown(TMouseButton, TShiftState, int x, int y) override {
        Events.push_back(u"down " + IntToStr(x) + u"," + IntToStr(y));
    }
    void MouseUp(TMouseButton, TShiftState, int x, int y) override {
        Events.push_back(u"up " + IntToStr(x) + u"," + IntToStr(y));
    }
    void MouseEnter() override { Events.push_back(u"enter"); }
    void MouseLeave() override { Events.push_back(u"leave"); }
    void Click() override { Events.push_back(u"click"); }

private:
    TColor FFill;
};

class Framework : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        CreateApplication();
        Application()->MessageBoxHook = [this](StringView text, StringView caption, UINT) {
            Boxes.push_back(String(text));
            Captions.push_back(String(caption));
            return IDOK;
        };
    }
    void TearDown() override { DestroyApplication(); }

    // A borderless form at the screen's origin, so screen and client
    // coordinates agree.
    TForm* MakeForm(int width = 200, int height = 100) {
        auto* form = new TForm(Application());
        form->SetBorderStyle(bsNone);
        form->SetColor(clWhite);
        form->SetBounds(0, 0, width, height);
        return form;
    }
    static TBlock* AddBlock(TForm* form, TColor color, int left, int top, int width, int height) {
        auto* block = new TBlock(form, color);
        block->SetBounds(left, top, width, height);
        block->SetParent(form);
        return block;
    }
    static void Pump() { platform::headless::PumpMessages(); }
    // Two blocks side by side on a shown form: a at (10,10), b at (100,10),
    // both 40 pixels square.
    void ShowTwoBlocks(TBlock*& a, TBlock*& b) {
        TForm* form = MakeForm();
        a = AddBlock(form, clRed, 10, 10, 40, 40);
        b = AddBlock(form, clBlue, 100, 10, 40, 40);
        form->ShowForm();
        Pump();
    }
    static void Move(int x, int y) {
        platform::headless::MouseMove(x, y);
        Pump();
    }
    static platform::win::WindowPicture Picture(TForm* form) {
        return platform::win::CaptureWindow(form->Handle());
    }

    std::vector<String> Boxes, Captions;
};

// --- the default exception handler ---------------------------------------------

TEST_F(Framework, ErrorBoxEndsWithAFullStopOnlyWhenTheLastCharacterSortsAfterIt) {
    EXPECT_EQ(u"Disk full.", TApplication::ExceptionBoxText(Exception(u"Disk full")));
    EXPECT_EQ(u"Done.", TApplication::ExceptionBoxText(Exception(u"Done.")));
    // "!" and "-" sort before ".", so nothing is added.
    EXPECT_EQ(u"Stop!", TApplication::ExceptionBoxText(Exception(u"Stop!")));
    EXPECT_EQ(u"a-", TApplication::ExceptionBoxText(Exception(u"a-")));
    EXPECT_EQ(u"Code 7.", TApplication::ExceptionBoxText(Exception(u"Code 7")));
    EXPECT_EQ(u"", TApplication::ExceptionBoxText(Exception(u"")));
    // A non-framework exception shows its UTF-8 text.
    EXPECT_EQ(u"bad ü.", TApplication::ExceptionBoxText(std::runtime_error("bad \xC3\xBC")));
}

TEST_F(Framework, HandlerShowsOneBoxTitledWithTheApplicationAndIgnoresAborts) {
    Application()->SetTitle(u"Panel");
    try {
        throw EConvertError(u"'x' is not a number");
    } catch (...) {
        Application()->HandleException();
    }
    try {
        throw EAbort(u"cancelled");
    } catch (...) {
        Application()->HandleException();
    }
    try {
        throw 42;
    } catch (...) {
        Application()->HandleException();
    }
    ASSERT_EQ(2u, Boxes.size());
    EXPECT_EQ(u"'x' is not a number.", Boxes[0]);
    EXPECT_EQ(u"Unknown exception.", Boxes[1]);
    EXPECT_EQ(u"Panel", Captions[0]);
}

TEST_F(Framework, HandlerIsSilentOnceTheProgramIsTerminating) {
    Application()->Terminate();
    try {
        throw Exception(u"late failure");
    } catch (...) {
        Application()->HandleException();
    }
    EXPECT_TRUE(Boxes.empty());
    Application()->Run(); // takes the pending quit request and returns
    EXPECT_TRUE(Application()->Terminated());
}

TEST_F(Framework, OnExceptionReplacesTheBox) {
    std::vector<String> seen;
    Application()->OnException = [&](TPersistent*, const std::exception& e) {
        seen.push_back(Utf8ToString(e.what()));
    };
    try {
        throw std::runtime_error("boom");
    } catch (...) {
        Application()->HandleException();
    }
    EXPECT_EQ(std::vector<String>{u"boom"}, seen);
    EXPECT_TRUE(Boxes.empty());
}

// --- failures at dispatch boundaries never unwind through the loop ---------------

TEST_F(Framework, FailingOnCreateIsReportedAndTheFormStillBecomesTheMainForm) {
    struct TFailingForm : TForm {
        explicit TFailingForm(TComponent* owner) : TForm(owner) {
            OnCreate = [](TPersistent*) { throw EInvalidOperation(u"no data"); };
        }
    };
    TFailingForm* form = nullptr;
    EXPECT_NO_THROW(Application()->CreateForm(form));
    ASSERT_NE(nullptr, form);
    EXPECT_EQ(form, Application()->MainForm());
    EXPECT_EQ(std::vector<String>{u"no data."}, Boxes);
}

TEST_F(Framework, FailingClickHandlerIsReportedAndMessagesKeepFlowing) {
    struct TPlain : TGraphicControl {
        using TGraphicControl::TGraphicControl;
    };
    TForm* form = MakeForm();
    auto* plain = new TPlain(form);
    plain->SetBounds(100, 10, 50, 50);
    plain->SetParent(form);
    int clicks = 0;
    plain->OnClick = [&](TPersistent*) {
        ++clicks;
        throw Exception(u"click failed");
    };
    form->ShowForm();
    Pump();
    EXPECT_NO_THROW(platform::headless::Click(120, 30));
    EXPECT_NO_THROW(platform::headless::Click(120, 30));
    EXPECT_EQ(2, clicks);
    EXPECT_EQ((std::vector<String>{u"click failed.", u"click failed."}), Boxes);
}

TEST_F(Framework, FailingTimerTickIsReportedAndTheTimerKeepsTicking) {
    TTimer timer(nullptr);
    timer.SetInterval(100);
    int ticks = 0;
    timer.SetOnTimer([&](TPersistent*) {
        ++ticks;
        throw Exception(u"tick failed");
    });
    for (int i = 0; i < 3; ++i) {
        platform::headless::AdvanceClock(100);
        EXPECT_NO_THROW(Pump());
    }
    EXPECT_EQ(3, ticks);
    EXPECT_EQ(3u, Boxes.size());
}

// --- timers ----------------------------------------------------------------------

TEST_F(Framework, TimerTicksAtItsIntervalUntilDisabled) {
    TTimer timer(nullptr);
    timer.SetInterval(250);
    int ticks = 0;
    timer.SetOnTimer([&](TPersistent*) { ++ticks; });
    platform::headless::AdvanceClock(249);
    Pump();
    EXPECT_EQ(0, ticks);
    platform::headless::AdvanceClock(1);
    Pump();
    EXPECT_EQ(1, ticks);
    platform::headless::AdvanceClock(250);
    Pump();
    EXPECT_EQ(2, ticks);

    timer.SetEnabled(false);
    platform::headless::AdvanceClock(1000);
    Pump();
    EXPECT_EQ(2, ticks);
    timer.SetEnabled(true);
    platform::headless::AdvanceClock(250);
    Pump();
    EXPECT_EQ(3, ticks);
}

TEST_F(Framework, ChangingTheIntervalRestartsTheCount) {
    TTimer timer(nullptr);
    timer.SetInterval(100);
    int ticks = 0;
    timer.SetOnTimer([&](TPersistent*) { ++ticks; });
    platform::headless::AdvanceClock(90);
    timer.SetInterval(500);
    platform::headless::AdvanceClock(400);
    Pump();
    EXPECT_EQ(0, ticks);
    platform::headless::AdvanceClock(100);
    Pump();
    EXPECT_EQ(1, ticks);
}

TEST_F(Framework, NoTickReachesADestroyedTimer) {
    int ticks = 0;
    {
        auto timer = std::make_unique<TTimer>(nullptr);
        timer->SetInterval(50);
        timer->SetOnTimer([&](TPersistent*) { ++ticks; });
        platform::headless::AdvanceClock(60); // due, not yet dispatched
    }
    platform::headless::AdvanceClock(200);
    Pump();
    EXPECT_EQ(0, ticks);
}

TEST_F(Framework, TimerDestroyedFromItsOwnTickIsSafe) {
    int ticks = 0;
    TTimer* timer = new TTimer(nullptr);
    timer->SetInterval(50);
    timer->SetOnTimer([&](TPersistent*) {
        ++ticks;
        delete timer;
    });
    platform::headless::AdvanceClock(200);
    Pump();
    platform::headless::AdvanceClock(200);
    Pump();
    EXPECT_EQ(1, ticks);
}

// --- forms -----------------------------------------------------------------------

TEST_F(Framework, ClientSizeExcludesTheFrame) {
    auto* form = new TForm(Application());
    form->SetBorderStyle(bsSingle);
    form->SetClientSize(300, 120);
    form->ShowForm();
    RECT rc{};
    GetClientRect(form->Handle(), &rc);
    EXPECT_EQ(300, rc.right - rc.left);
    EXPECT_EQ(120, rc.bottom - rc.top);
    EXPECT_GT(form->GetWidth(), 300);
}

TEST_F(Framework, ClosingTheMainFormEndsTheProgramAndOtherFormsOnlyHide) {
    TForm* main = nullptr;
    Application()->CreateForm(main);
    TForm* other = MakeForm();
    main->ShowForm();
    other->ShowForm();
    Pump();

    PostMessageW(other->Handle(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(other->Handle()));
    EXPECT_FALSE(other->GetVisible());
    EXPECT_TRUE(IsWindow(other->Handle()));
    EXPECT_FALSE(Application()->Terminating());

    main->Close();
    EXPECT_TRUE(Application()->Terminating());
    EXPECT_FALSE(IsWindowVisible(main->Handle()));
    Application()->Run();
    EXPECT_TRUE(Application()->Terminated());
}

TEST_F(Framework, CloseQueryAndCaNoneKeepTheFormOpen) {
    TForm* form = nullptr;
    Application()->CreateForm(form);
    form->ShowForm();
    bool allow = false;
    TCloseAction answer = caNone;
    form->OnCloseQuery = [&](TPersistent*, bool& canClose) { canClose = allow; };
    form->OnClose = [&](TPersistent*, TCloseAction& action) { action = answer; };
    form->Close();
    allow = true;
    form->Close();
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
    EXPECT_FALSE(Application()->Terminating());
    answer = caHide;
    form->Close();
    EXPECT_TRUE(Application()->Terminating());
}

// --- painting graphic children ----------------------------------------------------

TEST_F(Framework, GraphicChildIsPaintedAtItsPlaceAndClippedToItsBounds) {
    TForm* form = MakeForm();
    AddBlock(form, clRed, 20, 10, 30, 40);
    form->ShowForm();
    Pump();
    const auto pic = Picture(form);
    ASSERT_EQ(200, pic.Width);
    EXPECT_EQ(Shown(clRed), pic.At(20, 10));
    EXPECT_EQ(Shown(clRed), pic.At(49, 49));
    EXPECT_EQ(Shown(clWhite), pic.At(19, 10));
    EXPECT_EQ(Shown(clWhite), pic.At(50, 30));
    EXPECT_EQ(Shown(clWhite), pic.At(30, 50));
}

TEST_F(Framework, HiddenOrMovedChildrenAreRepaintedCorrectly) {
    TForm* form = MakeForm();
    auto* block = AddBlock(form, clBlue, 0, 0, 20, 20);
    form->ShowForm();
    Pump();
    EXPECT_EQ(Shown(clBlue), Picture(form).At(5, 5));

    block->SetBounds(100, 50, 20, 20);
    Pump();
    auto pic = Picture(form);
    EXPECT_EQ(Shown(clWhite), pic.At(5, 5));
    EXPECT_EQ(Shown(clBlue), pic.At(105, 55));

    block->Hide();
    Pump();
    EXPECT_EQ(Shown(clWhite), Picture(form).At(105, 55));
    const int paints = block->Paints;
    form->Invalidate();
    Pump();
    EXPECT_EQ(paints, block->Paints);
}

TEST_F(Framework, LabelSizesToItsCaptionAndFont) {
    TForm* form = MakeForm(400, 100);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption(u"Hi");
    const int shortWidth = label->GetWidth();
    label->SetCaption(u"Hello, world");
    EXPECT_GT(label->GetWidth(), shortWidth);
    const int height = label->GetHeight();
    label->Font().SetSize(label->Font().GetSize() * 2);
    EXPECT_GT(label->GetHeight(), height);

    // Right-justified, the label grows to the left.
    label->SetAlignment(taRightJustify);
    const int right = label->GetLeft() + label->GetWidth();
    label->SetCaption(u"Hello, wide world");
    EXPECT_EQ(right, label->GetLeft() + label->GetWidth());

    label->SetAutoSize(false);
    label->SetBounds(0, 0, 10, 10);
    label->SetCaption(u"no longer sized by its text");
    EXPECT_EQ(10, label->GetWidth());
}

TEST_F(Framework, LabelFollowsItsParentsFontUntilGivenItsOwn) {
    TForm* form = MakeForm(400, 100);
    auto* label = new TLabel(form);
    label->SetParent(form);
    label->SetCaption(u"Text");
    form->Font().SetSize(20);
    EXPECT_EQ(20, label->Font().GetSize());
    label->Font().SetSize(9);
    EXPECT_FALSE(label->GetParentFont());
    form->Font().SetSize(30);
    EXPECT_EQ(9, label->Font().GetSize());
}

// --- the pointer -----------------------------------------------------------------

TEST_F(Framework, PressCapturesTheGraphicControlUntilRelease) {
    TBlock *a = nullptr, *b = nullptr;
    ShowTwoBlocks(a, b);

    Move(20, 20);
    platform::headless::MouseDown();
    Pump();
    Move(110, 20); // dragged over b
    platform::headless::MouseUp();
    Pump();
    // While captured, b sees nothing; the release reaches a in a's own
    // coordinates and, outside a, is no click.
    EXPECT_TRUE(b->Events.empty());
    EXPECT_EQ((std::vector<String>{u"enter", u"down 10,10", u"leave", u"up 100,10"}), a->Events);

    a->Events.clear();
    platform::headless::Click(30, 30);
    EXPECT_NE(std::find(a->Events.begin(), a->Events.end(), u"click"), a->Events.end());
}

TEST_F(Framework, EnterAndLeaveFollowThePointerAcrossGraphicControls) {
    TBlock *a = nullptr, *b = nullptr;
    ShowTwoBlocks(a, b);
    Move(20, 20);
    Move(25, 25);
    Move(110, 20);
    Move(80, 80); // the form itself
    EXPECT_EQ((std::vector<String>{u"enter", u"leave"}), a->Events);
    EXPECT_EQ((std::vector<String>{u"enter", u"leave"}), b->Events);
}

} // namespace
