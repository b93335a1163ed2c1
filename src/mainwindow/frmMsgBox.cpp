#include "mainwindow/frmMsgBox.h"

#include "base/Texts.h"
#include "mainwindow/Icons.h"
#include "platform/MessageService.h"
#include "platform/Shell.h"
#include "settings/Registry.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>

using namespace snaplorn;

namespace {

// The message area is at least this wide, however short the text.
constexpr int MinimumTextWidth = 320;

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
    lblMsg->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblMsg->setTextInteractionFlags(Qt::TextSelectableByMouse);
    scrMsg = new QScrollArea(this);
    scrMsg->setObjectName(QStringLiteral("scrMsg"));
    scrMsg->setFrameShape(QFrame::NoFrame);
    scrMsg->setWidgetResizable(true);
    scrMsg->setWidget(lblMsg);
    chkBlock = new QCheckBox(this);
    chkBlock->setObjectName(QStringLiteral("chkBlock"));
    Label1 = new QLabel(QString::fromUtf8(texts::MsgBoxBlockLabel), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->installEventFilter(this); // the label ticks the box too
    chkBlock->setAccessibleName(Label1->text());
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
    top->addWidget(scrMsg, 1);
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
    fitMessageArea();
    adjustSize();
    show();
    raise();
}

// The message area takes the text's own size, at least MinimumTextWidth
// wide and at most half the screen each way; a longer text scrolls. Placed
// a third of the way down and across, the box then stays on the screen.
void frmMsgBox::fitMessageArea()
{
    QRect screen(0, 0, 1024, 768);
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        screen = primary->availableGeometry();
    const int maxWidth = std::max(MinimumTextWidth, screen.width() / 2);
    const int maxHeight = std::max(lblMsg->fontMetrics().lineSpacing() * 3, screen.height() / 2);
    const QMargins margins = lblMsg->contentsMargins();
    const int extra = margins.left() + margins.right() + 2 * lblMsg->margin();
    const QRect natural = lblMsg->fontMetrics().boundingRect(
        QRect(0, 0, maxWidth - extra, INT_MAX / 2),
        Qt::TextWordWrap | Qt::TextExpandTabs | Qt::AlignLeft | Qt::AlignTop, lblMsg->text());
    const int width = std::clamp(natural.width() + extra, MinimumTextWidth, maxWidth);
    const int height = lblMsg->heightForWidth(width);
    const bool scrolls = height > maxHeight;
    const int bar = scrolls ? scrMsg->verticalScrollBar()->sizeHint().width() : 0;
    scrMsg->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    scrMsg->setFixedSize(width + bar, std::min(std::max(height, 0), maxHeight));
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
