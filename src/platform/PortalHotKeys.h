#pragma once
#include "platform/HotKeys.h"

#include <QString>
#include <QTimer>
#include <QVariant>

#include <map>

class QDBusMessage;
class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

namespace snaplorn {

// Hot keys bound by the desktop through its global shortcuts portal
// (org.freedesktop.portal.GlobalShortcuts), for Wayland sessions, where no
// program may grab keys for itself. The three keys are one session of the
// portal: each change of the wanted keys closes it and opens a new one, with
// the keys chosen in the options as the preferred triggers. The desktop may
// bind other keys (or the ones the user chose in its settings): boundKey()
// says which. Everything is asynchronous; a portal that is missing, refuses,
// answers with an error, stays silent or ends the session is reported once
// through bindingFailed(), and the program goes on without hot keys.
//
// Some desktops only take the shortcuts when the session is created and name
// their record of them after the session's token: the shortcuts go with the
// creation, and the token is always the same.
class PortalHotKeys : public HotKeys
{
    Q_OBJECT
public:
    explicit PortalHotKeys(int timeoutMs = 10000, QObject* parent = nullptr);
    ~PortalHotKeys() override;

    bool registerHotKey(int id, int modifiers, int virtualKey) override;
    void unregisterHotKey(int id) override;
    bool desktopBindsKeys() const override { return true; }
    QString boundKey(int id) const override;

    // The portal's notation of a key ("ALT+F11", "CTRL+SHIFT+a"); empty for a
    // key it has no name for, or modifiers out of range.
    static QString preferredTrigger(int modifiers, int virtualKey);
    // The shortcut's name at the desktop, by hot-key identifier.
    static QString shortcutName(int id);

private slots:
    void portalSignal(const QDBusMessage& message);
    void requestAnswered(const QDBusMessage& message);
    void sessionClosed(const QDBusMessage& message);

private:
    enum class Step { Idle, Closing, Creating, Binding };
    struct Wanted {
        QString trigger;
        QString description;
    };

    void bind();
    void createSession();
    void bindShortcuts();
    void closeSession();
    void call(Step step, const QDBusMessage& message, const QString& requestToken);
    void callAnswered(QDBusPendingCallWatcher* watcher, int generation);
    void answered(uint code, const QVariantMap& results);
    bool takeShortcuts(const QVariant& shortcuts);
    void settle();
    void fail(const QString& message);
    void portalGone();
    QVariant shortcutList() const;

    int m_timeoutMs;
    std::map<int, Wanted> m_wanted;
    std::map<int, QString> m_bound;
    Step m_step = Step::Idle;
    bool m_again = false;
    int m_generation = 0;
    int m_requests = 0;
    QString m_session;
    QString m_awaited;
    QTimer m_schedule;
    QTimer m_timeout;
    QDBusServiceWatcher* m_watcher = nullptr;
};

} // namespace snaplorn
