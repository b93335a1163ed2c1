#include "capture/frmCaptureDesktop.h"

#include "base/Texts.h"
#include "platform/ActiveWindow.h"
#include "platform/Clipboard.h"
#include "platform/PlatformServices.h"
#include "platform/ScreenGrabber.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <cmath>

using namespace snaplorn;

namespace {
// The band must be at least this many pixels apart in both directions.
constexpr int MinimumSpan = 9;
// How often a drag begun before the overlay appeared looks at the pointer.
constexpr int FollowIntervalMs = 15;

constexpr Qt::WindowFlags OverlayFlags = Qt::Window | Qt::FramelessWindowHint |
                                         Qt::WindowStaysOnTopHint |
                                         Qt::X11BypassWindowManagerHint;

// A full-screen window showing `part` of the picture over its whole area:
// picture pixels per window pixel, each way. Where the part has the
// window's size in device pixels (X11; Wayland at Qt's own scale) that is
// the device pixel ratio itself, which the window's size, rounded to whole
// window pixels, would miss by up to a pixel at the far edges.
QSizeF scaleOf(const QRect& part, const QWidget& window)
{
    const QSize size = window.size();
    if (size.isEmpty() || part.isEmpty())
        return {1.0, 1.0};
    const qreal ratio = window.devicePixelRatioF();
    if (qAbs(part.width() - size.width() * ratio) <= ratio / 2 &&
        qAbs(part.height() - size.height() * ratio) <= ratio / 2)
        return {ratio, ratio};
    return {qreal(part.width()) / size.width(), qreal(part.height()) / size.height()};
}

// The pointer is at a whole device pixel; its window position, that pixel
// divided by the scale, may come back a hair below it when multiplied again.
QPointF toPicture(const QRect& part, const QSizeF& scale, const QPointF& p)
{
    constexpr qreal Hair = 1e-6;
    return {std::floor(part.left() + p.x() * scale.width() + Hair),
            std::floor(part.top() + p.y() * scale.height() + Hair)};
}

QRectF toWindow(const QRect& part, const QSizeF& scale, const QRectF& r)
{
    return {(r.left() - part.left()) / scale.width(), (r.top() - part.top()) / scale.height(),
            r.width() / scale.width(), r.height() / scale.height()};
}

QScreen* screenShowing(const ScreenArea& area, const QPoint& origin)
{
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (QScreen* screen : screens)
        if (screen->name() == area.name)
            return screen;
    for (QScreen* screen : screens)
        if (screen->geometry() == area.area.translated(origin))
            return screen;
    return nullptr;
}
} // namespace

// The overlay on a further screen: shows that screen's part of the frozen
// picture and hands its pointer and keys to the overlay, in picture pixels.
class OverlaySheet : public QWidget
{
public:
    OverlaySheet(frmCaptureDesktop& owner, const QRect& part)
        : QWidget(nullptr, OverlayFlags), m_owner(owner), m_part(part)
    {
        setObjectName(QStringLiteral("frmCaptureDesktopSheet"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        setCursor(Qt::CrossCursor);
    }
    const QRect& part() const { return m_part; }
    QSizeF scale() const { return scaleOf(m_part, *this); }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        m_owner.paintPart(*this, m_part, scale(), event->rect());
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->buttons() == Qt::LeftButton)
            m_owner.pressAt(picturePoint(event));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() == Qt::LeftButton)
            m_owner.moveAt(picturePoint(event));
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (isVisible())
            m_owner.releasedAt(picturePoint(event), event->modifiers());
    }
    void keyPressEvent(QKeyEvent* event) override { m_owner.keyPressEvent(event); }

private:
    QPointF picturePoint(const QMouseEvent* event) const
    {
        return toPicture(m_part, scale(), event->scenePosition());
    }

    frmCaptureDesktop& m_owner;
    QRect m_part;
};

