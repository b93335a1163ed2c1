#include "settings/SettingsTable.h"

#include <cstring>

namespace snaplorn {

const std::vector<SettingRow>& settingsTable()
{
    using T = SettingType;
    using W = SettingWritten;
    // "HideMsgID" is created empty and reads as "0" while empty: neither names
    // a blocked message.
    static const std::vector<SettingRow> table = {
        {"RunInTray", T::Int16, "0", "0", 0, 0, W::Always, &AppSettings::RunInTray},
        {"JpgQuality", T::Int16, "80", "80", 1, 100, W::Always, &AppSettings::JpgQuality},
        {"AutoFolder", T::Text, nullptr, nullptr, 0, 0, W::Always, &AppSettings::AutoFolder},
        {"AutoInterval", T::Real, "10", "10", 0.2, 60, W::Always, &AppSettings::AutoInterval},
        {"AutoImagesNum", T::Int16, "5", "5", 1, 32767, W::Always, &AppSettings::AutoImagesNum},
        {"HideMsgID", T::Text, "", "0", 0, 0, W::WhenMessagesShown, &AppSettings::HideMsgID},
        {"HotKeyPresent", T::Int16, "1", "1", 0, 0, W::Always, &AppSettings::HotKeyPresent},
        {"HotKeyRect", T::Text, "1,121", "1,121", 0, 0, W::WhenHotKeysOn, &AppSettings::HotKeyRect},
        {"HotKeyDesk", T::Text, "1,122", "1,122", 0, 0, W::WhenHotKeysOn, &AppSettings::HotKeyDesk},
        {"HotKeyWin", T::Text, "1,123", "1,123", 0, 0, W::WhenHotKeysOn, &AppSettings::HotKeyWin},
    };
    return table;
}

const SettingRow& settingRow(const char* key)
{
    for (const SettingRow& row : settingsTable())
        if (std::strcmp(row.key, key) == 0)
            return row;
    return settingsTable().front();
}

} // namespace snaplorn
