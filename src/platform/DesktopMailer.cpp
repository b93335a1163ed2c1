#include "platform/DesktopMailer.h"

#include "base/Texts.h"
#include "platform/ToolProcess.h"

#include <QDateTime>
#include <QFile>
#include <QPointer>
#include <QTimer>

namespace snaplorn {

namespace {

// xdg-email's exit codes for "no mail program" (a tool it needs is
// missing, or the action failed).
bool meansNoClient(int exitCode)
{
    return exitCode == 3 || exitCode == 4;
}

Mailer::ComposeOutcome composeOutcome(const ToolRun& run)
{
    if (!run.started)
        return {Mailer::Compose::NoClient, QString()};
    if (!run.finished || run.exitCode == 0)
        return {Mailer::Compose::Opened, QString()};
    if (meansNoClient(run.exitCode))
        return {Mailer::Compose::NoClient, QString()};
    QString reason = run.diagnostics();
    if (reason.isEmpty())
        reason = QString::fromUtf8(texts::EmailClientExitCode).arg(run.exitCode);
    return {Mailer::Compose::Failed, QString::fromUtf8(texts::EmailClientFailed).arg(reason)};
}

Result sendOutcome(const QString& program, const ToolRun& run)
{
    if (!run.started)
        return Result::failure(QString::fromUtf8(texts::MailTransportWontStart).arg(program));
    if (!run.finished)
        return Result::failure(
            QString::fromUtf8(texts::MailSendTimedOut).arg(DesktopMailer::SendTimeoutMs / 1000));
    if (run.exitCode != 0)
        return Result::failure(
            QString::fromUtf8(texts::MailSendFailed).arg(run.exitCode).arg(run.diagnostics()));
    return Result::success();
}

// Answers that are known before any program runs still come from the event
// loop, as every other answer does.
template <typename Outcome>
void answerLater(QObject* context, std::function<void(const Outcome&)> done, Outcome outcome)
{
    QPointer<QObject> guard(context);
    const bool hasContext = context != nullptr;
    QTimer::singleShot(0, [guard, hasContext, done = std::move(done), outcome] {
        if (!hasContext || guard)
            done(outcome);
    });
}

} // namespace

void DesktopMailer::compose(const QString& subject, const QString& attachmentFile, QObject* context,
                            ComposeDone done)
{
    const QString program = findProgram(m_composeProgram);
    if (program.isEmpty()) {
        answerLater(context, std::move(done), ComposeOutcome{Compose::NoClient, QString()});
        return;
    }
    startTool(program,
              {QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
               QStringLiteral("--attach"), attachmentFile},
              m_composeWaitMs, QByteArray(), true, context,
              [done = std::move(done)](const ToolRun& run) { done(composeOutcome(run)); });
}

void DesktopMailer::send(const MailMessage& message, QObject* context, SendDone done)
{
    const auto recipients = parseAddressList(message.to);
    if (!recipients) {
        answerLater(
            context, std::move(done),
            Result::failure(
                QString::fromUtf8(texts::EmailBadAddress).arg(firstInvalidAddress(message.to))));
        return;
    }
    QFile attachment(message.attachmentPath);
    if (!attachment.open(QIODevice::ReadOnly)) {
        answerLater(
            context, std::move(done),
            Result::failure(
                QString::fromUtf8(texts::MailAttachmentUnreadable).arg(message.attachmentPath)));
        return;
    }
    const MimeEnvelope envelope{*recipients, attachment.readAll(), newMimeBoundary(),
                                QDateTime::currentDateTime()};
    // sendmail reads a message in the local form, with plain line feeds.
    QByteArray mail = buildMimeMessage(message, envelope);
    mail.replace("\r\n", "\n");

    const QString program = findProgram(m_transportProgram);
    if (program.isEmpty()) {
        answerLater(context, std::move(done),
                    Result::failure(QString::fromUtf8(texts::MailTransportMissing)));
        return;
    }
    startTool(
        program, {QStringLiteral("-t"), QStringLiteral("-oi")}, SendTimeoutMs, mail, false, context,
        [program, done = std::move(done)](const ToolRun& run) { done(sendOutcome(program, run)); });
}

} // namespace snaplorn
