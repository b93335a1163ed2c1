#include "platform/LoggingMessageService.h"

#include "platform/ScriptedMessageService.h"

#include <QFile>

namespace snaplorn {

namespace {

const char* iconName(MsgIcon icon)
{
    switch (icon) {
    case MsgIcon::Information:
        return "information";
    case MsgIcon::Exclamation:
        return "exclamation";
    case MsgIcon::Critical:
        return "critical";
    case MsgIcon::Question:
        return "question";
    case MsgIcon::None:
        break;
    }
    return "none";
}

const char* buttonsName(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OkCancel:
        return "okcancel";
    case MsgButtons::YesNo:
        return "yesno";
    case MsgButtons::YesNoCancel:
        return "yesnocancel";
    case MsgButtons::Ok:
        break;
    }
    return "ok";
}

} // namespace

LoggingMessageService::LoggingMessageService(QString logPath, const QString& answers)
    : m_logPath(std::move(logPath)), m_answers(answers.split(QLatin1Char(','), Qt::SkipEmptyParts))
{
}

QString LoggingMessageService::formatLine(const Message& message)
{
    QString text = message.text;
    text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return QStringLiteral("%1|%2|%3|%4")
        .arg(QLatin1String(iconName(message.icon)), QLatin1String(buttonsName(message.buttons)),
             captionOrAppTitle(message.caption), text);
}

MsgAnswer LoggingMessageService::ask(QWidget*, const Message& message)
{
    QFile log(m_logPath);
    if (log.open(QIODevice::Append | QIODevice::Text)) {
        log.write(formatLine(message).toUtf8() + '\n');
        log.close();
    }
    if (m_answers.isEmpty())
        return ScriptedMessageService::cautiousAnswer(message.buttons);
    const QString answer = m_answers.takeFirst().trimmed().toLower();
    if (answer == QLatin1String("yes"))
        return MsgAnswer::Yes;
    if (answer == QLatin1String("no"))
        return MsgAnswer::No;
    if (answer == QLatin1String("cancel"))
        return MsgAnswer::Cancel;
    return MsgAnswer::Ok;
}

} // namespace snaplorn
