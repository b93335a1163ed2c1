#pragma once
#include "platform/MessageService.h"

#include <QStringList>

namespace snaplorn {

// For system tests of the real program: with SNAPLORN_MESSAGE_LOG set, every
// message is appended to that file as one line (icon, buttons, caption, text
// with CR and LF escaped) and answered without a window, from the
// comma-separated answers in SNAPLORN_MESSAGE_ANSWERS (ok, yes, no, cancel)
// or else with the cautious answer of the button set.
class LoggingMessageService : public MessageService
{
public:
    LoggingMessageService(QString logPath, const QString& answers);
    MsgAnswer ask(QWidget* parent, const Message& message) override;

    static QString formatLine(const Message& message);

private:
    QString m_logPath;
    QStringList m_answers;
};

} // namespace snaplorn
