#include "frontends/win32/shell/program.h"

#include <shellapi.h>

#include "frontends/win32/shell/console_menu.h"
#include "frontends/win32/window/win32_text.h"

namespace vorlak {

void showStandardError(const std::string& message) {
    std::wstring text = wideText(message);
    if (!text.empty() && text.back() != L'.') text += L'.';
    MessageBoxW(nullptr, text.c_str(), Program::kTitle, MB_OK | MB_ICONERROR);
}

Program::Program(HINSTANCE instance, Win32Clock& clock) : instance_(instance), clock_(clock), view_(pictures_) {
    // The console's window, off the screen at (-500, -1), then the console,
    // whose creation step grows it to the skin's height; then the settings.
    if (!view_.create(instance)) return;
    sound_.setWindow(view_.handle());
    handheld_ = std::make_unique<Handheld>(clock_, sound_, sound_, view_, ConsoleView::platformTraits());
    view_.attach(handheld_.get());
    clock_.setTickHandler([this](TimerId id) { handheld_->tick(id); });
    settings_ = std::make_unique<RegistryStore>();

    // The launcher reads the stored choices as it is made, so it comes after
    // the console's settings store.
    LauncherWindow::Desktop desktop;
    desktop.open = [this](HWND owner, const wchar_t* target) { openTarget(owner, target); };
    desktop.workArea = [this] { return view_.workArea(); };
    desktop.showError = showStandardError;
    desktop.brokenSoundFolder = [this](HWND owner) { brokenSoundFolder(owner); };
    desktop.showConsole = [this](const WindowPlace& place) { showConsole(place); };
    desktop.exitProgram = [this] { exitProgram(); };
    launcher_ = std::make_unique<LauncherWindow>(*handheld_, std::move(desktop));
    if (!launcher_->create(instance, view_.handle(), settings_->isOpen() ? settings_.get() : nullptr)) return;

    about_ = std::make_unique<AboutWindow>();
    if (!about_->create(instance, view_.handle())) return;
    menu_ = createConsoleMenu();
    shortcuts_ = createConsoleAccelerators();
    view_.setPopupMenu(menu_);

    ConsoleView::Requests& requests = view_.requests();
    requests.showLauncher = [this] { launcher_->showSoon(); };
    requests.command = [this](UINT id) { command(id); };
    requests.focusChanged = [this](bool focused) {
        if (pads_) pads_->setReading(focused);
    };
    requests.stopPads = [this] {
        padsStopped_ = true;
        pads_.reset();
    };
    ready_ = true;
}

Program::~Program() {
    pads_.reset();
    view_.setPopupMenu(nullptr);
    ConsoleView::Requests& requests = view_.requests();
    requests = {};
    launcher_.reset();
    about_.reset();
    if (menu_) DestroyMenu(menu_);
    if (shortcuts_) DestroyAcceleratorTable(shortcuts_);
    // The console refers to the window and the clock to the console.
    view_.attach(nullptr);
    if (handheld_) clock_.setTickHandler(nullptr);
    handheld_.reset();
}

int Program::run() {
    view_.showUnseen();
    // The menu's keys act in the console's window before its key handling.
    return runMessageLoop(clock_, [this](MSG& message) {
        return message.hwnd && message.hwnd == view_.handle() &&
               TranslateAcceleratorW(message.hwnd, shortcuts_, &message) != 0;
    });
}

void Program::command(UINT id) {
    switch (id) {
        case kCommandAbout:
            if (about_) about_->show();
            break;
        // The side documents lie in the working directory.
        case kCommandReadme: openTarget(launcher_->handle(), L".\\readme.txt"); break;
        case kCommandWhatsnew: openTarget(launcher_->handle(), L".\\whatsnew.txt"); break;
        case kCommandExit: exitProgram(); break;
        default: break;  // the manual, disabled
    }
}

// The launcher has gone: the console comes on screen at its place, and the
// pads are read from now on while it has the keyboard.
void Program::showConsole(const WindowPlace& place) {
    if (!padsStopped_ && !pads_)
        pads_ = std::make_unique<XInputPads>([this](const PadEvents& events) {
            if (handheld_) handheld_->padInput(events);
        });
    view_.showAt(place);
    if (pads_) pads_->setReading(GetFocus() == view_.handle());
}

void Program::brokenSoundFolder(HWND owner) {
    MessageBoxW(owner, wideText(kBrokenSoundFolderText).c_str(), L"Error", MB_OK | MB_ICONERROR);
    handheld_->forgetChoices();
    // The program simply ends, the launcher still shown.
    PostQuitMessage(0);
}

// Closing the console releases the pads, then the sound, and ends the loop.
void Program::exitProgram() {
    if (view_.handle())
        SendMessageW(view_.handle(), WM_CLOSE, 0, 0);
    else
        PostQuitMessage(0);
}

void Program::openTarget(HWND owner, const wchar_t* target) {
    ShellExecuteW(owner, L"open", target, nullptr, L"", SW_SHOWNORMAL);
}

}  // namespace vorlak
