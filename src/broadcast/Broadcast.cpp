#include "broadcast/Broadcast.h"

namespace snaplorn {

namespace {

bool isHttpBase(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// A web page rather than a message file: a server's error or login page.
bool looksLikeWebPage(const QString& text)
{
    const QString lower = text.toLower();
    return lower.contains(QLatin1String("<html>")) || lower.contains(QLatin1String("<html ")) ||
           lower.contains(QLatin1String("<!doctype html"));
}

} // namespace

QString broadcastText(const QByteArray& bytes)
{
    return QString::fromLatin1(bytes);
}

std::optional<QString> broadcastField(const QString& text, const QString& tag)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const QString close = QLatin1String("</") + tag + QLatin1Char('>');
    const qsizetype openAt = text.indexOf(open, 0, Qt::CaseInsensitive);
    if (openAt < 0)
        return std::nullopt;
    const qsizetype closeAt = text.indexOf(close, 0, Qt::CaseInsensitive);
    const qsizetype start = openAt + open.size();
    if (closeAt < start)
        return std::nullopt;
    return text.mid(start, closeAt - start).trimmed();
}

std::optional<BroadcastMessage> parseBroadcast(const QByteArray& bytes)
{
    const QString text = broadcastText(bytes);
    if (text.trimmed().isEmpty() || looksLikeWebPage(text))
        return std::nullopt;
    BroadcastMessage message;
    const std::pair<const char*, QString*> fields[] = {
        {"USR", &message.audience}, {"MID", &message.id},      {"MSG", &message.text},
        {"URL", &message.url},      {"BTN", &message.buttons}, {"TTL", &message.title},
    };
    for (const auto& [tag, value] : fields) {
        const std::optional<QString> found = broadcastField(text, QLatin1String(tag));
        if (!found)
            return std::nullopt;
        *value = *found;
    }
    return message;
}

bool broadcastWanted(const BroadcastMessage& message, const QString& hideMsgID)
{
    if (!message.audience.contains(QLatin1String(broadcast::AudienceCode)))
        return false;
    return hideMsgID.trimmed() != message.id;
}

QString broadcastBaseUrl()
{
    QString base = qEnvironmentVariable(broadcast::BaseUrlVariable).trimmed();
    if (base.isEmpty())
        base = QLatin1String(broadcast::DefaultBaseUrl);
    while (base.endsWith(QLatin1Char('/')))
        base.chop(1);
    return isHttpBase(QUrl(base)) ? base : QString();
}

QUrl broadcastFileUrl(const QString& base)
{
    if (base.isEmpty())
        return QUrl();
    return QUrl(base + QLatin1String(broadcast::FilePath));
}

QUrl broadcastTrackingUrl(const QString& base, const QString& user, const QString& audience)
{
    if (base.isEmpty())
        return QUrl();
    const QString query =
        QLatin1String("?n=") + QString::fromLatin1(QUrl::toPercentEncoding(user)) +
        QLatin1String("&t=") + QString::fromLatin1(QUrl::toPercentEncoding(audience));
    return QUrl(base + QLatin1String(broadcast::TrackingPath) + query, QUrl::StrictMode);
}

} // namespace snaplorn
