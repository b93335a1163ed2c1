#pragma once
#include "platform/HotKeys.h"

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

private:
    std::map<int, Key> m_registered;
    std::set<int> m_taken;
    int m_attempts = 0;
};

} // namespace snaplorn
