#include "FrmApplication.h"

#include "RtlException.h"
#include "RtlFileStream.h"

namespace {
TApplication* gApplication = nullptr;

String ExceptionMessage(const std::exception& e) {
    if (auto* ours = dynamic_cast<const Exception*>(&e)) return ours->Message();
    return Utf8ToString(e.what());
}
} // namespace

TApplication* Application() {
    return gApplication;
}

TApplication* CreateApplication() {
    if (!gApplication) gApplication = new TApplication();
    return gApplication;
}

void DestroyApplication() {
    TApplication* app = gApplication;
    gApplication = nullptr;
    delete app;
}

void HandleFrameworkException() noexcept {
    try {
        if (gApplication) gApplication->HandleException();
    } catch (...) {
        // A failing report must not take the program down with it.
    }
}

TApplication::TApplication(TComponent* owner) : TComponent(owner), FExeName(ExeFileName()) {
    String name = ExtractFileName(FExeName);
    const std::size_t dot = name.rfind(u'.');
    if (dot != String::npos && dot > 0) name.resize(dot);
    FTitle = name;
}

TApplication::~TApplication() {
    Destroying();
    DestroyComponents();
}

bool TApplication::ProcessMessage() {
    MSG msg{};
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

void TApplication::ProcessMessages() {
    while (!FTerminated && ProcessMessage()) {
    }
}

void TApplication::HandleMessage() {
    if (!ProcessMessage()) WaitMessage();
}

void TApplication::Run() {
    if (FMainForm && !FTerminated) {
        try {
            FMainForm->ShowForm();
        } catch (...) {
            HandleException(this);
        }
    }
    while (!FTerminated)
        HandleMessage();
}

void TApplication::Terminate() {
    if (FTerminating) return;
    FTerminating = true;
    PostQuitMessage(0);
}

int TApplication::MessageBox(StringView text, StringView caption, UINT flags) {
    const String t(text), c(caption);
    if (MessageBoxHook) return MessageBoxHook(t, c, flags);
    HWND owner = nullptr;
    if (FMainForm && FMainForm->HandleAllocated() &&
        IsWindowVisible(FMainForm->HandleIfAllocated()))
        owner = FMainForm->HandleIfAllocated();
    return MessageBoxW(owner, t.c_str(), c.c_str(), flags);
}

String TApplication::ExceptionBoxText(const std::exception& e) {
    String text = ExceptionMessage(e);
    if (!text.empty() && text.back() > u'.') text.push_back(u'.');
    return text;
}

void TApplication::ShowException(const std::exception& e) {
    MessageBox(ExceptionBoxText(e), FTitle, MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(TPersistent* sender) {
    const std::exception_ptr current = std::current_exception();
    if (!current) return;
    try {
        std::rethrow_exception(current);
    } catch (const EAbort&) {
        // Silent by design: an abort is the user's or the program's own choice.
    } catch (const std::exception& e) {
        if (FTerminating) return; // the window is gone; nobody is there to read a box
        if (OnException)
            OnException(sender, e);
        else
            ShowException(e);
    } catch (...) {
        if (FTerminating) return;
        const Exception unknown(u"Unknown exception");
        if (OnException)
            OnException(sender, unknown);
        else
            ShowException(unknown);
    }
}
