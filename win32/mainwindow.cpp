#include "mainwindow.h"

#include "catalogue.h"
#include "controlids.h"
#include "layout.h"
#include "utf16.h"
#include "windowfont.h"

#include <algorithm>
#include <numeric>
#include <vector>

using FormDesign::Control;
using FormDesign::Kind;

namespace {

constexpr const wchar_t *windowClass = L"Tavrelon";

struct ChildKind
{
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
};

ChildKind childKind(const Control &control)
{
    constexpr DWORD child = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
    case Kind::TextBox:
        return {L"EDIT",
                child | WS_TABSTOP | WS_GROUP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                    ES_READONLY,
                WS_EX_CLIENTEDGE};
    case Kind::Label:
        return {L"STATIC", child | WS_GROUP | SS_CENTER | SS_NOPREFIX, 0};
    case Kind::Frame:
        return {L"BUTTON", child | WS_GROUP | BS_GROUPBOX, 0};
    case Kind::OptionButton:
        // The first option opens the group that the arrow keys move through.
        return {L"BUTTON",
                child | BS_AUTORADIOBUTTON | (control.index == 0 ? WS_GROUP | WS_TABSTOP : 0U), 0};
    case Kind::ListBox:
        // LBS_NOINTEGRALHEIGHT keeps the designed height; LBS_WANTKEYBOARDINPUT lets the
        // window see the arrow keys first (WM_VKEYTOITEM).
        return {L"LISTBOX",
                child | WS_TABSTOP | WS_GROUP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                    LBS_WANTKEYBOARDINPUT,
                WS_EX_CLIENTEDGE};
    }
    return {L"STATIC", child, 0};
}

std::string captionOf(const Control &control, const tavrelon::Catalogue &catalogue)
{
    if (control.kind == Kind::OptionButton) {
        return std::string(catalogue.caption(static_cast<std::int16_t>(control.index)));
    }
    return control.caption != nullptr ? control.caption : "";
}

// The rows of FormDesign::controls in tab order.
std::vector<std::size_t> tabOrder()
{
    std::vector<std::size_t> rows(FormDesign::controls.size());
    std::iota(rows.begin(), rows.end(), std::size_t {0});
    std::stable_sort(rows.begin(), rows.end(), [](std::size_t a, std::size_t b) {
        return FormDesign::controls[a].tabIndex < FormDesign::controls[b].tabIndex;
    });
    return rows;
}

// The rows in the order the children are made, which is their z-order: tab order, except that
// the names list's caption comes right before the list. Windows names a standard control after
// the static label just before it in z-order; a static is no tab stop, so Tab is unchanged.
std::vector<std::size_t> creationOrder()
{
    auto rows = tabOrder();
    const auto find = [&rows](Kind kind, int index) {
        return std::find_if(rows.begin(), rows.end(), [&](std::size_t row) {
            return FormDesign::controls[row].kind == kind &&
                FormDesign::controls[row].index == index;
        });
    };
    const auto caption = find(Kind::Label, 1);
    const auto list = find(Kind::ListBox, 0);
    if (caption != rows.end() && list != rows.end() && caption > list) {
        std::rotate(list, caption, caption + 1);
    }
    return rows;
}

} // namespace

MainWindow::MainWindow(const tavrelon::Catalogue &catalogue)
    : m_catalogue(catalogue)
    , m_background(CreateSolidBrush(Layout::toColorRef(FormDesign::windowBackground)))
{
    for (std::size_t row = 0; row < FormDesign::controls.size(); ++row) {
        if (const auto colour = FormDesign::controls[row].background) {
            m_brushes[row].reset(CreateSolidBrush(Layout::toColorRef(*colour)));
        }
    }
}

MainWindow::~MainWindow()
{
    if (m_window != nullptr) {
        DestroyWindow(m_window);
    }
}

