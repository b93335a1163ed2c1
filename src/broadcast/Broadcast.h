#pragma once
#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>

namespace snaplorn {

// The short message the maker publishes for the program, read from a
// tagged single-byte text file:
//   <USR>audience codes</USR> <MID>id</MID> <MSG>text</MSG>
//   <URL>address</URL> <BTN>YN or OK</BTN> <TTL>title</TTL>
struct BroadcastMessage {
    QString audience;
    QString id;
    QString text;
    QString url;
    QString buttons;
    QString title;
};

namespace broadcast {
// The server the file comes from unless SNAPLORN_BROADCAST_URL names another.
inline constexpr char DefaultBaseUrl[] = "http://www.quorvex.example";
inline constexpr char BaseUrlVariable[] = "SNAPLORN_BROADCAST_URL";
inline constexpr char FilePath[] = "/snaplorn/BCSnplrn21.bbc";
inline constexpr char TrackingPath[] = "/snaplorn/BCSnplrn21_track.asp";
// This installation's audience code.
inline constexpr char AudienceCode[] = "SNL30";
// The tracking request never carries the user's name.
inline constexpr char AnonymousUser[] = "NoName";
// A reply larger than this is not a message file and is dropped.
inline constexpr qint64 MaxReplyBytes = 64 * 1024;
} // namespace broadcast

// Each byte is one character, whatever encoding the server claims.
QString broadcastText(const QByteArray& bytes);

// The value between the first <TAG> and the first </TAG> (tags in any letter
// case), trimmed; nothing when either tag is missing or the closing tag
// does not follow the opening one.
std::optional<QString> broadcastField(const QString& text, const QString& tag);

// The six fields of a reply; nothing for an empty reply, a web page (for
// example a server's error page) or a malformed file, which includes a
// file that lacks any one of the twelve tags.
std::optional<BroadcastMessage> parseBroadcast(const QByteArray& bytes);

// Whether the message is meant for this installation and not blocked by
// the user ("HideMsgID").
bool broadcastWanted(const BroadcastMessage& message, const QString& hideMsgID);

// The base address: the environment's, else the built-in one, without a
// trailing '/'. Only http and https bases are used; anything else gives an
// empty address and nothing is fetched.
QString broadcastBaseUrl();
QUrl broadcastFileUrl(const QString& base);
// ".../BCSnplrn21_track.asp?n=<user>&t=<audience>", both values percent-encoded.
QUrl broadcastTrackingUrl(const QString& base, const QString& user, const QString& audience);

} // namespace snaplorn
