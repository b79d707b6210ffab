#include "layout.h"

#include <algorithm>

namespace Layout {

namespace {

const FormDesign::Control &frame()
{
    return *std::find_if(
        FormDesign::controls.begin(), FormDesign::controls.end(),
        [](const auto &control) { return control.kind == FormDesign::Kind::Frame; });
}

} // namespace

RECT controlRect(const FormDesign::Control &control, int dpi)
{
    const auto pixels = FormDesign::twipsToPixels(control.twips, dpi);
    POINT origin {0, 0};
    if (control.container == FormDesign::Container::Frame1) {
        const auto framePixels = FormDesign::twipsToPixels(frame().twips, dpi);
        origin = {framePixels.left, framePixels.top};
    }
    const LONG left = origin.x + pixels.left;
    const LONG top = origin.y + pixels.top;
    return {left, top, left + pixels.width, top + pixels.height};
}

SIZE clientSize(int dpi)
{
    return {FormDesign::twipsToPixels(FormDesign::clientWidthTwips, dpi),
            FormDesign::twipsToPixels(FormDesign::clientHeightTwips, dpi)};
}

void centreOnWorkArea(HWND window, SIZE client, int dpi)
{
    RECT frame {0, 0, client.cx, client.cy};
    AdjustWindowRectExForDpi(&frame, windowStyle, FALSE, windowExStyle, static_cast<UINT>(dpi));
    MONITORINFO monitor {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const auto &work = monitor.rcWork;
    const LONG width = frame.right - frame.left;
    const LONG height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr,
                 FormDesign::centredStart(work.left, work.right - work.left, width),
                 FormDesign::centredStart(work.top, work.bottom - work.top, height), width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace Layout
