#include "scopedapplicationfont.h"

#include <QGuiApplication>

// QGuiApplication's setFont(), not QApplication's, which would drop the theme's fonts for
// particular kinds of widget.
ScopedApplicationFont::ScopedApplicationFont(const QFont &font)
    : m_previous(QGuiApplication::font())
{
    QGuiApplication::setFont(font);
}

ScopedApplicationFont::~ScopedApplicationFont()
{
    QGuiApplication::setFont(m_previous);
}
