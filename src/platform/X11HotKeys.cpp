#include "platform/X11HotKeys.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>

namespace snaplorn {

namespace {

constexpr uint32_t KeysymF1 = 0xffbe;
constexpr uint32_t KeysymNumLock = 0xff7f;
// Modifiers that take part in matching a key press; the locks do not.
constexpr uint16_t RelevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;

struct NamedKey {
    int virtualKey;
    uint32_t keysym;
};
constexpr NamedKey NamedKeys[] = {
    {8, 0xff08},  {9, 0xff09},  {13, 0xff0d}, {19, 0xff13}, {27, 0xff1b}, {32, 0x0020},
    {33, 0xff55}, {34, 0xff56}, {35, 0xff57}, {36, 0xff50}, {37, 0xff51}, {38, 0xff52},
    {39, 0xff53}, {40, 0xff54}, {44, 0xff61}, {45, 0xff63}, {46, 0xffff},
};

} // namespace

uint32_t X11HotKeys::keysymFor(int virtualKey)
{
    if (virtualKey >= 112 && virtualKey <= 135) // F1 .. F24
        return KeysymF1 + uint32_t(virtualKey - 112);
    if (virtualKey >= 65 && virtualKey <= 90) // the keyboard map lists letters in lower case
        return uint32_t('a' + (virtualKey - 65));
    if (virtualKey >= 48 && virtualKey <= 57)
        return uint32_t('0' + (virtualKey - 48));
    if (virtualKey >= 96 && virtualKey <= 105) // keypad digits
        return 0xffb0 + uint32_t(virtualKey - 96);
    for (const NamedKey& key : NamedKeys)
        if (key.virtualKey == virtualKey)
            return key.keysym;
    return 0;
}

int X11HotKeys::modifierMaskFor(int modifiers)
{
    if (modifiers < 0 || modifiers > 15)
        return -1;
    int mask = 0;
    if (modifiers & 1)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & 2)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & 4)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & 8)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

X11HotKeys::X11HotKeys(xcb_connection_t* connection, QObject* parent)
    : HotKeys(parent), m_connection(connection)
{
    m_root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    // Installed once for the whole run, so keys registered at any time
    // (at start or later from the options) work at once.
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeys::~X11HotKeys()
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    for (const auto& entry : m_grabs)
        ungrab(entry.second);
    xcb_flush(m_connection);
}

std::vector<uint8_t> X11HotKeys::keycodesFor(uint32_t keysym)
{
    std::vector<uint8_t> result;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(m_connection);
    if (!symbols)
        return result;
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    for (xcb_keycode_t* code = codes; code && *code != XCB_NO_SYMBOL; ++code)
        result.push_back(*code);
    free(codes);
    xcb_key_symbols_free(symbols);
    return result;
}

// The modifier bit NumLock sets, read from the server's modifier map.
uint16_t X11HotKeys::numLockMask()
{
    const std::vector<uint8_t> numLock = keycodesFor(KeysymNumLock);
    xcb_get_modifier_mapping_reply_t* map = xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr);
    if (!map)
        return 0;
    uint16_t mask = 0;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(map);
    const int perModifier = map->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8 && !mask; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            for (uint8_t code : numLock)
                if (code != 0 && codes[modifier * perModifier + i] == code)
                    mask = uint16_t(1u << modifier);
    free(map);
    return mask;
}

std::vector<uint16_t> X11HotKeys::lockVariants(uint16_t modifiers)
{
    const uint16_t numLock = numLockMask();
    std::vector<uint16_t> variants = {modifiers, uint16_t(modifiers | XCB_MOD_MASK_LOCK)};
    if (numLock) {
        variants.push_back(uint16_t(modifiers | numLock));
        variants.push_back(uint16_t(modifiers | numLock | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

void X11HotKeys::ungrab(const Grab& grab)
{
    for (uint16_t modifiers : lockVariants(grab.modifiers))
        for (uint8_t code : grab.keycodes)
            xcb_ungrab_key(m_connection, code, m_root, modifiers);
}

bool X11HotKeys::registerHotKey(int id, int modifiers, int virtualKey)
{
    unregisterHotKey(id);
    const int mask = modifierMaskFor(modifiers);
    const uint32_t keysym = keysymFor(virtualKey);
    if (mask < 0 || keysym == 0)
        return false;
    Grab grab{uint16_t(mask), keycodesFor(keysym)};
    if (grab.keycodes.empty())
        return false; // the keyboard has no such key
    bool refused = false;
    for (uint16_t variant : lockVariants(grab.modifiers)) {
        for (uint8_t code : grab.keycodes) {
            xcb_generic_error_t* error = xcb_request_check(
                m_connection, xcb_grab_key_checked(m_connection, 0, m_root, variant, code,
                                                   XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            if (error) {
                refused = true; // BadAccess: another client holds this combination
                free(error);
            }
        }
    }
    if (refused) {
        ungrab(grab); // also drops the variants that did succeed
        xcb_flush(m_connection);
        return false;
    }
    m_grabs[id] = grab;
    return true;
}

void X11HotKeys::unregisterHotKey(int id)
{
    const auto found = m_grabs.find(id);
    if (found == m_grabs.end())
        return;
    ungrab(found->second);
    xcb_flush(m_connection);
    m_grabs.erase(found);
}

bool X11HotKeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    auto* event = static_cast<xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
    if (key->event != m_root)
        return false;
    const uint16_t state = key->state & RelevantModifiers;
    for (const auto& [id, grab] : m_grabs) {
        if (grab.modifiers != state)
            continue;
        for (uint8_t code : grab.keycodes) {
            if (code != key->detail)
                continue;
            // The action may hide windows and run the event loop: not from
            // inside the event dispatch.
            if (type == XCB_KEY_PRESS)
                QMetaObject::invokeMethod(
                    this, [this, id = id] { emit activated(id); }, Qt::QueuedConnection);
            return true;
        }
    }
    return false;
}

} // namespace snaplorn
