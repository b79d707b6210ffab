#pragma once

#include "formdesign.h"
#include "formsession.h"
#include "gdiobject.h"
#include "win32controls.h"

#include <windows.h>

#include <array>
#include <exception>
#include <memory>

namespace tavrelon {
class Catalogue;
}

// The program's one window: the heading, the framed group of school options, the captioned
// names list and the result box, laid out from the form at the window's dots per inch, with the
// clicks of the names list and of the options bound to the form's code.
class MainWindow
{
public:
    explicit MainWindow(const tavrelon::Catalogue &catalogue);
    ~MainWindow();
    MainWindow(const MainWindow &) = delete;
    MainWindow &operator=(const MainWindow &) = delete;

    // Creates the window and shows it in the middle of its screen's work area.
    bool create(HINSTANCE instance, int show);
    HWND handle() const { return m_window; }
    // The run-time error that ended the program, or null.
    std::exception_ptr error() const { return m_error; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);

    bool onCreate();
    void onCommand(int id, int code, HWND control);
    LRESULT onControlColour(UINT message, HDC dc, HWND control);
    LRESULT onListKey(int key, int caretRow, HWND list);
    void onNextControl(WPARAM which, bool isHandle);
    bool onActivate(int state, bool minimized);
    void onSetFocus();
    void onDpiChanged(int dpi, const RECT &suggested);
    void onEraseBackground(HDC dc);
    void onColoursChanged();
    static bool highContrastOn();
    void onDestroy();

    void createControls();
    void layOut();
    void centreOnWorkArea();
    void fail(std::exception_ptr error);
    int rowOf(HWND control) const;
    HWND firstControl() const;

    const tavrelon::Catalogue &m_catalogue;
    HWND m_window = nullptr;
    int m_dpi = USER_DEFAULT_SCREEN_DPI;
    bool m_highContrast = false;
    // The control that had the focus when the window was last deactivated.
    HWND m_lastFocus = nullptr;
    // The child window of each row of FormDesign::controls.
    std::array<HWND, FormDesign::controls.size()> m_children {};
    // The brush of each row that has a background colour of its own.
    std::array<GdiObject<HBRUSH>, FormDesign::controls.size()> m_brushes;
    GdiObject<HBRUSH> m_background;
    GdiObject<HFONT> m_font;
    std::unique_ptr<Win32Controls> m_controls;
    // The form's code; its first run-time error ends the message loop.
    std::unique_ptr<tavrelon::FormSession> m_session;
    std::exception_ptr m_error;
};
