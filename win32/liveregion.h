#pragma once

#include <windows.h>

#include <string>

struct IAccPropServices;

// Makes a control a polite live region for screen readers (Windows 8 and later): Narrator, NVDA
// and JAWS speak the control's accessible name when the window says that the region changed.
// The name is set to the text to be spoken just before each announcement. Without the system's
// annotation service (older systems, or Wine, whose is a stub) announce() still raises the
// event, and the control keeps its own name. It brings COM to the calling thread while it lives.
class LiveRegion
{
public:
    explicit LiveRegion(HWND control);
    ~LiveRegion();
    LiveRegion(const LiveRegion &) = delete;
    LiveRegion &operator=(const LiveRegion &) = delete;

    // Whether the control is marked as a live region (the annotation was accepted).
    bool annotated() const { return m_annotated; }
    // Makes the control's accessible name the text, and tells screen readers the region changed.
    void announce(const std::wstring &spoken);

private:
    HWND m_control;
    bool m_com;
    IAccPropServices *m_services = nullptr;
    bool m_annotated = false;
};
