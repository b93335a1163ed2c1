#include "platform/SwayIpc.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace snaplorn {

namespace {

QString systemReason(int error)
{
    return QString::fromLocal8Bit(strerror(error));
}

// Waits for the socket to become ready for `events` within what is left of
// the time; false with the reason when it does not.
bool waitReady(int fd, short events, const QElapsedTimer& clock, int timeoutMs, QString* why)
{
    for (;;) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0) {
            *why = QStringLiteral("no answer within %1 ms").arg(timeoutMs);
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = poll(&entry, 1, int(left));
        if (ready > 0)
            return true;
        if (ready < 0 && errno != EINTR) {
            *why = systemReason(errno);
            return false;
        }
    }
}

class Socket
{
public:
    Socket() : m_fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {}
    ~Socket()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

QString connectTo(const Socket& socket, const QString& path, const QElapsedTimer& clock,
                  int timeoutMs)
{
    if (socket.fd() < 0)
        return systemReason(errno);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = path.toLocal8Bit();
    if (name.isEmpty() || size_t(name.size()) >= sizeof(address.sun_path))
        return QStringLiteral("no usable socket path \"%1\"").arg(path);
    memcpy(address.sun_path, name.constData(), size_t(name.size()));
    if (::connect(socket.fd(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0)
        return QString();
    if (errno != EINPROGRESS && errno != EAGAIN)
        return QStringLiteral("%1: %2").arg(path, systemReason(errno));
    QString why;
    if (!waitReady(socket.fd(), POLLOUT, clock, timeoutMs, &why))
        return why;
    int error = 0;
    socklen_t length = sizeof(error);
    getsockopt(socket.fd(), SOL_SOCKET, SO_ERROR, &error, &length);
    return error ? QStringLiteral("%1: %2").arg(path, systemReason(error)) : QString();
}

QString sendAll(const Socket& socket, const QByteArray& bytes, const QElapsedTimer& clock,
                int timeoutMs)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        QString why;
        if (!waitReady(socket.fd(), POLLOUT, clock, timeoutMs, &why))
            return why;
        const ssize_t n = ::send(socket.fd(), bytes.constData() + sent, size_t(bytes.size() - sent),
                                 MSG_NOSIGNAL);
        if (n < 0 && errno != EINTR && errno != EAGAIN)
            return systemReason(errno);
        if (n > 0)
            sent += n;
    }
    return QString();
}

} // namespace

IpcAnswer localSocketExchange(const QString& path, const QByteArray& request,
                              const std::function<bool(const QByteArray&)>& whole, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    Socket socket;
    IpcAnswer answer;
    answer.error = connectTo(socket, path, clock, timeoutMs);
    if (answer.error.isEmpty())
        answer.error = sendAll(socket, request, clock, timeoutMs);
    char buffer[65536];
    while (answer.error.isEmpty()) {
        if (whole && whole(answer.bytes))
            return answer;
        if (!waitReady(socket.fd(), POLLIN, clock, timeoutMs, &answer.error))
            break;
        const ssize_t n = ::recv(socket.fd(), buffer, sizeof(buffer), 0);
        if (n > 0)
            answer.bytes.append(buffer, qsizetype(n));
        else if (n == 0 && !whole)
            return answer;
        else if (n == 0)
            answer.error = QStringLiteral("the connection closed before the answer was whole");
        else if (errno != EINTR && errno != EAGAIN)
            answer.error = systemReason(errno);
    }
    answer.bytes.clear();
    return answer;
}

namespace swayipc {

namespace {
const QByteArray Magic = QByteArrayLiteral("i3-ipc");
constexpr qsizetype HeaderSize = 6 + 4 + 4;
// Far more than any tree of real windows; a length beyond it is not sway's.
constexpr uint32_t MaximumPayload = 64u << 20;
} // namespace

QByteArray encode(uint32_t type, const QByteArray& payload)
{
    QByteArray message = Magic;
    const auto length = uint32_t(payload.size());
    message.append(reinterpret_cast<const char*>(&length), 4);
    message.append(reinterpret_cast<const char*>(&type), 4);
    return message + payload;
}

Message decode(const QByteArray& bytes)
{
    Message message;
    const qsizetype compared = std::min(bytes.size(), Magic.size());
    if (bytes.left(compared) != Magic.left(compared)) {
        message.state = Message::State::Garbage;
        return message;
    }
    if (bytes.size() < HeaderSize)
        return message;
    uint32_t length = 0;
    memcpy(&length, bytes.constData() + 6, 4);
    memcpy(&message.type, bytes.constData() + 10, 4);
    if (length > MaximumPayload) {
        message.state = Message::State::Garbage;
        return message;
    }
    if (bytes.size() < HeaderSize + qsizetype(length))
        return message;
    message.state = Message::State::Complete;
    message.payload = bytes.mid(HeaderSize, qsizetype(length));
    return message;
}

IpcAnswer request(const QString& socketPath, uint32_t type, const QByteArray& payload,
                  int timeoutMs)
{
    IpcAnswer answer = localSocketExchange(
        socketPath, encode(type, payload),
        [](const QByteArray& bytes) { return decode(bytes).state != Message::State::Incomplete; },
        timeoutMs);
    if (!answer.ok())
        return answer;
    const Message message = decode(answer.bytes);
    answer.bytes.clear();
    if (message.state != Message::State::Complete || message.type != type) {
        answer.error = QStringLiteral("not an answer of the IPC protocol");
        answer.unreadable = true;
    } else
        answer.bytes = message.payload;
    return answer;
}

} // namespace swayipc

} // namespace snaplorn
