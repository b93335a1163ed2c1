// The broadcast file parser on a reply made of the fuzzer's bytes, and the
// decision whether to show it, as the main window makes them.
#include "FuzzInput.h"

#include "broadcast/Broadcast.h"

using namespace snaplorn;
using namespace snaplorn::fuzz;

namespace {

void checkField(const QString& value, const char* tag, qsizetype inputSize)
{
    require(value.size() <= inputSize, "field longer than the reply", QLatin1String(tag));
    require(value == value.trimmed(), "field not trimmed", QLatin1String(tag));
    const QString close = QLatin1String("</") + QLatin1String(tag) + QLatin1Char('>');
    require(!value.contains(close, Qt::CaseInsensitive), "field holds its own closing tag",
            QLatin1String(tag));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(false);
    FuzzInput in(data, size);
    // First field: the user's blocked message id; the rest: the reply.
    const QString hideMsgID = QString::fromLatin1(in.field());
    const QByteArray reply = in.rest();
    const std::optional<BroadcastMessage> message = parseBroadcast(reply);
    const QString text = broadcastText(reply);
    require(text.size() == reply.size(), "reply text not one character per byte");
    if (!message)
        return 0;
    require(!text.trimmed().isEmpty(), "empty reply parsed");
    const QString lower = text.toLower();
    require(!lower.contains(QLatin1String("<html>")) && !lower.contains(QLatin1String("<html ")) &&
                !lower.contains(QLatin1String("<!doctype html")),
            "web page parsed as a message");
    const std::pair<const char*, const QString*> fields[] = {
        {"USR", &message->audience}, {"MID", &message->id},      {"MSG", &message->text},
        {"URL", &message->url},      {"BTN", &message->buttons}, {"TTL", &message->title},
    };
    QByteArray rewritten;
    bool plain = true;
    for (const auto& [tag, value] : fields) {
        checkField(*value, tag, reply.size());
        plain = plain && !value->contains(QLatin1Char('<'));
        rewritten += '<' + QByteArray(tag) + '>' + value->toLatin1() + "</" + QByteArray(tag) + '>';
    }
    // Fields without tags in them, written back as a file, read back the same.
    if (plain) {
        const std::optional<BroadcastMessage> again = parseBroadcast(rewritten);
        require(again && again->audience == message->audience && again->id == message->id &&
                    again->text == message->text && again->url == message->url &&
                    again->buttons == message->buttons && again->title == message->title,
                "message written back reads differently");
    }
    const bool wanted = broadcastWanted(*message, hideMsgID);
    require(!wanted || message->audience.contains(QLatin1String(broadcast::AudienceCode)),
            "message for another audience wanted");
    require(!wanted || message->id != hideMsgID.trimmed(), "blocked message wanted");
    return 0;
}
