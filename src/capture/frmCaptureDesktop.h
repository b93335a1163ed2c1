#pragma once
#include "base/Result.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <vector>

class QPainter;
class QRegion;
class QTimer;

namespace snaplorn {
struct ActiveWindowInfo;
struct GrabResult;
struct PlatformServices;
} // namespace snaplorn

class OverlaySheet;

// The capture overlay: a frameless window over every monitor that shows the
// screen as it was frozen while the main window was hidden. Where the grabber
// knows each screen's part of the picture (Wayland, X11 monitors) it is one
// full-screen window per screen instead, this one and further sheets, each
// showing its screen's part of the picture; a drag begun on one screen goes
// on across the others. In "rectangle"
// mode the user drags out the area to keep on it; the rubber band is painted
// over the frozen picture, never into it. One overlay lives for the whole
// run, so the drag points keep their values from one capture to the next.
// A drag whose button went down before the overlay appeared goes on on it:
// the pointer is followed until the button comes up.
class frmCaptureDesktop : public QWidget
{
    Q_OBJECT
public:
    // `mainWindow` steps out of the way of a window capture; the outcome of
    // every capture is reported by the signals below, in the order the main
    // window acts on them.
    frmCaptureDesktop(QWidget& mainWindow, snaplorn::PlatformServices& services);
    ~frmCaptureDesktop() override;

    // Carries out a capture of the given kind ("desktop", "rectangle",
    // "window"); any other text does nothing.
    void GetImage(const QString& sCaptureType);
    // The active window's frame, grabbed from the screen, onto the canvas
    // and the clipboard.
    void CaptureActiveWin(bool ovbActiveWnd);

    const QImage& frozenImage() const { return m_frozen; }
    // The drag: start point and the band's far corner, in picture pixels.
    QPointF startPoint() const { return {X0, Y0}; }
    QPointF currentPoint() const { return {X1, Y1}; }
    bool bandShown() const { return m_bandShown; }
    // A grab was asked for and its answer has not come yet.
    bool grabPending() const { return m_waitingForGrab; }

signals:
    // The captured picture, to become the document.
    void captureLanded(const QImage& image);
    // The drag was too small: nothing was captured.
    void captureAbandoned();
    // The capture failed; `documentUnchanged` is false when the picture had
    // already landed and only a later step (the clipboard) failed.
    void captureFailed(const QString& message, bool documentUnchanged = true);
    // The capture is over and the main window may come back.
    void showAfterCapture(bool evenDuringSeries);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void loadFrozenScreen(std::function<void(const snaplorn::Result&)> then);
    void windowGrabArrived(const snaplorn::GrabResult& grab);
    void placeWindows(const snaplorn::GrabResult& grab);
    void showWindows();
    void dropSheets();
    void paintPart(QWidget& window, const QRect& part, const QSizeF& scale, const QRect& exposed);
    QSizeF scale() const;
    void updatePicture(const QRegion& pictureRegion);
    void pressAt(const QPointF& p);
    void moveAt(const QPointF& p);
    void releasedAt(const QPointF& p, Qt::KeyboardModifiers modifiers);
    snaplorn::ActiveWindowInfo activeOtherWindow();
    void Unload();
    QPointF screenPoint(const QPointF& widgetPoint) const;
    friend class OverlaySheet;
    QRect bandRect() const;
    QRegion bandRegion() const;
    void finishDrag(const QPointF& release);
    void moveBandTo(const QPointF& p);
    void releaseAt(const QPointF& p, bool shiftAlone);
    void followHeldButton();
    void followTick();

    QWidget& m_main;
    snaplorn::PlatformServices& m_services;
    QImage m_frozen;
    QPoint m_origin; // the desktop's top left corner
    QRect m_part;    // the part of the picture this window shows
    std::vector<OverlaySheet*> m_sheets; // the other screens' windows
    bool m_perScreen = false;             // one full-screen window per screen
    QTimer* m_follow = nullptr;
    float X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
    bool m_bandShown = false;
    bool m_waitingForGrab = false; // a grab was asked for and not answered yet
};
