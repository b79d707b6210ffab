#pragma once

#include <QFont>

// Makes a font the application's default for as long as it lives, then puts the previous one
// back. Only the default changes: the platform theme's fonts for particular kinds of widget
// stay. Widgets built meanwhile that take their font from the default keep the one they took.
class ScopedApplicationFont
{
public:
    explicit ScopedApplicationFont(const QFont &font);
    ~ScopedApplicationFont();

    ScopedApplicationFont(const ScopedApplicationFont &) = delete;
    ScopedApplicationFont &operator=(const ScopedApplicationFont &) = delete;

private:
    QFont m_previous;
};
