#include "output/frmEmail.h"

#include "base/Texts.h"
#include "platform/MailAddress.h"
#include "platform/Mailer.h"
#include "platform/MessageService.h"
#include "platform/MimeMessage.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

using namespace snaplorn;

frmEmail::frmEmail(Mailer& mailer, MessageService& messages, QString attachmentPath,
                   QWidget* parent)
    : QDialog(parent), m_mailer(mailer), m_messages(messages),
      m_attachmentPath(std::move(attachmentPath))
{
    setObjectName(QStringLiteral("frmEmail"));
    setWindowTitle(QString::fromUtf8(texts::EmailCaption));
    setModal(true);
    buildControls();
    lblAttach->setText(QString::fromUtf8(texts::EmailAttachmentShown));
    txtSubject->setText(
        QString::fromUtf8(texts::EmailDefaultSubject).arg(QString::fromUtf8(texts::WebAddress)));
    txtSubject->setCursorPosition(0); // the subject shows from its beginning
    resize(460, 340);
}

void frmEmail::buildControls()
{
    auto named = [this](auto* widget, const char* name) {
        widget->setObjectName(QLatin1String(name));
        return widget;
    };
    txtTo = named(new QLineEdit(this), "txtTo");
    txtSubject = named(new QLineEdit(this), "txtSubject");
    txtBody = named(new QPlainTextEdit(this), "txtBody");
    txtBody->setTabChangesFocus(true);
    lblAttach = named(new QLabel(this), "lblAttach");
    cmdSend = named(new QPushButton(QString::fromUtf8(texts::EmailSend), this), "cmdSend");
    cmdCancel = named(new QPushButton(QString::fromUtf8(texts::EmailCancel), this), "cmdCancel");
    cmdSend->setDefault(true);
    connect(cmdSend, &QPushButton::clicked, this, &frmEmail::cmdSend_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEmail::cmdCancel_Click);

    // Each field is named by its label for assistive tools.
    auto label = [this](const char* caption, QWidget* field) {
        auto* shown = new QLabel(QString::fromUtf8(caption), this);
        shown->setBuddy(field);
        return shown;
    };
    auto* grid = new QGridLayout(this);
    grid->addWidget(label(texts::EmailToLabel, txtTo), 0, 0);
    grid->addWidget(txtTo, 0, 1);
    grid->addWidget(label(texts::EmailSubjectLabel, txtSubject), 1, 0);
    grid->addWidget(txtSubject, 1, 1);
    grid->addWidget(label(texts::EmailMessageLabel, txtBody), 2, 0, Qt::AlignTop);
    grid->addWidget(txtBody, 2, 1);
    grid->addWidget(new QLabel(QString::fromUtf8(texts::EmailAttachmentLabel), this), 3, 0);
    grid->addWidget(lblAttach, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSend);
    buttons->addWidget(cmdCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);
    grid->setRowStretch(2, 1);
}

void frmEmail::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        centreOnScreen();
    }
}

void frmEmail::centreOnScreen()
{
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (!screen)
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void frmEmail::tell(const QString& text)
{
    m_messages.tell(this, text, MsgIcon::Exclamation);
}

void frmEmail::setSending(bool sending)
{
    m_sending = sending;
    cmdSend->setEnabled(!sending);
    for (QLineEdit* box : {txtTo, txtSubject})
        box->setReadOnly(sending);
    txtBody->setReadOnly(sending);
    if (sending)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

void frmEmail::cmdSend_Click()
{
    if (m_sending)
        return;
    const QString to = txtTo->text();
    if (to.trimmed().isEmpty()) {
        tell(QString::fromUtf8(texts::EmailEnterAddress));
        txtTo->setFocus();
        return;
    }
    if (!parseAddressList(to)) {
        tell(QString::fromUtf8(texts::EmailBadAddress).arg(firstInvalidAddress(to)));
        txtTo->setFocus();
        return;
    }
    const QString tag =
        QString::fromUtf8(texts::EmailTag).arg(QString::fromUtf8(texts::WebAddress));
    const MailMessage message{to, txtSubject->text(), mailTextWithTag(txtBody->toPlainText(), tag),
                              m_attachmentPath, QString::fromUtf8(texts::EmailAttachmentFile)};
    setSending(true);
    // Closing the window ends this object and with it a send still running.
    m_mailer.send(message, this, [this, to](const Result& sent) {
        if (!m_sending) // the window was closed meanwhile
            return;
        setSending(false);
        if (!sent) {
            tell(sent.message);
            return;
        }
        m_sentTo = to.trimmed();
        accept();
    });
}

void frmEmail::cmdCancel_Click()
{
    reject();
}

void frmEmail::done(int result)
{
    // An answer still to come belongs to a window that is closed.
    m_sending = false;
    QDialog::done(result);
}
