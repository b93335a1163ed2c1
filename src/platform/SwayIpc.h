#pragma once
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <functional>

namespace snaplorn {

// The answer of one exchange over a local socket, or why there is none.
struct IpcAnswer {
    QByteArray bytes;
    QString error;           // the system's reason, for a message
    bool unreadable = false; // an answer came, but not in the protocol's form
    bool ok() const { return error.isEmpty(); }
};

// Sends `request` to the Unix socket at `path` and reads the answer until
// `whole` says it is complete or, without `whole`, until the peer closes
// the connection; gives up after `timeoutMs` in all.
IpcAnswer localSocketExchange(const QString& path, const QByteArray& request,
                              const std::function<bool(const QByteArray&)>& whole, int timeoutMs);

// sway's IPC messages: "i3-ipc", the payload's length and the message type
// (32 bits each, in the machine's byte order), then the payload (JSON in
// answers).
namespace swayipc {

constexpr uint32_t RunCommand = 0;
constexpr uint32_t GetTree = 4;

QByteArray encode(uint32_t type, const QByteArray& payload);

struct Message {
    enum class State { Complete, Incomplete, Garbage };
    State state = State::Incomplete;
    uint32_t type = 0;
    QByteArray payload;
};
// The message at the start of `bytes`.
Message decode(const QByteArray& bytes);

// One request and its answer's payload; an answer of another type, or one
// that is not a message, is an error.
IpcAnswer request(const QString& socketPath, uint32_t type, const QByteArray& payload,
                  int timeoutMs = 3000);

} // namespace swayipc

} // namespace snaplorn
