// The yardstick for the Windows program's start-up: a window of Tavrelon's size, style, caption,
// icon and background colour, centred the same way, with nothing in it.
#include "formdesign.h"
#include "layout.h"
#include "utf16.h"

#include <windows.h>

namespace {

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    HBRUSH background = CreateSolidBrush(Layout::toColorRef(FormDesign::windowBackground));
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = L"TavrelonEmpty";
    RegisterClassExW(&windowClass);
    const auto caption = toUtf16(FormDesign::windowCaption);
    HWND window = CreateWindowExW(Layout::windowExStyle, windowClass.lpszClassName, caption.c_str(),
                                  Layout::windowStyle, CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                                  nullptr, instance, nullptr);
    const int dpi = static_cast<int>(GetDpiForWindow(window));
    Layout::centreOnWorkArea(window, Layout::clientSize(dpi), dpi);
    ShowWindow(window, show);
    MSG message {};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    DeleteObject(background);
    return static_cast<int>(message.wParam);
}