frmCaptureDesktop::frmCaptureDesktop(QWidget& mainWindow, PlatformServices& services)
    : QWidget(nullptr, OverlayFlags), m_main(mainWindow), m_services(services)
{
    setObjectName(QStringLiteral("frmCaptureDesktop"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    m_follow = new QTimer(this);
    m_follow->setInterval(FollowIntervalMs);
    connect(m_follow, &QTimer::timeout, this, &frmCaptureDesktop::followTick);
}

// Freezes the screen into the overlay's picture (its load step). The grab
// may be answered later, from the event loop; the capture goes on in the
// answer, and a command that comes meanwhile is ignored.
void frmCaptureDesktop::loadFrozenScreen(std::function<void(const Result&)> then)
{
    if (!m_services.grabber) {
        then(Result::failure(QString::fromUtf8(texts::CaptureUnavailable)));
        return;
    }
    m_waitingForGrab = true;
    QPointer<frmCaptureDesktop> self(this);
    m_services.grabber->requestDesktop([self, then](const GrabResult& grab) {
        if (!self)
            return;
        self->m_waitingForGrab = false;
        if (!grab.ok()) {
            then(Result::failure(grab.error));
            return;
        }
        self->m_frozen = grab.image;
        self->placeWindows(grab);
        then(Result::success());
    });
}

// Where the grabber tells each screen's part (Wayland; X11 with its
// monitors listed), one full-screen window per screen, so that every screen
// shows its own part at its own scale; else one window spanning the desktop.
void frmCaptureDesktop::placeWindows(const GrabResult& grab)
{
    dropSheets();
    m_perScreen = !grab.screens.empty();
    if (!m_perScreen) {
        const QRect desktop = m_services.grabber->desktopGeometry();
        m_origin = desktop.topLeft();
        m_part = m_frozen.rect();
        setWindowState(Qt::WindowNoState);
        setGeometry(desktop);
        return;
    }
    m_origin = grab.origin;
    m_part = QRect();
    for (const ScreenArea& area : grab.screens) {
        QScreen* screen = screenShowing(area, grab.origin);
        if (!screen)
            continue; // a screen Qt does not know yet cannot show its part
        QWidget* window = this;
        if (m_part.isNull()) {
            m_part = area.area;
        } else {
            m_sheets.push_back(new OverlaySheet(*this, area.area));
            window = m_sheets.back();
        }
        window->setScreen(screen);
        window->setGeometry(screen->geometry());
    }
    if (m_part.isNull()) { // no screen matched: the whole picture on the first
        m_part = m_frozen.rect();
        setScreen(QGuiApplication::primaryScreen());
    }
}

void frmCaptureDesktop::showWindows()
{
    if (m_perScreen) {
        showFullScreen();
        for (OverlaySheet* sheet : m_sheets)
            sheet->showFullScreen();
    } else {
        show();
    }
    raise();
    activateWindow();
}

// Removes the other screens' windows; never called from inside one of them.
void frmCaptureDesktop::dropSheets()
{
    qDeleteAll(m_sheets);
    m_sheets.clear();
}

frmCaptureDesktop::~frmCaptureDesktop()
{
    dropSheets();
}

void frmCaptureDesktop::Unload()
{
    hide();
    for (OverlaySheet* sheet : m_sheets)
        sheet->hide();
    m_follow->stop();
    m_bandShown = false;
    m_frozen = QImage(); // the canvas keeps its own reference
}

void frmCaptureDesktop::GetImage(const QString& sCaptureType)
{
    const bool desktop = sCaptureType == QLatin1String("desktop");
    const bool rectangle = sCaptureType == QLatin1String("rectangle");
    if (m_waitingForGrab)
        return;
    if (sCaptureType == QLatin1String("window")) {
        CaptureActiveWin(true);
        return;
    }
    if (!desktop && !rectangle)
        return;
    loadFrozenScreen([this, rectangle](const Result& loaded) {
        if (!loaded) {
            emit captureFailed(loaded.message);
            return;
        }
        if (rectangle) {
            // Waits for the user's drag, which finishes the capture.
            showWindows();
            setFocus(Qt::ActiveWindowFocusReason); // Escape gives up the capture
            followHeldButton();
            return;
        }
        // The frozen picture is the capture; the overlay need not be shown.
        emit captureLanded(m_frozen);
        QCoreApplication::processEvents();
        emit showAfterCapture(false);
        Unload();
    });
}

void frmCaptureDesktop::CaptureActiveWin(bool ovbActiveWnd)
{
    Q_UNUSED(ovbActiveWnd); // the window capture always takes the window with its frame
    if (!m_services.grabber || !m_services.activeWindow) {
        emit captureFailed(QString::fromUtf8(texts::CaptureUnavailable));
        return;
    }
    const ActiveWindowInfo active = activeOtherWindow();
    if (active.picked) {
        // The desktop's own screenshot dialog lets the user pick the window.
        m_waitingForGrab = true;
        QPointer<frmCaptureDesktop> self(this);
        m_services.activeWindow->requestPicked([self](const GrabResult& grab) {
            if (self)
                self->windowGrabArrived(grab);
        });
        return;
    }
    if (!active.ok()) {
        emit captureFailed(active.error);
        return;
    }
    m_waitingForGrab = true;
    QPointer<frmCaptureDesktop> self(this);
    m_services.grabber->requestArea(active.frame, [self](const GrabResult& grab) {
        if (self)
            self->windowGrabArrived(grab);
    });
}

void frmCaptureDesktop::windowGrabArrived(const GrabResult& grab)
{
    m_waitingForGrab = false;
    if (!grab.ok()) {
        emit captureFailed(grab.error);
        return;
    }
    emit captureLanded(grab.image);
    // The captured window also replaces what the clipboard held.
    Result copied = Result::success();
    if (m_services.clipboard)
        copied = m_services.clipboard->setImage(grab.image);
    emit showAfterCapture(true);
    QCoreApplication::processEvents();
    if (!copied)
        emit captureFailed(copied.message, false);
}

// The main window is never the one captured: when it is shown at this
// moment (the tray's window capture shows it at once), it goes out of the
// way first and the window manager gets a moment to activate another one.
ActiveWindowInfo frmCaptureDesktop::activeOtherWindow()
{
    if (!m_main.isVisible())
        return m_services.activeWindow->activeWindow();
    const QRect own = m_main.frameGeometry();
    m_main.hide();
    QElapsedTimer waited;
    waited.start();
    ActiveWindowInfo active;
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
        active = m_services.activeWindow->activeWindow();
    } while (!active.picked && (!active.ok() || active.frame == own) &&
             waited.elapsed() < 400);
    return active;
}

// ---- the rubber band ---------------------------------------------------------

// Picture pixels per window pixel of this window: the device pixel ratio
// for the window spanning the desktop, which is placed in device pixels.
QSizeF frmCaptureDesktop::scale() const
{
    if (m_perScreen)
        return scaleOf(m_part, *this);
    const qreal ratio = devicePixelRatioF();
    return {ratio, ratio};
}

// Positions are taken in window coordinates (the overlay fills its window):
// the widget's own are rounded to whole Qt pixels, which on a scaled screen
// would lose device pixels.
QPointF frmCaptureDesktop::screenPoint(const QPointF& widgetPoint) const
{
    return toPicture(m_part, scale(), widgetPoint);
}

// The band's box: every pixel on the border of the rectangle between the
// start point and the far corner, both corners included.
QRect frmCaptureDesktop::bandRect() const
{
    return QRect(QPoint(int(X0), int(Y0)), QPoint(int(X1), int(Y1))).normalized();
}

QRegion frmCaptureDesktop::bandRegion() const
{
    const QRect r = bandRect();
    QRegion region(r.left(), r.top(), r.width(), 1);
    region += QRect(r.left(), r.bottom(), r.width(), 1);
    region += QRect(r.left(), r.top(), 1, r.height());
    region += QRect(r.right(), r.top(), 1, r.height());
    return region;
}

void frmCaptureDesktop::paintEvent(QPaintEvent* event)
{
    paintPart(*this, m_part, scale(), event->rect());
}

void frmCaptureDesktop::paintPart(QWidget& window, const QRect& part, const QSizeF& scale,
                                  const QRect& exposed)
{
    QPainter painter(&window);
    const QRectF source(part.left() + exposed.left() * scale.width(),
                        part.top() + exposed.top() * scale.height(),
                        exposed.width() * scale.width(), exposed.height() * scale.height());
    painter.drawImage(QRectF(exposed), m_frozen, source);
    if (!m_bandShown)
        return;
    // The band inverts the pixels under it, so it shows on any picture.
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    for (const QRect& strip : bandRegion())
        if (strip.intersects(part))
            painter.fillRect(toWindow(part, scale, strip.intersected(part)), Qt::white);
}

// Repaints a region of the picture wherever a window shows it.
void frmCaptureDesktop::updatePicture(const QRegion& pictureRegion)
{
    const auto repaint = [&pictureRegion](QWidget& window, const QRect& part,
                                          const QSizeF& scale) {
        QRegion dirty;
        for (const QRect& r : pictureRegion)
            if (r.intersects(part))
                dirty += toWindow(part, scale, r.intersected(part)).toAlignedRect();
        if (!dirty.isEmpty())
            window.update(dirty);
    };
    repaint(*this, m_part, scale());
    for (OverlaySheet* sheet : m_sheets)
        repaint(*sheet, sheet->part(), sheet->scale());
}

void frmCaptureDesktop::mousePressEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton)
        pressAt(screenPoint(event->scenePosition()));
}

