#include "mainwindow/frmAbout.h"

#include "base/Texts.h"
#include "mainwindow/Icons.h"
#include "platform/MessageService.h"
#include "platform/Shell.h"

#include <QEnterEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

using namespace snaplorn;

namespace {

QColor fromColorRef(quint32 colorRef)
{
    return QColor(int(colorRef & 0xFF), int((colorRef >> 8) & 0xFF), int((colorRef >> 16) & 0xFF));
}

QLabel* makeLabel(const char* text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

frmAbout::frmAbout(Shell& shell, MessageService& messages, QWidget* parent)
    : QDialog(parent), m_shell(shell), m_messages(messages)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QString::fromUtf8(texts::AboutCaption));
    setWindowIcon(applicationIcon());
    buildControls();
    setLinkHovered(false);
    layout()->activate();
    setFixedSize(sizeHint());
    centreOnScreen();
}

void frmAbout::buildControls()
{
    picLogo = new QLabel(this);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(applicationIcon().pixmap(64, 64));
    picLogo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lblProduct = makeLabel(texts::AboutProduct, "lblProduct", this);
    QFont productFont = lblProduct->font();
    productFont.setBold(true);
    productFont.setPointSizeF(productFont.pointSizeF() * 1.4);
    lblProduct->setFont(productFont);
    lblVersion = makeLabel(texts::AboutVersion, "lblVersion", this);
    lblMaker = makeLabel(texts::AboutMaker, "lblMaker", this);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFrameShape(QFrame::StyledPanel);
    Frame1->setFrameShadow(QFrame::Sunken);
    lblLink = makeLabel(texts::WebAddress, "lblLink", Frame1);
    QFont linkFont = lblLink->font();
    linkFont.setUnderline(true);
    lblLink->setFont(linkFont);
    lblLink->setCursor(Qt::PointingHandCursor);
    lblLink->setFocusPolicy(Qt::TabFocus);
    lblNotice = makeLabel(texts::AboutNotice, "lblNotice", Frame1);
    lblNotice->setWordWrap(true);

    cmdOK = new QPushButton(QString::fromUtf8(texts::AboutClose), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* frameLayout = new QVBoxLayout(Frame1);
    frameLayout->addWidget(lblLink);
    frameLayout->addWidget(lblNotice);

    auto* names = new QVBoxLayout;
    names->addWidget(lblProduct);
    names->addWidget(lblVersion);
    names->addWidget(lblMaker);
    names->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(picLogo);
    top->addSpacing(12);
    top->addLayout(names, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdOK);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(top);
    outer->addWidget(Frame1);
    outer->addLayout(buttons);
    lblNotice->setMinimumWidth(340);

    // Moves over the box and its frame arrive without a button pressed only
    // with tracking on; the link tracks too, so its own moves stop there.
    setMouseTracking(true);
    Frame1->setMouseTracking(true);
    lblLink->setMouseTracking(true);
    Frame1->installEventFilter(this);
    lblLink->installEventFilter(this);
}

void frmAbout::centreOnScreen()
{
    QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
}

QColor frmAbout::linkColor() const
{
    return lblLink->palette().color(QPalette::WindowText);
}

void frmAbout::setLinkHovered(bool hovered)
{
    const QColor colour = fromColorRef(hovered ? LinkHoverColor : LinkNormalColor);
    if (linkColor() == colour && lblLink->testAttribute(Qt::WA_SetPalette))
        return;
    QPalette palette = lblLink->palette();
    palette.setColor(QPalette::WindowText, colour);
    lblLink->setPalette(palette);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lblLink)
        return linkEvent(event);
    if (watched == Frame1 && (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove))
        setLinkHovered(false);
    return QDialog::eventFilter(watched, event);
}

// Events of the link label: hover colour, click and keyboard activation.
bool frmAbout::linkEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove:
        setLinkHovered(true);
        return event->type() == QEvent::MouseMove;
    case QEvent::Leave:
        setLinkHovered(false);
        return false;
    case QEvent::MouseButtonPress:
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (lblLink->rect().contains(mouse->position().toPoint()))
            openLink();
        return true;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space)
            return false;
        openLink();
        return true;
    }
    default:
        return false;
    }
}

void frmAbout::enterEvent(QEnterEvent* event)
{
    setLinkHovered(false);
    QDialog::enterEvent(event);
}

void frmAbout::mouseMoveEvent(QMouseEvent* event)
{
    setLinkHovered(false);
    QDialog::mouseMoveEvent(event);
}

void frmAbout::openLink()
{
    const Result result = m_shell.openUrl(QUrl(QString::fromUtf8(texts::WebAddress)));
    if (!result)
        m_messages.tell(this, result.message);
}

void frmAbout::showModal(Shell& shell, MessageService& messages, QWidget* parent)
{
    frmAbout box(shell, messages, parent);
    box.exec();
}

frmAbout* frmAbout::showModeless(Shell& shell, MessageService& messages)
{
    auto* box = new frmAbout(shell, messages, nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->show();
    box->raise();
    box->activateWindow();
    return box;
}
