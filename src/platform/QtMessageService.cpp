#include "platform/QtMessageService.h"

#include "base/Texts.h"

#include <QMessageBox>

namespace snaplorn {

QString captionOrAppTitle(const QString& caption)
{
    return caption.isEmpty() ? QString::fromLatin1(texts::AppTitle) : caption;
}

namespace {

QMessageBox::Icon toQtIcon(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Exclamation:
        return QMessageBox::Warning;
    case MsgIcon::Critical:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQtButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

MsgAnswer QtMessageService::ask(QWidget* parent, const Message& message)
{
    // Message texts use CR LF line breaks; a label shows LF alone.
    QString text = message.text;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(toQtIcon(message.icon), captionOrAppTitle(message.caption), text,
                    toQtButtons(message.buttons), parent);
    box.setTextFormat(Qt::PlainText);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgAnswer::Yes;
    case QMessageBox::No:
        return MsgAnswer::No;
    case QMessageBox::Cancel:
        return MsgAnswer::Cancel;
    case QMessageBox::Ok:
        return MsgAnswer::Ok;
    default:
        break;
    }
    // Closed by the window's close box or Esc: the safe answer of the set.
    return message.buttons == MsgButtons::Ok      ? MsgAnswer::Ok
           : message.buttons == MsgButtons::YesNo ? MsgAnswer::No
                                                  : MsgAnswer::Cancel;
}

} // namespace snaplorn
