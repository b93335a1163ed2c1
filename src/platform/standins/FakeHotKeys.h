#pragma once
#include "platform/HotKeys.h"

#include <QString>

#include <map>
#include <set>

namespace snaplorn {

// Stand-in for tests: records registrations, refuses the virtual keys it is
// told are taken, and "presses" a registered key on request.
class FakeHotKeys : public HotKeys
{
    Q_OBJECT
public:
    using HotKeys::HotKeys;
    struct Key {
        int modifiers;
        int virtualKey;
    };

    bool registerHotKey(int id, int modifiers, int virtualKey) override;
    void unregisterHotKey(int id) override { m_registered.erase(id); }

    void refuseKey(int virtualKey) { m_taken.insert(virtualKey); }
    bool isRegistered(int id) const { return m_registered.count(id) != 0; }
    Key key(int id) const { return m_registered.at(id); }
    int attempts() const { return m_attempts; }
    // Emits activated(id) the way a real key press does (queued), if the
    // id is registered; returns whether it was.
    bool press(int id);

    // Plays a desktop that binds the keys itself: it bound `key` for `id`.
    void desktopBinds(int id, const QString& key);
    bool desktopBindsKeys() const override { return m_desktopBinds; }
    QString boundKey(int id) const override;

private:
    std::map<int, Key> m_registered;
    std::set<int> m_taken;
    int m_attempts = 0;
    bool m_desktopBinds = false;
    std::map<int, QString> m_bound;
};

} // namespace snaplorn
