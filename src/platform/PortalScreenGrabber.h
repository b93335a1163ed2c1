#pragma once
#include "platform/ScreenGrabber.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <QVariantMap>

namespace snaplorn {

// One Screenshot request to the desktop portal: answers once, with the
// picture or a message, and removes the file the portal wrote for it. An
// interactive request lets the user choose what to take in the desktop's
// own dialog.
class PortalRequest : public QObject
{
    Q_OBJECT
public:
    PortalRequest(QObject* parent, GrabAnswer answer, int timeoutMs, bool interactive = false);
    void start();

public slots:
    void response(uint code, const QVariantMap& results);

private:
    void subscribe(const QString& path);
    void finish(const GrabResult& result);
    void timedOut();
    QString silence() const;

    GrabAnswer m_answer;
    bool m_interactive;
    bool m_answered = false;
    QDateTime m_asked;
    QTimer m_timer;
    QStringList m_paths;
};

// Asks the desktop's Screenshot portal (org.freedesktop.portal.Screenshot,
// without a dialog) for a picture of the whole desktop: for Wayland
// compositors that do not let clients copy the screen themselves. Answered
// from the event loop; a portal that refuses, or does not answer within the
// timeout, gives a message. The pointer cannot be asked about.
class PortalScreenGrabber : public QObject, public ScreenGrabber
{
    Q_OBJECT
public:
    explicit PortalScreenGrabber(int timeoutMs = 10000, QObject* parent = nullptr);

    void requestDesktop(GrabAnswer answer) override;
    QRect desktopGeometry() override;

private:
    int m_timeoutMs;
    QRect m_lastDesktop;
};

} // namespace snaplorn
