#pragma once
#include "platform/Mailer.h"

#include <QFile>
#include <QList>

namespace snaplorn {

// Stand-in for tests: answers compose and send as scripted and records
// each request, with the attachment's bytes at the time of the call.
class FakeMailer : public Mailer
{
public:
    struct Composed {
        QString subject;
        QString attachmentFile;
        QByteArray attachment;
    };
    struct Sent {
        MailMessage message;
        QByteArray attachment;
    };

    ComposeOutcome compose(const QString& subject, const QString& attachmentFile) override
    {
        composed.append({subject, attachmentFile, readFile(attachmentFile)});
        return composeAnswer;
    }
    Result send(const MailMessage& message) override
    {
        sent.append({message, readFile(message.attachmentPath)});
        return sendFailure.isEmpty() ? Result::success() : Result::failure(sendFailure);
    }

    ComposeOutcome composeAnswer{Compose::NoClient, QString()};
    QString sendFailure;
    QList<Composed> composed;
    QList<Sent> sent;

private:
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace snaplorn
