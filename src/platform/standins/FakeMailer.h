#pragma once
#include "platform/Mailer.h"

#include <QFile>
#include <QList>
#include <QPointer>

#include <utility>

namespace snaplorn {

// Stand-in for tests: answers compose and send as scripted and records
// each request, with the attachment's bytes at the time of the call. The
// answer comes at once, or, with `holdAnswers`, when answerHeld() is called,
// as a mail program that takes its time would give it.
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

    void compose(const QString& subject, const QString& attachmentFile, QObject* context,
                 ComposeDone done) override
    {
        composed.append({subject, attachmentFile, readFile(attachmentFile)});
        answer(context, [done, outcome = composeAnswer] { done(outcome); });
    }
    void send(const MailMessage& message, QObject* context, SendDone done) override
    {
        sent.append({message, readFile(message.attachmentPath)});
        const Result outcome =
            sendFailure.isEmpty() ? Result::success() : Result::failure(sendFailure);
        answer(context, [done, outcome] { done(outcome); });
    }

    // Gives the answers held back so far, oldest first; those whose context
    // is gone are dropped.
    void answerHeld()
    {
        const QList<Held> answers = std::exchange(held, {});
        for (const Held& h : answers)
            if (!h.hasContext || h.context)
                h.give();
    }

    ComposeOutcome composeAnswer{Compose::NoClient, QString()};
    QString sendFailure;
    bool holdAnswers = false;
    QList<Composed> composed;
    QList<Sent> sent;

private:
    struct Held {
        QPointer<QObject> context;
        bool hasContext;
        std::function<void()> give;
    };
    QList<Held> held;

    void answer(QObject* context, std::function<void()> give)
    {
        if (holdAnswers)
            held.append({context, context != nullptr, std::move(give)});
        else
            give();
    }
    static QByteArray readFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

} // namespace snaplorn
