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
// through the system's mail transport. A refused send leaves the window
// open with everything typed.
class frmEmail : public QDialog
{
    Q_OBJECT
public:
    frmEmail(snaplorn::Mailer& mailer, snaplorn::MessageService& messages, QString attachmentPath,
             QWidget* parent = nullptr);

    const QString& attachmentPath() const { return m_attachmentPath; }

    void cmdSend_Click();
    void cmdCancel_Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void centreOnScreen();
    void tell(const QString& text);

    snaplorn::Mailer& m_mailer;
    snaplorn::MessageService& m_messages;
    QString m_attachmentPath;
    bool m_centred = false;

    QLineEdit* txtTo = nullptr;
    QLineEdit* txtSubject = nullptr;
    QPlainTextEdit* txtBody = nullptr;
    QLabel* lblAttach = nullptr;
    QPushButton* cmdSend = nullptr;
    QPushButton* cmdCancel = nullptr;
};
