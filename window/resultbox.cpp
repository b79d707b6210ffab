#include "resultbox.h"

#include <QInputMethodEvent>
#include <QTextCursor>
#include <QTextDocument>

ResultBox::ResultBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    setTabChangesFocus(true);
    // Nothing is ever undone, and every report would stay on the stack.
    document()->setUndoRedoEnabled(false);
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
    // The old text is replaced in place rather than by setPlainText(): that one reports the
    // document's closing paragraph mark among the removed characters, so assistive technology
    // is told of one character more than the box held (231 for a report of 230), and a screen
    // reader that reads the removed range back from the box asks for a position past its end.
    QTextCursor all(document());
    all.beginEditBlock();
    all.select(QTextCursor::Document);
    all.insertText(text);
    all.endEditBlock();
    moveCursor(QTextCursor::Start);
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
