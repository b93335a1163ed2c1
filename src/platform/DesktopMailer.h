#pragma once
#include "platform/Mailer.h"

namespace snaplorn {

// E-mail on a freedesktop system: the user's mail program through
// xdg-email, and direct sending through the system's mail transport
// (`sendmail -t -oi`, which Postfix, Exim, msmtp and nullmailer provide).
class DesktopMailer : public Mailer
{
public:
    explicit DesktopMailer(QString composeProgram = QStringLiteral("xdg-email"),
                           QString transportProgram = QStringLiteral("sendmail"))
        : m_composeProgram(std::move(composeProgram)),
          m_transportProgram(std::move(transportProgram))
    {
    }

    void compose(const QString& subject, const QString& attachmentFile, QObject* context,
                 ComposeDone done) override;
    void send(const MailMessage& message, QObject* context, SendDone done) override;

    // xdg-email returns once the mail program has the message, unless the
    // program runs in the foreground: after this long it is left running.
    static constexpr int ComposeWaitMs = 10000;
    static constexpr int SendTimeoutMs = 60000;
    void setComposeWait(int milliseconds) { m_composeWaitMs = milliseconds; }

private:
    int m_composeWaitMs = ComposeWaitMs;
    QString m_composeProgram;
    QString m_transportProgram;
};

} // namespace snaplorn
