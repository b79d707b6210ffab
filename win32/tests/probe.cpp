// Reads Tavrelon's window from outside, as the window test needs it: a console program run in
// the same Wine prefix, writing JSON (UTF-8) to stdout.
//   probe state          the window: caption, DPI, focus and every control of the form
//   probe messagebox     the message box the program shows, if any
//   probe version FILE   FileVersion and ProductVersion of an executable
//   probe scroll ROW     scrolls the names list so that ROW is the top row
//   probe listen         records each live-region change of the window until it goes: a line
//                        {"listening":true} once the hook is in place, then one line per event
//                        with the control and its accessible name and value
//   probe close          asks the window to close
//   probe endsession     asks the program to go as the Restart Manager does; prints whether it
//                        agreed (WM_QUERYENDSESSION)
//   probe entry ROOT [KEY]  the values of the uninstall entry KEY (default Tavrelon, the setup's)
//                        under ROOT (HKLM or HKCU)
//   probe uninstall ROOT runs the QuietUninstallString of Tavrelon's uninstall entry under ROOT
//                        (HKLM or HKCU) as a deployment tool does, waits, and exits with its code
// Exits with 2 when there is nothing to read.
#include "controlids.h"
#include "formdesign.h"
#include "utf16.h"

#include <windows.h>

#include <objbase.h>
#include <oleacc.h>
#include <uxtheme.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string quoted(const std::string &text)
{
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out += c;
        }
    }
    return out + "\"";
}

std::string textOf(HWND window)
{
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return toUtf8(text);
}

std::string rectIn(HWND parent, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT *>(&rect), 2);
    std::ostringstream out;
    out << '[' << rect.left << ',' << rect.top << ',' << rect.right - rect.left << ','
        << rect.bottom - rect.top << ']';
    return out.str();
}

// Where the child's client area starts, in the window's client area.
std::string clientOrigin(HWND window, HWND child)
{
    POINT origin {0, 0};
    MapWindowPoints(child, window, &origin, 1);
    std::ostringstream out;
    out << '[' << origin.x << ',' << origin.y << ']';
    return out.str();
}

std::string listRows(HWND list)
{
    std::ostringstream rows;
    rows << '[';
    const auto count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)) + 1,
                          L'\0');
        text.resize(static_cast<std::size_t>(
            SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()))));
        rows << (row > 0 ? "," : "") << quoted(toUtf8(text));
    }
    rows << ']';
    return rows.str();
}

std::string controlName(const FormDesign::Control &control)
{
    std::ostringstream name;
    name << control.name;
    if (control.index >= 0) {
        name << '(' << control.index << ')';
    }
    return name.str();
}

std::string describeControl(HWND window, std::size_t row)
{
    const auto &control = FormDesign::controls[row];
    HWND child = GetDlgItem(window, ControlIds::idOf(row));
    if (child == nullptr) {
        return "null";
    }
    const auto &twips = control.twips;
    std::ostringstream out;
    out << std::boolalpha << "{\"rect\":" << rectIn(window, child) << ",\"twips\":[" << twips.left
        << ',' << twips.top << ',' << twips.width << ',' << twips.height
        << "],\"inFrame\":" << (control.container == FormDesign::Container::Frame1)
        << ",\"visible\":" << (IsWindowVisible(child) != FALSE)
        << ",\"text\":" << quoted(textOf(child));
    // What Windows names the control after: the static label just before it in z-order.
    wchar_t className[32] {};
    HWND previous = GetWindow(child, GW_HWNDPREV);
    if (previous != nullptr && GetClassNameW(previous, className, 32) > 0 &&
        lstrcmpiW(className, L"Static") == 0) {
        out << ",\"label\":" << quoted(textOf(previous));
    }
    // Drawn by the visual styles of version 6 of the common controls, not the classic look.
    out << ",\"themed\":" << (GetWindowTheme(child) != nullptr);
    if (control.kind == FormDesign::Kind::OptionButton) {
        out << ",\"checked\":" << (SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED);
    } else if (control.kind == FormDesign::Kind::ListBox) {
        out << ",\"selected\":" << static_cast<long long>(SendMessageW(child, LB_GETCURSEL, 0, 0))
            << ",\"rows\":" << listRows(child)
            << ",\"top\":" << static_cast<long long>(SendMessageW(child, LB_GETTOPINDEX, 0, 0))
            << ",\"itemHeight\":"
            << static_cast<long long>(SendMessageW(child, LB_GETITEMHEIGHT, 0, 0))
            << ",\"clientOrigin\":" << clientOrigin(window, child);
    }
    out << '}';
    return out.str();
}

