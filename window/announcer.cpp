#include "announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

#include <utility>

namespace {

QAccessibleInterface *announcerAsNotification(const QString &className, QObject *object)
{
    if (className != QLatin1String(Announcer::staticMetaObject.className()) ||
        !object->isWidgetType()) {
        return nullptr;
    }
    return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
}

} // namespace

Announcer::Announcer(QWidget *source, QWidget *window)
    : QWidget(window)
    , m_source(source)
{
    registerRole();
    setObjectName(QStringLiteral("Announcer"));
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Announcer::registerRole()
{
    static const bool registered = [] {
        QAccessible::installFactory(announcerAsNotification);
        return true;
    }();
    Q_UNUSED(registered)
}

void Announcer::announce(const QString &words)
{
    if (words.isEmpty()) {
        return;
    }
    if (m_pending.isEmpty()) {
        QMetaObject::invokeMethod(this, &Announcer::sayPending, Qt::QueuedConnection);
    }
    m_pending = words;
}

void Announcer::sayPending()
{
    const auto words = std::exchange(m_pending, QString());
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(m_source, words);
    event.setPoliteness(QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    // Named while hidden, so that the name change goes unsaid; shown again, so that the same
    // words are said again.
    setAccessibleName(words);
    hide();
    show();
#endif
    emit said(words);
}