bool MainWindow::create(HINSTANCE instance, int show)
{
    WNDCLASSEXW windowClassInfo {};
    windowClassInfo.cbSize = sizeof(windowClassInfo);
    windowClassInfo.lpfnWndProc = windowProc;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClassInfo.hIconSm = static_cast<HICON>(
        LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                   GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClassInfo.lpszClassName = windowClass;
    RegisterClassExW(&windowClassInfo);

    const auto caption = toUtf16(FormDesign::windowCaption);
    if (CreateWindowExW(Layout::windowExStyle, windowClass, caption.c_str(), Layout::windowStyle,
                        CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance,
                        this) == nullptr) {
        return false;
    }
    centreOnWorkArea();
    ShowWindow(m_window, show);
    // Focus starts in the result box, the first control in tab order.
    SetFocus(firstControl());
    return true;
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self =
            static_cast<MainWindow *>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<MainWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may cross the system's frames: a run-time error stops here and ends the
    // message loop, which reports it.
    try {
        return self->handleMessage(message, wParam, lParam);
    } catch (...) {
        self->fail(std::current_exception());
        return message == WM_CREATE ? -1 : 0;
    }
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return onCreate() ? 0 : -1;
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        return onControlColour(message, reinterpret_cast<HDC>(wParam),
                               reinterpret_cast<HWND>(lParam));
    case WM_NEXTDLGCTL:
        onNextControl(wParam, LOWORD(lParam) != 0);
        return 0;
    case WM_ACTIVATE:
        if (onActivate(LOWORD(wParam), HIWORD(wParam) != 0)) {
            return 0;
        }
        break;
    case WM_SETFOCUS:
        onSetFocus();
        return 0;
    case WM_VKEYTOITEM:
        return onListKey(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT *>(lParam));
        return 0;
    case WM_ERASEBKGND:
        onEraseBackground(reinterpret_cast<HDC>(wParam));
        return 1;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        onColoursChanged();
        break;
    case WM_ENDSESSION:
        // The session ends, or the Restart Manager asks the program to go (Windows Installer
        // replacing or removing its files): there is nothing to save, so it goes as on WM_CLOSE.
        if (wParam) {
            DestroyWindow(m_window);
        }
        return 0;
    case WM_DESTROY:
        onDestroy();
        return 0;
    case WM_NCDESTROY:
        m_window = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

bool MainWindow::onCreate()
{
    m_dpi = static_cast<int>(GetDpiForWindow(m_window));
    m_highContrast = highContrastOn();
    createControls();
    layOut();
    std::vector<HWND> options;
    HWND names = nullptr;
    HWND box = nullptr;
    for (std::size_t row = 0; row < FormDesign::controls.size(); ++row) {
        const auto &control = FormDesign::controls[row];
        if (control.kind == Kind::OptionButton) {
            options.resize(std::max(options.size(), std::size_t(control.index) + 1));
            options[std::size_t(control.index)] = m_children[row];
        } else if (control.kind == Kind::ListBox) {
            names = m_children[row];
        } else if (control.kind == Kind::TextBox) {
            box = m_children[row];
        }
    }
    m_controls = std::make_unique<Win32Controls>(m_catalogue, names, std::move(options), box);
    m_controls->setText(0, FormDesign::assignmentText());
    m_session = std::make_unique<tavrelon::FormSession>(
        *m_controls, [this](const std::exception_ptr &error) { fail(error); });
    // The assignment is read from the box; every report after it is also announced.
    m_controls->announceReports(true);
    return true;
}

void MainWindow::createControls()
{
    auto *instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(m_window, GWLP_HINSTANCE));
    // Children are created in tab order: the dialog manager's Tab and arrow keys follow it.
    for (const auto row : creationOrder()) {
        const auto &control = FormDesign::controls[row];
        if (control.kind == Kind::TextBox) {
            // The box has no caption: a hidden label just before it gives screen readers its name.
            CreateWindowExW(
                0, L"STATIC", toUtf16(FormDesign::resultBoxName).c_str(),
                WS_CHILD | WS_GROUP | SS_NOPREFIX, 0, 0, 0, 0, m_window,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIds::resultBoxLabelId)),
                instance, nullptr);
        }
        const auto kind = childKind(control);
        const auto caption = toUtf16(captionOf(control, m_catalogue));
        m_children[row] = CreateWindowExW(
            kind.exStyle, kind.className, caption.c_str(), kind.style, 0, 0, 0, 0, m_window,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIds::idOf(row))), instance,
            nullptr);
        if (control.kind == Kind::ListBox) {
            for (std::int16_t name = 0; name < m_catalogue.rowCount(); ++name) {
                SendMessageW(m_children[row], LB_ADDSTRING, 0,
                             reinterpret_cast<LPARAM>(toUtf16(m_catalogue.name(name)).c_str()));
            }
        }
    }
}

