#pragma once
#include <QObject>
#include <QString>

namespace snaplorn {

// System-wide hot keys. Modifiers: 1 Alt, 2 Control, 4 Shift (sums);
// virtual keys: 112-123 F1-F12, 65-90 A-Z.
//
// Where the program grabs the keys itself (X11) a registration succeeds or
// fails at once. Where the desktop binds them (Wayland) the key asked for is
// only the desktop's starting point: the binding completes later, the
// desktop may choose another key, and the user may change it in the
// desktop's own settings; boundKey() then says what it bound, and a binding
// that fails later is reported through bindingFailed().
class HotKeys : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    // False when the key cannot be registered (held by another program,
    // unknown key).
    virtual bool registerHotKey(int id, int modifiers, int virtualKey) = 0;
    virtual void unregisterHotKey(int id) = 0;

    // True when the desktop decides which key starts each capture.
    virtual bool desktopBindsKeys() const { return false; }
    // The key the desktop bound for `id`, in the desktop's own words; empty
    // while it has bound none (or where the program grabs the keys itself).
    virtual QString boundKey(int id) const
    {
        Q_UNUSED(id);
        return QString();
    }

signals:
    void activated(int id);
    // What boundKey() answers has changed.
    void bindingsChanged();
    // The desktop did not bind the keys after all (or dropped them); the
    // message tells the user why and what to do.
    void bindingFailed(const QString& message);
};

} // namespace snaplorn
