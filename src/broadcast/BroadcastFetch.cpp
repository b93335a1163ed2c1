#include "broadcast/BroadcastFetch.h"

#include "broadcast/Broadcast.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

#include <utility>

namespace snaplorn {

namespace {

bool isWebUrl(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

QNetworkRequest requestFor(const QUrl& url, int timeoutMs)
{
    QNetworkRequest request(url);
    // A redirect may not lead to another server (nor to a local file).
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::SameOriginRedirectPolicy);
    request.setTransferTimeout(timeoutMs);
    return request;
}

} // namespace

BroadcastFetch::BroadcastFetch(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)),
      m_maxBytes(broadcast::MaxReplyBytes)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(DefaultTimeoutMs);
    connect(&m_timer, &QTimer::timeout, this, &BroadcastFetch::giveUp);
}

BroadcastFetch::~BroadcastFetch()
{
    abort();
}

void BroadcastFetch::start(const QUrl& url)
{
    dropReply();
    m_body.clear();
    if (!isWebUrl(url)) {
        emit failed();
        return;
    }
    m_reply = m_network->get(requestFor(url, m_timer.interval()));
    connect(m_reply, &QNetworkReply::readyRead, this, &BroadcastFetch::collect);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        // A server that announces more than the limit is not sending a
        // message file; there is no need to wait for it.
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > m_maxBytes)
            giveUp();
    });
    connect(m_reply, &QNetworkReply::finished, this, &BroadcastFetch::finish);
    m_timer.start();
}

void BroadcastFetch::collect()
{
    if (!m_reply)
        return;
    m_body += m_reply->read(m_maxBytes + 1 - m_body.size());
    if (m_body.size() > m_maxBytes)
        giveUp();
}

void BroadcastFetch::finish()
{
    QNetworkReply* reply = m_reply;
    if (!reply)
        return;
    collect();
    if (!m_reply) // the size limit was passed
        return;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool ok = reply->error() == QNetworkReply::NoError && status >= 200 && status < 300;
    m_timer.stop();
    m_reply = nullptr;
    reply->deleteLater();
    const QByteArray body = std::exchange(m_body, QByteArray());
    if (ok)
        emit arrived(body);
    else
        emit failed();
}

void BroadcastFetch::giveUp()
{
    if (!m_reply)
        return;
    dropReply();
    emit failed();
}

void BroadcastFetch::dropReply()
{
    m_timer.stop();
    m_body.clear();
    if (QNetworkReply* reply = m_reply) {
        m_reply = nullptr;
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        reply->deleteLater();
    }
}

void BroadcastFetch::sendTracking(const QUrl& url)
{
    if (!isWebUrl(url))
        return;
    QNetworkReply* reply = m_network->get(requestFor(url, m_timer.interval()));
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
    m_tracking.append(reply);
}

void BroadcastFetch::abort()
{
    dropReply();
    for (const QPointer<QNetworkReply>& reply : std::exchange(m_tracking, {})) {
        if (reply) {
            reply->abort();
            reply->deleteLater();
        }
    }
}

} // namespace snaplorn
