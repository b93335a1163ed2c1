#include "settings/Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

namespace snaplorn {

namespace {

QString unescape(const QString& raw)
{
    QString out;
    out.reserve(raw.size());
    for (int i = 0; i < raw.size(); ++i) {
        const QChar c = raw.at(i);
        if (c != QLatin1Char('\\') || i + 1 == raw.size()) {
            out += c;
            continue;
        }
        const QChar next = raw.at(++i);
        switch (next.unicode()) {
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '0':
            out += QChar(0);
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        case '=':
            out += QLatin1Char('=');
            break;
        default:
            out += c;
            out += next;
            break;
        }
    }
    return out;
}

QString escape(const QString& text, bool isName)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case 0:
            out += QLatin1String("\\0");
            break;
        case '=':
            out += isName ? QLatin1String("\\=") : QLatin1String("=");
            break;
        default:
            out += c;
            break;
        }
    }
    return out;
}

// Position of the first '=' that is not escaped, or -1.
int separatorIndex(const QString& line)
{
    for (int i = 0; i < line.size(); ++i) {
        if (line.at(i) == QLatin1Char('\\'))
            ++i;
        else if (line.at(i) == QLatin1Char('='))
            return i;
    }
    return -1;
}

} // namespace

Registry::Registry(QString filePath) : m_filePath(std::move(filePath)) {}

Registry::Sections Registry::parse(const QByteArray& text)
{
    Sections sections;
    QString current;
    bool inSection = false;
    for (const QByteArray& rawLine : text.split('\n')) {
        QString line = QString::fromUtf8(rawLine);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = line.mid(1, line.size() - 2);
            sections[current];
            inSection = true;
            continue;
        }
        const int eq = separatorIndex(line);
        if (!inSection || eq <= 0)
            continue; // comments, blank lines and garbage are skipped
        sections[current].insert(unescape(line.left(eq)), unescape(line.mid(eq + 1)));
    }
    return sections;
}

QByteArray Registry::serialize(const Sections& sections)
{
    QByteArray out;
    for (auto s = sections.cbegin(); s != sections.cend(); ++s) {
        out += '[' + s.key().toUtf8() + "]\n";
        for (auto v = s.value().cbegin(); v != s.value().cend(); ++v)
            out += escape(v.key(), true).toUtf8() + '=' + escape(v.value(), false).toUtf8() + '\n';
        out += '\n';
    }
    return out;
}

Registry::Sections Registry::load() const
{
    QFile file(m_filePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

template <typename Change> bool Registry::modify(Change change)
{
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    QLockFile lock(m_filePath + QLatin1String(".lock"));
    lock.setStaleLockTime(10000);
    if (!lock.tryLock(5000))
        return false;
    Sections sections = load();
    if (!change(sections))
        return false;
    QSaveFile out(m_filePath);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(serialize(sections));
    return out.commit();
}

bool Registry::keyExists(const QString& keyPath) const
{
    return load().contains(keyPath);
}

bool Registry::createKey(const QString& keyPath)
{
    if (keyExists(keyPath))
        return true;
    return modify([&](Sections& sections) {
        sections[keyPath];
        return true;
    });
}

namespace {

// A value as a read returns it: up to the first NUL, at most 254 characters.
QString readable(QString text)
{
    const int nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text.left(Registry::MaxReadLength);
}

} // namespace

std::optional<QString> Registry::readString(const QString& keyPath, const QString& name) const
{
    const Sections sections = load();
    const auto section = sections.constFind(keyPath);
    if (section == sections.cend())
        return std::nullopt;
    const auto value = section->constFind(name);
    if (value == section->cend())
        return std::nullopt;
    return readable(*value);
}

std::optional<Registry::Section> Registry::readKey(const QString& keyPath) const
{
    const Sections sections = load();
    const auto section = sections.constFind(keyPath);
    if (section == sections.cend())
        return std::nullopt;
    Section values;
    for (auto value = section->cbegin(); value != section->cend(); ++value)
        values.insert(value.key(), readable(value.value()));
    return values;
}

bool Registry::writeString(const QString& keyPath, const QString& name, const QString& value)
{
    return modify([&](Sections& sections) {
        auto section = sections.find(keyPath);
        if (section == sections.end())
            return false; // opening a missing key fails; the write is lost
        section->insert(name, value);
        return true;
    });
}

void RegWriteString(Registry& registry, RegRoot, const QString& keyPath, const QString& name,
                    const QString& value)
{
    registry.writeString(keyPath, name, value);
}

} // namespace snaplorn