std::string focusName(HWND window)
{
    GUITHREADINFO info {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ||
        info.hwndFocus == nullptr) {
        return "null";
    }
    if (info.hwndFocus == window) {
        return quoted("Tavrelon");
    }
    const int row = ControlIds::rowOf(GetDlgCtrlID(info.hwndFocus));
    return row < 0 ? quoted("other") : quoted(controlName(FormDesign::controls[std::size_t(row)]));
}

// A BSTR property of an accessible object as a JSON string, or null when it has none.
template<typename Getter> std::string accessibleText(Getter get)
{
    BSTR text = nullptr;
    if (FAILED(get(&text)) || text == nullptr) {
        return "null";
    }
    std::string out = quoted(toUtf8(std::wstring(text, SysStringLen(text))));
    SysFreeString(text);
    return out;
}

// What a screen reader finds when told that a live region changed: the control, and the name
// and value of its accessible object.
void CALLBACK onLiveRegionChanged(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND control,
                                  LONG object, LONG child, DWORD /*thread*/, DWORD /*time*/)
{
    const int row = ControlIds::rowOf(GetDlgCtrlID(control));
    std::string line = "{\"control\":" +
        (row < 0 ? quoted("other") : quoted(controlName(FormDesign::controls[std::size_t(row)])));
    IAccessible *accessible = nullptr;
    VARIANT element;
    VariantInit(&element);
    if (SUCCEEDED(AccessibleObjectFromEvent(control, static_cast<DWORD>(object),
                                            static_cast<DWORD>(child), &accessible, &element))) {
        line += ",\"name\":" +
            accessibleText([&](BSTR *text) { return accessible->get_accName(element, text); });
        line += ",\"value\":" +
            accessibleText([&](BSTR *text) { return accessible->get_accValue(element, text); });
        accessible->Release();
        VariantClear(&element);
    }
    std::fputs((line + "}\n").c_str(), stdout);
    std::fflush(stdout);
}

int listen(HWND window)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    HWINEVENTHOOK hook =
        SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                        onLiveRegionChanged, process, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) {
        return 2;
    }
    std::fputs("{\"listening\":true}\n", stdout);
    std::fflush(stdout);
    // The events arrive while the loop waits; a timer looks for the window's end.
    SetTimer(nullptr, 0, 200, nullptr);
    MSG message {};
    while (IsWindow(window) && GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    CoUninitialize();
    return 0;
}

int printState(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    POINT origin {0, 0};
    ClientToScreen(window, &origin);
    std::ostringstream out;
    out << "{\"caption\":" << quoted(textOf(window)) << ",\"dpi\":" << GetDpiForWindow(window)
        << ",\"client\":[" << origin.x << ',' << origin.y << ',' << client.right << ','
        << client.bottom << "],\"focus\":" << focusName(window) << ",\"controls\":{";
    for (std::size_t row = 0; row < FormDesign::controls.size(); ++row) {
        out << (row > 0 ? "," : "") << quoted(controlName(FormDesign::controls[row])) << ':'
            << describeControl(window, row);
    }
    out << "}}\n";
    std::fputs(out.str().c_str(), stdout);
    return 0;
}

BOOL CALLBACK collectStatic(HWND child, LPARAM texts)
{
    wchar_t className[32] {};
    GetClassNameW(child, className, 32);
    if (lstrcmpiW(className, L"Static") == 0 && GetWindowTextLengthW(child) > 0) {
        reinterpret_cast<std::vector<std::string> *>(texts)->push_back(textOf(child));
    }
    return TRUE;
}

struct Search
{
    DWORD process;
    HWND found;
};

BOOL CALLBACK findMessageBox(HWND window, LPARAM search)
{
    auto *wanted = reinterpret_cast<Search *>(search);
    wchar_t className[32] {};
    GetClassNameW(window, className, 32);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (lstrcmpW(className, L"#32770") == 0 && process == wanted->process &&
        IsWindowVisible(window)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

int printMessageBox(HWND window)
{
    Search search {0, nullptr};
    GetWindowThreadProcessId(window, &search.process);
    EnumWindows(findMessageBox, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) {
        return 2;
    }
    std::vector<std::string> texts;
    EnumChildWindows(search.found, collectStatic, reinterpret_cast<LPARAM>(&texts));
    std::string joined;
    for (const auto &text : texts) {
        joined += (joined.empty() ? "" : "\n") + text;
    }
    std::fputs(
        ("{\"title\":" + quoted(textOf(search.found)) + ",\"text\":" + quoted(joined) + "}\n")
            .c_str(),
        stdout);
    return 0;
}

// A string of the version record's first language (the program's is US English, the setup's
// Bulgarian).
std::string versionString(const std::vector<char> &data, const wchar_t *name)
{
    void *translation = nullptr;
    UINT translationLength = 0;
    wchar_t block[32] = L"040904B0";
    if (VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &translation,
                       &translationLength) &&
        translationLength >= 4) {
        const auto *ids = static_cast<const WORD *>(translation);
        swprintf(block, 32, L"%04X%04X", ids[0], ids[1]);
    }
    std::wstring path = L"\\StringFileInfo\\" + std::wstring(block) + L"\\";
    path.append(name);
    void *value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || length == 0) {
        return "";
    }
    return toUtf8(std::wstring(static_cast<const wchar_t *>(value), length - 1));
}

