#include "resultbox.h"

#include <QInputMethodEvent>

ResultBox::ResultBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    setTabChangesFocus(true);
    // An edit that did not come from showText() is put right once the editor has finished
    // with the document, never from inside its change.
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_writing) {
            QMetaObject::invokeMethod(this, &ResultBox::restoreText, Qt::QueuedConnection);
        }
    });
}

void ResultBox::showText(const QString &text)
{
    m_text = text;
    m_writing = true;
    setPlainText(text);
    m_writing = false;
}

void ResultBox::restoreText()
{
    if (toPlainText() != m_text) {
        showText(m_text);
    }
}

QVariant ResultBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    return query == Qt::ImEnabled ? QVariant(false) : QPlainTextEdit::inputMethodQuery(query);
}

void ResultBox::inputMethodEvent(QInputMethodEvent *event)
{
    event->ignore();
}
