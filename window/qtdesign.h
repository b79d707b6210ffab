#pragma once

#include "formdesign.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

// The form's design in Qt's terms, at 96 dots per inch: Qt scales to the screen itself.
namespace FormDesign {

inline QRect toPixels(Twips twips)
{
    const auto pixels = twipsToPixels(twips);
    return {pixels.left, pixels.top, pixels.width, pixels.height};
}

inline QSize clientPixels()
{
    return {twipsToPixels(clientWidthTwips), twipsToPixels(clientHeightTwips)};
}

inline QColor toColor(std::uint32_t bgr)
{
    const auto rgb = fromBgr(bgr);
    return {rgb.red, rgb.green, rgb.blue};
}

inline QString windowTitle()
{
    return QString::fromUtf8(windowCaption);
}

// The designed font, its first installed family first.
QFont windowFont();

} // namespace FormDesign
