#include "platform/DesktopMailer.h"

#include "base/Texts.h"
#include "platform/ToolProcess.h"

#include <QDateTime>
#include <QFile>

namespace snaplorn {

namespace {

// xdg-email's exit codes for "no mail program" (a tool it needs is
// missing, or the action failed).
bool meansNoClient(int exitCode)
{
    return exitCode == 3 || exitCode == 4;
}

} // namespace

Mailer::ComposeOutcome DesktopMailer::compose(const QString& subject, const QString& attachmentFile)
{
    const QString program = findProgram(m_composeProgram);
    if (program.isEmpty())
        return {Compose::NoClient, QString()};
    const ToolRun run = runTool(program,
                                {QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                                 QStringLiteral("--attach"), attachmentFile},
                                m_composeWaitMs, QByteArray(), true);
    if (!run.started)
        return {Compose::NoClient, QString()};
    if (!run.finished || run.exitCode == 0)
        return {Compose::Opened, QString()};
    if (meansNoClient(run.exitCode))
        return {Compose::NoClient, QString()};
    QString reason = run.diagnostics();
    if (reason.isEmpty())
        reason = QString::fromUtf8(texts::EmailClientExitCode).arg(run.exitCode);
    return {Compose::Failed, QString::fromUtf8(texts::EmailClientFailed).arg(reason)};
}

Result DesktopMailer::send(const MailMessage& message)
{
    const auto recipients = parseAddressList(message.to);
    if (!recipients)
        return Result::failure(
            QString::fromUtf8(texts::EmailBadAddress).arg(firstInvalidAddress(message.to)));
    QFile attachment(message.attachmentPath);
    if (!attachment.open(QIODevice::ReadOnly))
        return Result::failure(
            QString::fromUtf8(texts::MailAttachmentUnreadable).arg(message.attachmentPath));
    const MimeEnvelope envelope{*recipients, attachment.readAll(), newMimeBoundary(),
                                QDateTime::currentDateTime()};
    // sendmail reads a message in the local form, with plain line feeds.
    QByteArray mail = buildMimeMessage(message, envelope);
    mail.replace("\r\n", "\n");

    const QString program = findProgram(m_transportProgram);
    if (program.isEmpty())
        return Result::failure(QString::fromUtf8(texts::MailTransportMissing));
    const ToolRun run =
        runTool(program, {QStringLiteral("-t"), QStringLiteral("-oi")}, SendTimeoutMs, mail);
    if (!run.started)
        return Result::failure(QString::fromUtf8(texts::MailTransportWontStart).arg(program));
    if (!run.finished)
        return Result::failure(
            QString::fromUtf8(texts::MailSendTimedOut).arg(SendTimeoutMs / 1000));
    if (run.exitCode != 0)
        return Result::failure(
            QString::fromUtf8(texts::MailSendFailed).arg(run.exitCode).arg(run.diagnostics()));
    return Result::success();
}

} // namespace snaplorn
