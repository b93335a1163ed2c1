#include "platform/PortalScreenGrabber.h"
#include "platform/PortalNames.h"

#include "base/Texts.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QScreen>
#include <QUrl>

namespace snaplorn {

namespace {

// The GUI application, if the running one is.
QGuiApplication* guiApplication()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance());
}

// After an answer given for want of one from the portal, a late picture is
// still awaited this long, to remove its file.
constexpr int LateAnswerMs = 60000;

QString unavailable(const QString& why)
{
    return QString::fromUtf8(texts::WaylandCaptureUnavailable).arg(why);
}

} // namespace

PortalRequest::PortalRequest(QObject* parent, GrabAnswer answer, int timeoutMs, bool interactive)
    : QObject(parent), m_answer(std::move(answer)), m_interactive(interactive),
      m_asked(QDateTime::currentDateTimeUtc())
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(timeoutMs);
    connect(&m_timer, &QTimer::timeout, this, &PortalRequest::timedOut);
}

void PortalRequest::subscribe(const QString& path)
{
    if (m_paths.contains(path))
        return;
    m_paths.append(path);
    QDBusConnection::sessionBus().connect(QString::fromLatin1(PortalService), path,
                                          QStringLiteral("org.freedesktop.portal.Request"),
                                          QStringLiteral("Response"), this,
                                          SLOT(response(uint, QVariantMap)));
}

void PortalRequest::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        finish({QImage(), unavailable(QStringLiteral("there is no session bus (%1)")
                                          .arg(bus.lastError().message()))});
        return;
    }
    // The portal answers on a request object whose path follows from our
    // name on the bus and the token: listened to before asking, so an
    // answer cannot come before we listen.
    const QString token = QStringLiteral("snaplorn%1").arg(QRandomGenerator::global()->generate());
    subscribe(portalRequestPath(token));

    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(PortalService), QString::fromLatin1(PortalPath),
        QStringLiteral("org.freedesktop.portal.Screenshot"), QStringLiteral("Screenshot"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token},
                                     {QStringLiteral("interactive"), m_interactive}};
    m_timer.start();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, m_timer.interval()), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        QDBusPendingReply<QDBusObjectPath> reply = *w;
        w->deleteLater();
        if (reply.isError()) {
            const QDBusError error = reply.error();
            if (error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout)
                finish({QImage(), silence()});
            else
                finish({QImage(), unavailable(error.message())});
            return;
        }
        // Older portals choose the path themselves.
        subscribe(reply.value().path());
    });
}

void PortalRequest::response(uint code, const QVariantMap& results)
{
    const QUrl uri(results.value(QStringLiteral("uri")).toString());
    const QString path = uri.isLocalFile() ? uri.toLocalFile() : QString();
    QImage picture;
    if (code == 0 && !path.isEmpty())
        picture.load(path);
    // A file the portal wrote for this request goes, so pictures do not pile
    // up in the user's folders; an older file is not ours to remove.
    if (!path.isEmpty() && QFileInfo(path).lastModified().toUTC() >= m_asked.addSecs(-1))
        QFile::remove(path);
    if (m_answered) {
        deleteLater();
        return;
    }
    if (code != 0)
        finish({QImage(), QString::fromUtf8(texts::PortalRefused).arg(code)});
    else if (picture.isNull())
        finish({QImage(), QString::fromUtf8(texts::PortalNoFile)
                              .arg(path.isEmpty() ? uri.toString() : path)});
    else
        finish({picture.convertToFormat(QImage::Format_RGB32), QString()});
}

void PortalRequest::timedOut()
{
    if (m_answered) {
        deleteLater();
        return;
    }
    finish({QImage(), silence()});
}

QString PortalRequest::silence() const
{
    if (m_interactive)
        return QString::fromUtf8(texts::PickWindowSilent).arg(m_timer.interval() / 1000);
    return QString::fromUtf8(texts::PortalSilent);
}

void PortalRequest::finish(const GrabResult& result)
{
    if (m_answered)
        return;
    m_answered = true;
    const GrabAnswer answer = std::move(m_answer);
    m_answer = nullptr;
    if (result.ok() || m_paths.isEmpty()) {
        m_timer.stop();
        deleteLater();
    } else {
        // No picture yet: one may still come, and its file must go.
        m_timer.start(LateAnswerMs);
    }
    answer(result);
}

PortalScreenGrabber::PortalScreenGrabber(int timeoutMs, QObject* parent)
    : QObject(parent), m_timeoutMs(timeoutMs)
{
}

void PortalScreenGrabber::requestDesktop(GrabAnswer answer)
{
    auto* request = new PortalRequest(this, [this, answer = std::move(answer)](const GrabResult& r) {
        if (r.ok() && !guiApplication())
            m_lastDesktop = QRect(QPoint(0, 0), r.image.size());
        answer(r);
    }, m_timeoutMs);
    request->start();
}

QRect PortalScreenGrabber::desktopGeometry()
{
    if (guiApplication()) {
        QRect desktop;
        for (const QScreen* screen : QGuiApplication::screens())
            desktop |= screen->geometry();
        if (!desktop.isEmpty())
            return desktop;
    }
    return m_lastDesktop;
}

} // namespace snaplorn
