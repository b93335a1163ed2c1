// The hot-key setting parser, on the setting's text as the settings file
// gives it (UTF-8) and as any sequence of characters (UTF-16).
#include "FuzzInput.h"

#include "capture/HotKeySpec.h"
#include "options/OptionsRules.h"

using namespace snaplorn;
using namespace snaplorn::fuzz;

namespace {

void checkSpec(const QString& text)
{
    const std::optional<HotKeySpec> spec = HotKeySpec::parse(text);
    const HotKeyBoxes boxes = hotKeyBoxesFromSpec(text);
    if (!spec)
        return;
    require(spec->modifiers >= 0 && spec->modifiers <= 9, "modifier out of range", text);
    require(spec->virtualKey >= 1 && spec->virtualKey <= 254, "key code out of range", text);
    // What a hot key writes back reads back the same.
    const std::optional<HotKeySpec> again = HotKeySpec::parse(spec->text());
    require(again && again->modifiers == spec->modifiers && again->virtualKey == spec->virtualKey,
            "hot key text does not read back", text);
    // The Options dialog shows the same key the hot key registers.
    require(boxes.modifier == modifierBoxText(spec->modifiers), "dialog shows another modifier",
            text);
    require(boxes.key == keyBoxText(spec->virtualKey), "dialog shows another key", text);
    const std::optional<HotKeySpec> fromBoxes = HotKeySpec::parse(hotKeySpecFromBoxes(boxes));
    if (!boxes.modifier.isEmpty() && !boxes.key.isEmpty())
        require(fromBoxes && fromBoxes->modifiers == spec->modifiers &&
                    fromBoxes->virtualKey == spec->virtualKey,
                "dialog boxes store another hot key", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(false);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkSpec(QString::fromUtf8(bytes));
    QString wide(bytes.size() / 2, Qt::Uninitialized);
    std::memcpy(wide.data(), bytes.constData(), size_t(wide.size()) * 2);
    checkSpec(wide);
    return 0;
}