void MainWindow::layOut()
{
    // The old font is deleted only once no control uses it any more.
    auto font = createWindowFont(m_dpi);
    for (std::size_t row = 0; row < FormDesign::controls.size(); ++row) {
        const auto rect = Layout::controlRect(FormDesign::controls[row], m_dpi);
        SetWindowPos(m_children[row], nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(m_children[row], WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    }
    m_font = std::move(font);
}

void MainWindow::centreOnWorkArea()
{
    Layout::centreOnWorkArea(m_window, Layout::clientSize(m_dpi), m_dpi);
}

int MainWindow::rowOf(HWND control) const
{
    return ControlIds::rowOf(GetDlgCtrlID(control));
}

void MainWindow::onCommand(int id, int code, HWND control)
{
    const int row = ControlIds::rowOf(id);
    if (row < 0 || control == nullptr || m_error || !m_session) {
        return;
    }
    const auto &design = FormDesign::controls[std::size_t(row)];
    const auto element = static_cast<std::int16_t>(design.index);
    if (design.kind == Kind::ListBox && code == LBN_SELCHANGE) {
        m_session->listClick(element);
    } else if (design.kind == Kind::OptionButton && code == BN_CLICKED) {
        // Some systems announce a click when an unchecked option only takes the focus; the
        // option is chosen then, so it is checked first.
        if (SendMessageW(control, BM_GETCHECK, 0, 0) != BST_CHECKED) {
            m_controls->check(control);
        }
        m_session->optionClick(element);
    }
}

LRESULT MainWindow::onControlColour(UINT message, HDC dc, HWND control)
{
    const int row = rowOf(control);
    if (row >= 0 && FormDesign::controls[std::size_t(row)].kind == Kind::TextBox) {
        // The box is read-only, which would make it grey; it stays white like any text box.
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    }
    const auto colours = row >= 0
        ? FormDesign::coloursOf(FormDesign::controls[std::size_t(row)], m_highContrast)
        : std::nullopt;
    if (colours && m_brushes[std::size_t(row)]) {
        // A fixed background takes the text colour made for it, not the system's.
        SetTextColor(dc, Layout::toColorRef(colours->foreground));
        SetBkColor(dc, Layout::toColorRef(colours->background));
        return reinterpret_cast<LRESULT>(m_brushes[std::size_t(row)].get());
    }
    return DefWindowProcW(m_window, message, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
}

LRESULT MainWindow::onListKey(int key, int caretRow, HWND list)
{
    // With nothing chosen yet the first arrow key chooses the row under the focus frame, rather
    // than stepping past it. Selecting from code does not notify, so the click is delivered here.
    if ((key == VK_DOWN || key == VK_UP) && SendMessageW(list, LB_GETCURSEL, 0, 0) == LB_ERR &&
        SendMessageW(list, LB_GETCOUNT, 0, 0) > 0) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(caretRow), 0);
        onCommand(GetDlgCtrlID(list), LBN_SELCHANGE, list);
        return -2;
    }
    return -1;
}

void MainWindow::onNextControl(WPARAM which, bool isHandle)
{
    // The result box asks for this on Tab, as it would in a dialog box.
    HWND next = isHandle ? reinterpret_cast<HWND>(which)
                         : GetNextDlgTabItem(m_window, GetFocus(), which != 0);
    if (next != nullptr) {
        SetFocus(next);
    }
}

bool MainWindow::onActivate(int state, bool minimized)
{
    // The window keeps its focused control across activation, as a dialog box does: left to
    // itself the system would give the focus to the window, where no key does anything.
    if (state == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && IsChild(m_window, focus)) {
            m_lastFocus = focus;
        }
        return false;
    }
    if (minimized) {
        return false;
    }
    onSetFocus();
    return true;
}

void MainWindow::onSetFocus()
{
    // The window itself takes no keys: the focus goes on to the control that last had it, or
    // to the first in tab order.
    HWND target = m_lastFocus;
    if (target == nullptr || !IsWindow(target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target)) {
        target = firstControl();
    }
    if (target != nullptr) {
        SetFocus(target);
    }
}

HWND MainWindow::firstControl() const
{
    return m_children[tabOrder().front()];
}

void MainWindow::onDpiChanged(int dpi, const RECT &suggested)
{
    m_dpi = dpi;
    layOut();
    SetWindowPos(m_window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::onEraseBackground(HDC dc)
{
    RECT client;
    GetClientRect(m_window, &client);
    FillRect(dc, &client,
             FormDesign::windowBackgroundOf(m_highContrast) ? m_background.get()
                                                            : GetSysColorBrush(COLOR_3DFACE));
}

bool MainWindow::highContrastOn()
{
    HIGHCONTRASTW setting {};
    setting.cbSize = sizeof(setting);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(setting), &setting, 0) != FALSE &&
        (setting.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void MainWindow::onColoursChanged()
{
    // Under high contrast every colour is the system's; the setting may change while it runs.
    m_highContrast = highContrastOn();
    RedrawWindow(m_window, nullptr, nullptr,
                 RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void MainWindow::onDestroy()
{
    if (m_controls) {
        m_controls->announceReports(false);
    }
    PostQuitMessage(m_error ? 1 : 0);
}

void MainWindow::fail(std::exception_ptr error)
{
    if (!m_error) {
        m_error = std::move(error);
        PostQuitMessage(1);
    }
}
