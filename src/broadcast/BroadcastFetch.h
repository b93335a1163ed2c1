#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QUrl>

class QNetworkAccessManager;
class QNetworkReply;

namespace snaplorn {

// Downloads the broadcast file without blocking the window, and sends the
// tracking request whose reply nobody reads. Only http and https addresses
// are fetched. A reply arrives through `arrived` only when the server
// answered with success within the time-out and the size limit; everything
// else ends quietly with `failed`.
class BroadcastFetch : public QObject
{
    Q_OBJECT
public:
    explicit BroadcastFetch(QObject* parent = nullptr);
    ~BroadcastFetch() override;

    static constexpr int DefaultTimeoutMs = 10000;
    void setTimeoutMs(int ms) { m_timer.setInterval(ms); }
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }

    // Starts the download; a download still running is abandoned first.
    void start(const QUrl& url);
    void sendTracking(const QUrl& url);
    bool isRunning() const { return !m_reply.isNull(); }
    // Stops the download and any tracking request still open; nothing is
    // reported for them.
    void abort();

signals:
    void arrived(const QByteArray& body);
    void failed();

private:
    void collect();
    void finish();
    void giveUp();
    void dropReply();

    QNetworkAccessManager* m_network = nullptr;
    QPointer<QNetworkReply> m_reply;
    QList<QPointer<QNetworkReply>> m_tracking;
    QByteArray m_body;
    qint64 m_maxBytes;
    QTimer m_timer;
};

} // namespace snaplorn
