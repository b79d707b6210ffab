#include "windowfont.h"

#include "formdesign.h"
#include "utf16.h"

#include <string>

namespace {

int CALLBACK noteFound(const LOGFONTW * /*font*/, const TEXTMETRICW * /*metrics*/, DWORD /*type*/,
                       LPARAM found)
{
    *reinterpret_cast<bool *>(found) = true;
    return 0;
}

bool installed(HDC dc, const std::wstring &family)
{
    LOGFONTW wanted {};
    wanted.lfCharSet = static_cast<BYTE>(FormDesign::fontCharset);
    family.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    EnumFontFamiliesExW(dc, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

// Looked up once: the fonts installed do not change while the window is open.
const std::wstring &chosenFamily()
{
    static const std::wstring family = [] {
        HDC dc = GetDC(nullptr);
        std::wstring chosen;
        for (const auto candidate : FormDesign::fontFamilies) {
            auto wide = toUtf16(candidate);
            if (installed(dc, wide)) {
                chosen = std::move(wide);
                break;
            }
        }
        ReleaseDC(nullptr, dc);
        return chosen.empty() ? toUtf16(FormDesign::fontFamilies.front()) : chosen;
    }();
    return family;
}

} // namespace

GdiObject<HFONT> createWindowFont(int dpi)
{
    LOGFONTW font {};
    font.lfHeight = -MulDiv(FormDesign::fontPointSize, dpi, 72);
    font.lfWeight = FormDesign::fontWeight;
    font.lfCharSet = static_cast<BYTE>(FormDesign::fontCharset);
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    chosenFamily().copy(font.lfFaceName, LF_FACESIZE - 1);
    return GdiObject<HFONT>(CreateFontIndirectW(&font));
}
