// The settings file reader and the conversions of the settings loaded at
// start, on a settings file made of the fuzzer's bytes.
#include "FuzzInput.h"

#include "settings/AppSettings.h"
#include "settings/Registry.h"

#include <QFile>

#include <cmath>

using namespace snaplorn;
using namespace snaplorn::fuzz;

namespace {

const QString DefaultFolder = QStringLiteral("/home/someone/Pictures");

// Written out and read again, the file's sections come back unchanged.
void checkFormatRoundTrip(const QByteArray& bytes)
{
    const Registry::Sections sections = Registry::parse(bytes);
    require(Registry::parse(Registry::serialize(sections)) == sections,
            "settings file reads differently after writing");
}

void checkTexts(const AppSettings& s)
{
    for (const QString* text :
         {&s.AutoFolder, &s.HotKeyRect, &s.HotKeyDesk, &s.HotKeyWin, &s.HideMsgID}) {
        require(text->size() <= Registry::MaxReadLength, "setting longer than a registry read");
        require(!text->contains(QChar(0)), "setting holds a NUL");
    }
    require(std::isfinite(s.AutoInterval), "interval not a finite number");
}

// Reading never changes what is stored; a missing key is added with the
// other sections kept as they were.
void checkNothingLost(const QByteArray& before, const QByteArray& after, bool keyCreated)
{
    const QString key = QString::fromLatin1(SettingsKey);
    const Registry::Sections old = Registry::parse(before);
    if (old.contains(key)) {
        require(!keyCreated && after == before, "loading the settings changed the file");
        return;
    }
    Registry::Sections now = Registry::parse(after);
    require(keyCreated && now.contains(key), "missing settings key not created");
    now.remove(key);
    require(now == old, "creating the settings key lost other sections");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    startApplication(false);
    static const QString path = scratchFolder() + QStringLiteral("/settings.ini");
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    checkFormatRoundTrip(bytes);
    writeAll(path, bytes);
    Registry registry(path);
    AppSettings settings = AppSettings::defaults(DefaultFolder);
    const LoadSettingsOutcome outcome = LoadSettings(registry, DefaultFolder, settings);
    // Five settings are numbers; only they can fail to convert.
    require(outcome.errors.size() <= 5, "more conversion errors than numeric settings");
    checkTexts(settings);
    checkNothingLost(bytes, readAll(path), outcome.keyCreated);
    return 0;
}
