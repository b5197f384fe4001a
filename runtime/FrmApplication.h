// TApplication: the program's message loop, its main window, its title and
// the default exception handler that reports a failure in a modal error box
// and lets the program go on.
#pragma once

#include "FrmForm.h"
#include "RtlComponent.h"

#include <exception>
#include <functional>

using TExceptionEvent = std::function<void(TPersistent* sender, const std::exception& e)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* owner = nullptr);
    ~TApplication() override;
    String ClassName() const override { return u"TApplication"; }

    void Initialize() {}
    bool GetMainFormOnTaskBar() const { return FMainFormOnTaskBar; }
    void SetMainFormOnTaskBar(bool value) { FMainFormOnTaskBar = value; }

    // Creates a form owned by the application and stores it in `reference`
    // before its OnCreate runs. The first form created is the main form.
    template <class TFormClass> void CreateForm(TFormClass*& reference) {
        auto* form = new TFormClass(this);
        reference = form;
        if (!FMainForm) FMainForm = form;
        form->DoCreate();
    }
    TCustomForm* MainForm() const { return FMainForm; }
    void ClearMainForm() { FMainForm = nullptr; }

    // Shows the main form and dispatches messages until the program ends.
    void Run();
    // Asks the message loop to end (the main form was closed).
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // True from Terminate() on: the user is leaving, failures are not reported.
    bool Terminating() const { return FTerminating; }
    // Dispatches every message that is ready, then returns.
    void ProcessMessages();
    // Dispatches one message, or waits for one when none is ready.
    void HandleMessage();

    const String& ExeName() const { return FExeName; }
    // The executable's file name without its extension, unless set.
    const String& GetTitle() const { return FTitle; }
    void SetTitle(StringView title) { FTitle = String(title); }

    // A modal message box owned by the main window.
    int MessageBox(StringView text, StringView caption, UINT flags = MB_OK);

    // The default exception handler: call it inside a catch block. EAbort is
    // silent, and so is everything once the program is terminating;
    // OnException replaces the box when it is set.
    void HandleException(TPersistent* sender = nullptr);
    void ShowException(const std::exception& e);
    // The error box's text: the message with "." appended when its last
    // character sorts after ".".
    static String ExceptionBoxText(const std::exception& e);

    TExceptionEvent OnException;
    // Replaces the platform's message box (tests, tools). Returns the button.
    std::function<int(StringView text, StringView caption, UINT flags)> MessageBoxHook;

private:
    bool ProcessMessage();

    TCustomForm* FMainForm = nullptr;
    bool FMainFormOnTaskBar = false;
    bool FTerminated = false;
    bool FTerminating = false;
    String FExeName;
    String FTitle;
};

// The program's application object (null before CreateApplication and after
// DestroyApplication). The program entry creates it first and destroys it
// last, so every form dies while the window system is still there.
TApplication* Application();
TApplication* CreateApplication();
void DestroyApplication();

// Reports the exception being handled through the application (for dispatch
// boundaries: window procedures, timers, form creation). Never throws.
void HandleFrameworkException() noexcept;