void frmCaptureDesktop::pressAt(const QPointF& p)
{
    m_follow->stop();
    if (m_bandShown)
        updatePicture(bandRegion());
    X0 = X1 = float(p.x());
    Y0 = Y1 = float(p.y());
    m_bandShown = false;
}

void frmCaptureDesktop::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::LeftButton)
        moveAt(screenPoint(event->scenePosition()));
}

void frmCaptureDesktop::moveAt(const QPointF& p)
{
    m_follow->stop(); // the events come here after all
    moveBandTo(p);
}

void frmCaptureDesktop::moveBandTo(const QPointF& p)
{
    QRegion dirty = m_bandShown ? bandRegion() : QRegion();
    X1 = float(p.x());
    Y1 = float(p.y());
    m_bandShown = true;
    dirty += bandRegion();
    updatePicture(dirty);
}

void frmCaptureDesktop::mouseReleaseEvent(QMouseEvent* event)
{
    if (isVisible())
        releasedAt(screenPoint(event->scenePosition()), event->modifiers());
}

void frmCaptureDesktop::releasedAt(const QPointF& p, Qt::KeyboardModifiers modifiers)
{
    m_follow->stop();
    releaseAt(p, modifiers == Qt::ShiftModifier);
}

void frmCaptureDesktop::releaseAt(const QPointF& p, bool shiftAlone)
{
    if (m_bandShown)
        updatePicture(bandRegion());
    m_bandShown = false;
    // Shift alone discards the drag; the overlay stays for a new one.
    if (shiftAlone)
        return;
    finishDrag(p);
}

