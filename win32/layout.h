#pragma once

#include "formdesign.h"

#include <windows.h>

// The form's lengths in pixels at a window's dots per inch.
namespace Layout {

// Where a control stands in the window's client area: options lie in the frame, so the
// frame's position is added to theirs.
RECT controlRect(const FormDesign::Control &control, int dpi);

SIZE clientSize(int dpi);

// A fixed single border with icon, system menu and close box; no minimise or maximise box.
inline constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
inline constexpr DWORD windowExStyle = 0;

// Gives a window of windowStyle the client size and puts it in the middle of the work area of
// its screen.
void centreOnWorkArea(HWND window, SIZE client, int dpi);

// The form's colours are COLORREF values already (0x00BBGGRR).
constexpr COLORREF toColorRef(std::uint32_t bgr)
{
    return static_cast<COLORREF>(bgr);
}

} // namespace Layout
