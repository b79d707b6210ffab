#include "win32controls.h"

#include "announcement.h"
#include "runtimeerror.h"
#include "utf16.h"

#include <utility>

using tavrelon::RuntimeError;

namespace {

std::wstring windowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

} // namespace

Win32Controls::Win32Controls(const tavrelon::Catalogue &catalogue, HWND names,
                             std::vector<HWND> options, HWND resultBox)
    : FormControls(catalogue)
    , m_names(names)
    , m_options(std::move(options))
    , m_resultBox(resultBox)
{ }

std::int16_t Win32Controls::selectedName()
{
    const auto selected = SendMessageW(m_names, LB_GETCURSEL, 0, 0);
    return selected == LB_ERR ? std::int16_t {-1} : static_cast<std::int16_t>(selected);
}

std::int16_t Win32Controls::nameCount()
{
    return static_cast<std::int16_t>(SendMessageW(m_names, LB_GETCOUNT, 0, 0));
}

std::string Win32Controls::name(std::int16_t row)
{
    const auto length = SendMessageW(m_names, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (row < 0 || length == LB_ERR) {
        throw RuntimeError::invalidRow("List1", row);
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(SendMessageW(m_names, LB_GETTEXT, static_cast<WPARAM>(row),
                                                      reinterpret_cast<LPARAM>(text.data()))));
    return toUtf8(text);
}

HWND Win32Controls::option(std::int16_t element) const
{
    if (element < 0 || static_cast<std::size_t>(element) >= m_options.size()) {
        throw RuntimeError::noSuchElement("Option1", element);
    }
    return m_options[static_cast<std::size_t>(element)];
}

std::string Win32Controls::optionCaption(std::int16_t element)
{
    return toUtf8(windowText(option(element)));
}

bool Win32Controls::optionValue(std::int16_t element)
{
    return SendMessageW(option(element), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Controls::check(HWND option)
{
    for (auto *other : m_options) {
        SendMessageW(other, BM_SETCHECK, other == option ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

void Win32Controls::setOptionValue(std::int16_t element, bool value)
{
    auto *button = option(element);
    if (!value) {
        SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0);
        return;
    }
    check(button);
    // A check made in code is not reported by the control; the click goes to the window as a
    // user's would, and is handled before this returns.
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

void Win32Controls::announceReports(bool on)
{
    m_announcing = on;
    if (!on) {
        m_liveRegion.reset();
    }
}

void Win32Controls::showText(const std::string &text)
{
    // The box takes CR LF line ends as they are, and shows the new text from its first line.
    const auto shown = toUtf16(text);
    SetWindowTextW(m_resultBox, shown.c_str());
    // The box holds the whole report; what is spoken, once per text written, is the school and
    // then its names as one sentence, the words every window says. The box becomes a live region
    // with the first report, which keeps the annotation service (oleacc.dll) out of the
    // program's start.
    if (m_announcing) {
        if (!m_liveRegion) {
            m_liveRegion = std::make_unique<LiveRegion>(m_resultBox);
        }
        m_liveRegion->announce(toUtf16(tavrelon::announcementFor(text)));
    }
}