// A button pressed before the overlay appeared sent its events to another
// window, which keeps receiving them until the button comes up. The band
// then starts where the pointer is as the overlay appears and follows the
// pointer as the display reports it.
void frmCaptureDesktop::followHeldButton()
{
    const std::optional<PointerState> pointer = m_services.grabber->pointerState();
    if (!pointer || !pointer->leftButton)
        return;
    const QPoint p = pointer->position - m_origin;
    X0 = X1 = float(p.x());
    Y0 = Y1 = float(p.y());
    m_bandShown = false;
    m_follow->start();
}

void frmCaptureDesktop::followTick()
{
    const std::optional<PointerState> pointer =
        isVisible() && m_services.grabber ? m_services.grabber->pointerState() : std::nullopt;
    if (!pointer) {
        m_follow->stop();
        return;
    }
    const QPoint p = pointer->position - m_origin;
    if (pointer->leftButton) {
        if (!m_bandShown || p != QPoint(int(X1), int(Y1)))
            moveBandTo(p);
        return;
    }
    m_follow->stop();
    releaseAt(p, pointer->shiftAlone);
}

// Escape gives up the capture: the band goes as after a Shift release, and
// the main window comes back with its document exactly as it was.
void frmCaptureDesktop::keyPressEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(event);
        return;
    }
    if (m_bandShown)
        updatePicture(bandRegion());
    Unload();
    emit captureAbandoned();
}

// Keeps the inside of the band, without the band's own lines: it starts one
// pixel inside the band's corner and is W - 2 by H - 2 pixels.
void frmCaptureDesktop::finishDrag(const QPointF& release)
{
    const int x = int(release.x());
    const int y = int(release.y());
    const int w = std::abs(int(X0) - x);
    const int h = std::abs(int(Y0) - y);
    if (w < MinimumSpan || h < MinimumSpan) {
        Unload();
        emit captureAbandoned();
        return;
    }
    const int left = std::min(int(X0), x) + 1;
    const int top = std::min(int(Y0), y) + 1;
    const QImage area = m_frozen.copy(left, top, w - 2, h - 2);
    if (area.isNull()) {
        emit captureFailed(QString::fromUtf8(texts::GrabOutOfMemory).arg(w - 2).arg(h - 2));
        return;
    }
    emit captureLanded(area);
    QCoreApplication::processEvents();
    Unload();
    emit showAfterCapture(true);
}
