#pragma once
#include <QString>

#include <optional>

namespace snaplorn {

// A hot-key setting such as "1,121": the modifier set is the first
// character's digit (1 Alt, 2 Control, 4 Shift, sums), the virtual-key code
// the decimal number from the third character on; the character between
// them is not looked at.
struct HotKeySpec {
    int modifiers = 0;
    int virtualKey = 0;

    // Nothing for a text that does not follow that form (empty, a first
    // character that is no digit, a key code that is no number from 1 to
    // 254).
    static std::optional<HotKeySpec> parse(const QString& text);
    QString text() const;
};

// The three hot keys, by identifier.
enum HotKeyId { HotKeyRectangle = 0, HotKeyDesktop = 1, HotKeyWindow = 2 };

} // namespace snaplorn
