#pragma once

#include <QWidget>

// Tells a screen reader, politely, what just happened away from the focus: the report a choice
// wrote into the result box. With Qt 6.8 and later an announcement event on the box; with older
// Qt, which has none, this small widget of the window takes its place: assistive technology
// sees it as a notification, named with the words, that is shown anew for each announcement
// (Orca speaks a notification when it is shown). It draws nothing and never takes the focus;
// with Qt 6.8 it stays hidden.
class Announcer : public QWidget
{
    Q_OBJECT
public:
    // `source` is the control the announcements are about.
    Announcer(QWidget *source, QWidget *window);

    // Announces `words`, also when they are the same as the last ones, once control returns to
    // the event loop: after the chosen control's own focus and state changes, so that a screen
    // reader says the control first, and a key pressed meanwhile cuts off only the report. Of
    // several words given before then, only the last are said.
    void announce(const QString &words);

    // Makes assistive technology see every Announcer as a notification; idempotent.
    static void registerRole();

signals:
    // The words have just been handed to assistive technology.
    void said(const QString &words);

private:
    void sayPending();

    QWidget *m_source;
    QString m_pending;
};
