#include "tools/TextEntry.h"

#include "tools/raster.h"

#include <QFocusEvent>
#include <QKeyEvent>

TextEntry::TextEntry(QWidget* canvas) : QPlainTextEdit(canvas)
{
    setObjectName(QStringLiteral("txtText"));
    setFont(snaplorn::textEntryFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setTabChangesFocus(true);
    hide();
}

void TextEntry::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        emit finished();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextEntry::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    emit finished();
}
