#include "fixedsizewindow.h"

#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

constexpr Qt::WindowStates enlarged = Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

FixedSizeWindow::FixedSizeWindow(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_size(window->minimumSize())
{
    window->installEventFilter(this);
}

bool FixedSizeWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *handle = m_window->windowHandle();
    if (watched == m_window && event->type() == QEvent::Show && handle != nullptr) {
        // QWindow tells of a state it asked the platform for before the platform answers; the
        // platform's answer comes as a spontaneous state change of the QWindow.
        connect(handle, &QWindow::windowStateChanged, this, &FixedSizeWindow::stateRequested,
                Qt::UniqueConnection);
        handle->removeEventFilter(this);
        handle->installEventFilter(this);
    } else if (watched == handle && event->type() == QEvent::WindowStateChange &&
               event->spontaneous()) {
        stateChanged();
    }
    return QObject::eventFilter(watched, event);
}

void FixedSizeWindow::stateRequested(Qt::WindowState state)
{
    if ((enlarged & state) != 0) {
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void FixedSizeWindow::stateChanged()
{
    if ((m_window->windowHandle()->windowStates() & enlarged) != 0) {
        // Not from inside the platform's own state change: once it is done.
        QMetaObject::invokeMethod(
            m_window, [this] { m_window->setWindowState(m_window->windowState() & ~enlarged); },
            Qt::QueuedConnection);
    } else if (m_window->maximumSize() != m_size) {
        m_window->setFixedSize(m_size);
    }
}
