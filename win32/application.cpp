#include "application.h"

#include "errormessage.h"
#include "mainwindow.h"
#include "utf16.h"

#include <commctrl.h>

namespace Application {

namespace {

void reportError(HWND owner, const std::exception_ptr &error)
{
    const auto message = toUtf16(FormDesign::fatalErrorMessage(error));
    const auto title = toUtf16(FormDesign::fatalErrorTitle);
    MessageBoxW(owner, message.c_str(), title.c_str(), MB_OK | MB_ICONERROR);
}

} // namespace

int run(HINSTANCE instance, const tavrelon::Catalogue &catalogue, int show)
{
    // The system's current look for the standard controls (the manifest asks for version 6).
    INITCOMMONCONTROLSEX classes {sizeof(INITCOMMONCONTROLSEX), ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&classes);
    MainWindow window(catalogue);
    const bool created = window.create(instance, show);
    MSG message {};
    while (created && GetMessageW(&message, nullptr, 0, 0) > 0) {
        // The dialog manager gives Tab, Shift+Tab and the arrow keys of the option group.
        if (!IsDialogMessageW(window.handle(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (const auto error = window.error()) {
        reportError(window.handle(), error);
        return errorExitStatus;
    }
    return created ? static_cast<int>(message.wParam) : errorExitStatus;
}

} // namespace Application
