#pragma once
#include <QMap>
#include <QString>

#include <optional>

namespace snaplorn {

// The program's settings store: an INI text file with one section per key
// path ("[Software\Quorvex\Snaplorn21]") and text values, used like a
// registry: a key must be created before values can be written to it,
// opening a missing key fails, a missing file is a missing key, reads
// return at most 254 characters up to the first NUL, and writes are flushed
// at once.
//
// Every write re-reads the file under a lock file and replaces it
// atomically, so two instances writing at once, or a crash in the middle of
// a write, never leave a torn or empty file: the last writer wins.
class Registry
{
public:
    explicit Registry(QString filePath);

    const QString& filePath() const { return m_filePath; }

    bool keyExists(const QString& keyPath) const;
    // Creates the key (and the file and its folder) if missing; true when the
    // key exists afterwards.
    bool createKey(const QString& keyPath);
    // The value's text, or nothing when the key or value is missing.
    std::optional<QString> readString(const QString& keyPath, const QString& name) const;
    // Every value of the key, each read as readString reads it, from one
    // reading of the file; nothing when the key is missing.
    std::optional<QMap<QString, QString>> readKey(const QString& keyPath) const;
    // Writes into an existing key only; false when the key is missing or the
    // file cannot be written.
    bool writeString(const QString& keyPath, const QString& name, const QString& value);

    static constexpr int MaxReadLength = 254;

    using Section = QMap<QString, QString>;
    using Sections = QMap<QString, Section>;
    // The file format, exposed for tests and for tools that inspect it.
    static Sections parse(const QByteArray& text);
    static QByteArray serialize(const Sections& sections);

private:
    Sections load() const;
    template <typename Change> bool modify(Change change);

    QString m_filePath;
};

// The registry roots the program writes to. Both live in the same file; the
// root only documents intent.
enum class RegRoot { LocalMachine, CurrentUser };

inline constexpr char SettingsKey[] = "Software\\Quorvex\\Snaplorn21";
inline constexpr char DesktopKey[] = "Control Panel\\Desktop";

// Opens the key (never creates it), writes the value and flushes. Every
// failure is ignored: the write is simply lost.
void RegWriteString(Registry& registry, RegRoot root, const QString& keyPath, const QString& name,
                    const QString& value);

} // namespace snaplorn
