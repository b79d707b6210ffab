#include "liveregion.h"

#include <objbase.h>
// Defines the identifiers of the annotation service that oleacc.h declares, in this file.
#include <initguid.h>

#include <oleacc.h>

namespace {

// UI Automation's LiveSetting property as an annotation, and its value Polite (uiautomationcore.h;
// MinGW-w64's oleacc.h has neither).
constexpr GUID liveSettingProperty {
    0xc12bcd8e, 0x2a8e, 0x4950, {0x8a, 0xe7, 0x36, 0x25, 0x11, 0x1d, 0x58, 0xeb}};
constexpr LONG politeLiveSetting = 1;

} // namespace

LiveRegion::LiveRegion(HWND control)
    : m_control(control)
    , m_com(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
{
    // Should COM not have started on the thread, this fails on its own.
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void **>(&m_services)))) {
        m_services = nullptr;
        return;
    }
    VARIANT polite {};
    polite.vt = VT_I4;
    polite.lVal = politeLiveSetting;
    m_annotated = SUCCEEDED(m_services->SetHwndProp(m_control, static_cast<DWORD>(OBJID_CLIENT),
                                                    CHILDID_SELF, liveSettingProperty, polite));
}

LiveRegion::~LiveRegion()
{
    if (m_services != nullptr) {
        if (IsWindow(m_control)) {
            const MSAAPROPID properties[] {liveSettingProperty, PROPID_ACC_NAME};
            m_services->ClearHwndProps(m_control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       properties, 2);
        }
        m_services->Release();
    }
    if (m_com) {
        CoUninitialize();
    }
}

void LiveRegion::announce(const std::wstring &spoken)
{
    if (m_annotated) {
        m_services->SetHwndPropStr(m_control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                   PROPID_ACC_NAME, spoken.c_str());
    }
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, m_control, OBJID_CLIENT, CHILDID_SELF);
}
