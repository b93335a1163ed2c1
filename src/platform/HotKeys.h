#pragma once
#include <QObject>

namespace snaplorn {

// System-wide hot keys. Modifiers: 1 Alt, 2 Control, 4 Shift (sums);
// virtual keys: 112-123 F1-F12, 65-90 A-Z.
class HotKeys : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // False when the key cannot be registered (held by another program,
    // unknown key).
    virtual bool registerHotKey(int id, int modifiers, int virtualKey) = 0;
    virtual void unregisterHotKey(int id) = 0;

signals:
    void activated(int id);
};

} // namespace snaplorn
