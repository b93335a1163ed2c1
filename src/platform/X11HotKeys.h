#pragma once
#include "platform/HotKeys.h"

#include <QAbstractNativeEventFilter>

#include <cstdint>
#include <map>
#include <vector>

struct xcb_connection_t;

namespace snaplorn {

// Hot keys as passive key grabs on the root window. Each key is grabbed
// with every combination of NumLock and CapsLock, so it works whatever the
// state of those locks; a grab another client already holds fails at once
// (the server answers BadAccess) and the registration is refused. The
// application-wide event filter turns a grabbed key press into activated().
class X11HotKeys : public HotKeys, public QAbstractNativeEventFilter
{
    Q_OBJECT
public:
    // The connection belongs to the caller (Qt's own) and must outlive this.
    explicit X11HotKeys(xcb_connection_t* connection, QObject* parent = nullptr);
    ~X11HotKeys() override;

    bool registerHotKey(int id, int modifiers, int virtualKey) override;
    void unregisterHotKey(int id) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // The keysym of a virtual-key code (112-123 F1-F12, 65-90 A-Z, 48-57
    // digits, a few named keys), 0 for a code without one.
    static uint32_t keysymFor(int virtualKey);
    // The X modifier mask of a modifier set (1 Alt = Mod1, 2 Control,
    // 4 Shift, 8 the Windows key = Mod4, and sums); -1 for a set out of range.
    static int modifierMaskFor(int modifiers);

private:
    struct Grab {
        uint16_t modifiers = 0;
        std::vector<uint8_t> keycodes;
    };
    std::vector<uint8_t> keycodesFor(uint32_t keysym);
    uint16_t numLockMask();
    std::vector<uint16_t> lockVariants(uint16_t modifiers);
    void ungrab(const Grab& grab);

    xcb_connection_t* m_connection;
    uint32_t m_root = 0;
    std::map<int, Grab> m_grabs;
};

} // namespace snaplorn
