#include "mainwindow/frmMsgBox.h"

#include "settings/Registry.h"
#include "base/Texts.h"
#include "mainwindow/Icons.h"
#include "platform/MessageService.h"
#include "platform/Shell.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

using namespace snaplorn;

namespace {

bool isWebAddress(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

} // namespace

frmMsgBox::frmMsgBox(Registry& registry, MessageService& messages, Shell& shell, QWidget* parent)
    : QDialog(parent), m_registry(registry), m_messages(messages), m_shell(shell)
{
    setObjectName(QStringLiteral("frmMsgBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setWindowTitle(QString::fromUtf8(texts::MsgBoxDesignCaption));
    buildControls();
    adjustSize();
    // Placed a third of the way across and down the screen, whatever its size.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + area.width() / 3, area.y() + area.height() / 3);
    }
}

void frmMsgBox::buildControls()
{
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(applicationIcon().pixmap(32, 32));
    Image1->setAlignment(Qt::AlignTop);
    lblMsg = new QLabel(QString::fromUtf8(texts::MsgBoxDesignText), this);
    lblMsg->setObjectName(QStringLiteral("lblMsg"));
    lblMsg->setTextFormat(Qt::PlainText); // text from the network is never markup
    lblMsg->setWordWrap(true);
    lblMsg->setMinimumWidth(320);
    lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    chkBlock = new QCheckBox(this);
    chkBlock->setObjectName(QStringLiteral("chkBlock"));
    Label1 = new QLabel(QString::fromUtf8(texts::MsgBoxBlockLabel), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->installEventFilter(this); // the label ticks the box too
    cmdClose = new QPushButton(QString::fromUtf8(texts::MsgBoxOk), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdYes = new QPushButton(QString::fromUtf8(texts::MsgBoxYes), this);
    cmdYes->setObjectName(QStringLiteral("cmdYes"));
    cmdNo = new QPushButton(QString::fromUtf8(texts::MsgBoxNo), this);
    cmdNo->setObjectName(QStringLiteral("cmdNo"));
    connect(cmdClose, &QPushButton::clicked, this, &frmMsgBox::closeByButton);
    connect(cmdNo, &QPushButton::clicked, this, &frmMsgBox::closeByButton);
    connect(cmdYes, &QPushButton::clicked, this, &frmMsgBox::cmdYes_Click);
    connect(chkBlock, &QCheckBox::clicked, this, &frmMsgBox::chkBlock_Click);

    auto* top = new QHBoxLayout;
    top->addWidget(Image1);
    top->addWidget(lblMsg, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(chkBlock);
    bottom->addWidget(Label1);
    bottom->addStretch(1);
    for (QPushButton* button : {cmdClose, cmdYes, cmdNo})
        bottom->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
}

void frmMsgBox::ShowMsg(const QString& ID, const QString& Msg, const QString& URL,
                        const QString& Btn, const QString& sTitle)
{
    lblMsg->setText(Msg);
    setWindowTitle(sTitle);
    m_id = ID;
    m_url = URL;
    const bool yesNo = Btn.toUpper() == QLatin1String("YN");
    cmdClose->setVisible(!yesNo);
    cmdYes->setVisible(yesNo);
    cmdNo->setVisible(yesNo);
    (yesNo ? cmdYes : cmdClose)->setDefault(true);
    adjustSize();
    show();
    raise();
}

void frmMsgBox::cmdYes_Click()
{
    const QUrl url(m_url.trimmed());
    // Only web pages are opened; an address of another kind from the
    // network could start a local program or file.
    if (isWebAddress(url))
        m_shell.openUrl(url);
    else
        m_messages.tell(this, QString::fromUtf8(texts::MsgBoxAddressRefused).arg(m_url));
    closeByButton();
}

void frmMsgBox::closeByButton()
{
    BlockRequested = chkBlock->isChecked() ? 1 : 0;
    close();
}

void frmMsgBox::chkBlock_Click(bool checked)
{
    if (checked)
        m_messages.tell(this, QString::fromUtf8(texts::MsgBoxBlockNote), MsgIcon::Information);
}

void frmMsgBox::reject()
{
    close(); // Escape is the close box: nothing is stored
}

void frmMsgBox::closeEvent(QCloseEvent* event)
{
    if (BlockRequested == 1)
        storeBlockedId();
    event->accept();
}

void frmMsgBox::storeBlockedId()
{
    const QString key = QString::fromLatin1(SettingsKey);
    if (!m_registry.keyExists(key))
        m_registry.createKey(key);
    RegWriteString(m_registry, RegRoot::LocalMachine, key, QStringLiteral("HideMsgID"), m_id);
}

bool frmMsgBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label1 && event->type() == QEvent::MouseButtonRelease) {
        chkBlock->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
