#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

namespace snaplorn {

// One running Snaplorn per user and X display. The first instance listens on
// a local socket; a later start connects to it and asks it to bring its main
// window back. A socket left behind by a crashed instance answers nobody and
// is replaced by the next start.
class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(QString serverName = defaultServerName(), QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Role { First, Second };

    // Becomes the first instance unless another one answers.
    Role claim();
    // Second instance: asks the first one to restore and raise its window.
    bool requestRestore(int timeoutMs = 3000);
    bool isListening() const;

    static QString defaultServerName();

signals:
    void restoreRequested();

private:
    bool otherAnswers(int timeoutMs) const;
    void onNewConnection();

    QString m_name;
    QLocalServer* m_server = nullptr;
};

} // namespace snaplorn
