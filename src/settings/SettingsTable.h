#pragma once
#include "settings/AppSettings.h"

#include <QString>

#include <variant>
#include <vector>

namespace snaplorn {

// Each of the ten settings once: its name in the settings key, its type, the
// value the key is created with at first start, the value in force when it is
// missing, blank or unreadable, the range the Options dialog accepts, and
// when the Options dialog writes it back. Loading, first-start creation,
// writing and the option checks all read this table, in its order, which is
// also the order the values are written.
enum class SettingType { Int16, Real, Text };

enum class SettingWritten {
    Always,            // every OK of the Options dialog
    WhenMessagesShown, // only when "Show me important messages" is ticked, as empty
    WhenHotKeysOn,     // only while "HotKeyPresent" is 1
};

struct SettingRow {
    const char* key;
    SettingType type;
    // nullptr for both: the user's Pictures folder, which is known only at run time
    const char* firstValue;
    const char* fallback;
    double minimum; // both 0: the dialog checks no range
    double maximum;
    SettingWritten written;
    std::variant<qint16 AppSettings::*, float AppSettings::*, QString AppSettings::*> field;
};

const std::vector<SettingRow>& settingsTable();
// The row of a key of the table (the first row for a key that is not one).
const SettingRow& settingRow(const char* key);

} // namespace snaplorn