int printVersion(const wchar_t *file)
{
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(file, &handle);
    std::vector<char> data(size);
    if (size == 0 || !GetFileVersionInfoW(file, 0, size, data.data())) {
        return 2;
    }
    std::ostringstream out;
    out << "{\"FileVersion\":" << quoted(versionString(data, L"FileVersion"))
        << ",\"ProductVersion\":" << quoted(versionString(data, L"ProductVersion")) << "}\n";
    std::fputs(out.str().c_str(), stdout);
    return 0;
}

const std::wstring uninstallKeys = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

HKEY hiveOf(const std::wstring &root)
{
    return root == L"HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Strings as JSON strings, DWORDs as numbers, anything else by its type's number.
int printEntry(const std::wstring &root, const std::wstring &name)
{
    const std::wstring path = uninstallKeys + name;
    HKEY key = nullptr;
    if (RegOpenKeyExW(hiveOf(root), path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS) {
        return 2;
    }
    std::string out = "{";
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        BYTE data[4096];
        DWORD dataSize = sizeof(data);
        DWORD type = 0;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        out += (index ? "," : "") + quoted(toUtf8(std::wstring(name, nameLength))) + ":";
        if (type == REG_SZ) {
            std::wstring text(reinterpret_cast<const wchar_t *>(data), dataSize / sizeof(wchar_t));
            text.resize(wcsnlen(text.c_str(), text.size()));
            out += quoted(toUtf8(text));
        } else if (type == REG_DWORD) {
            out += std::to_string(*reinterpret_cast<const DWORD *>(data));
        } else {
            out += "{\"type\":" + std::to_string(type) + "}";
        }
    }
    RegCloseKey(key);
    std::fputs((out + "}\n").c_str(), stdout);
    return 0;
}

int runQuietUninstall(const std::wstring &root)
{
    wchar_t command[2048] = {};
    DWORD size = sizeof(command);
    if (RegGetValueW(hiveOf(root), (uninstallKeys + L"Tavrelon").c_str(), L"QuietUninstallString",
                     RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY, nullptr, command,
                     &size) != ERROR_SUCCESS) {
        return 2;
    }
    STARTUPINFOW startup {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process {};
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return 2;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 2;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    // CR LF in the texts must reach the reader as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::wstring command = argc > 1 ? argv[1] : L"state";
    if (command == L"version" && argc > 2) {
        return printVersion(argv[2]);
    }
    if (command == L"entry" && argc > 2) {
        return printEntry(argv[2], argc > 3 ? argv[3] : L"Tavrelon");
    }
    if (command == L"uninstall" && argc > 2) {
        return runQuietUninstall(argv[2]);
    }
    HWND window = FindWindowW(L"Tavrelon", nullptr);
    if (window == nullptr || !IsWindowVisible(window)) {
        return 2;
    }
    if (command == L"messagebox") {
        return printMessageBox(window);
    }
    if (command == L"scroll" && argc > 2) {
        // Brings a row of the names list into view, as the scroll bar would; selects nothing.
        for (std::size_t row = 0; row < FormDesign::controls.size(); ++row) {
            if (FormDesign::controls[row].kind == FormDesign::Kind::ListBox) {
                SendMessageW(GetDlgItem(window, ControlIds::idOf(row)), LB_SETTOPINDEX,
                             static_cast<WPARAM>(_wtoi(argv[2])), 0);
            }
        }
        return 0;
    }
    if (command == L"endsession") {
        const LRESULT agreed = SendMessageW(window, WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP);
        SendMessageW(window, WM_ENDSESSION, agreed ? TRUE : FALSE, ENDSESSION_CLOSEAPP);
        std::fputs(agreed ? "{\"agreed\":true}\n" : "{\"agreed\":false}\n", stdout);
        return 0;
    }
    if (command == L"listen") {
        return listen(window);
    }
    if (command == L"close") {
        PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    return printState(window);
}
