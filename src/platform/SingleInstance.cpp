#include "platform/SingleInstance.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

#include <unistd.h>

namespace snaplorn {

namespace {
const QByteArray RestoreRequest = "restore\n";
const QByteArray Acknowledge = "ok\n";
} // namespace

SingleInstance::SingleInstance(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName))
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::defaultServerName()
{
    QString display = qEnvironmentVariable("DISPLAY");
    display.replace(QLatin1Char('/'), QLatin1Char('_'));
    display.replace(QLatin1Char(':'), QLatin1Char('_'));
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return QDir(folder).filePath(
        QStringLiteral("snaplorn21-%1-%2").arg(uint(::getuid())).arg(display));
}

bool SingleInstance::otherAnswers(int timeoutMs) const
{
    QLocalSocket probe;
    probe.connectToServer(m_name);
    return probe.waitForConnected(timeoutMs);
}

SingleInstance::Role SingleInstance::claim()
{
    // Two programs starting at the same moment must not both become first.
    QLockFile lock(m_name + QLatin1String(".lock"));
    lock.setStaleLockTime(5000);
    lock.tryLock(5000);
    if (otherAnswers(1000))
        return Role::Second;
    QLocalServer::removeServer(m_name); // a socket left by a crashed instance
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::onNewConnection);
    if (!m_server->listen(m_name)) {
        delete m_server;
        m_server = nullptr;
    }
    return Role::First;
}

bool SingleInstance::isListening() const
{
    return m_server && m_server->isListening();
}

bool SingleInstance::requestRestore(int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(RestoreRequest);
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine() == Acknowledge;
}

void SingleInstance::onNewConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine()) {
                if (socket->readLine() != RestoreRequest)
                    continue;
                emit restoreRequested();
                socket->write(Acknowledge);
                socket->flush();
            }
        });
    }
}

} // namespace snaplorn
