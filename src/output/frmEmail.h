#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace snaplorn {
class Mailer;
class MessageService;
} // namespace snaplorn

// The program's own small e-mail window, used where no mail program is set
// up: recipient, subject and message, with the picture file attached, sent
// through the system's mail transport. The window stays responsive while the
// transport works; a refused send leaves it open with everything typed, and
// Cancel during a send stops it.
class frmEmail : public QDialog
{
    Q_OBJECT
public:
    frmEmail(snaplorn::Mailer& mailer, snaplorn::MessageService& messages, QString attachmentPath,
             QWidget* parent = nullptr);

    const QString& attachmentPath() const { return m_attachmentPath; }
    // The recipients of the message sent, once the window was accepted.
    const QString& sentTo() const { return m_sentTo; }
    bool isSending() const { return m_sending; }

    void cmdSend_Click();
    void cmdCancel_Click();

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void centreOnScreen();
    void tell(const QString& text);
    void setSending(bool sending);

    snaplorn::Mailer& m_mailer;
    snaplorn::MessageService& m_messages;
    QString m_attachmentPath;
    QString m_sentTo;
    bool m_centred = false;
    bool m_sending = false;

    QLineEdit* txtTo = nullptr;
    QLineEdit* txtSubject = nullptr;
    QPlainTextEdit* txtBody = nullptr;
    QLabel* lblAttach = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdCancel = nullptr;
};
