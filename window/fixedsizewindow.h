#pragma once

#include <QObject>
#include <QSize>

class QWidget;

// Keeps a window of one size in its normal state. Where the title bar is drawn by Qt itself (on
// Wayland without server-side decorations) it offers maximise whatever the window's flags say,
// and a compositor may then demand a maximised size the surface has to take: refusing it is a
// protocol error that ends the program. So while such a request is under way the window may
// take any size; once it is maximised or full screen it is put back into its normal state, and
// then its one size is restored.
class FixedSizeWindow : public QObject
{
    Q_OBJECT
public:
    // Watches window, a top-level widget of fixed size; owned by it.
    explicit FixedSizeWindow(QWidget *window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void stateRequested(Qt::WindowState state);
    void stateChanged();

    QWidget *m_window;
    QSize m_size;
};
