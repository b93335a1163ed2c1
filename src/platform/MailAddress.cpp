#include "platform/MailAddress.h"

#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

namespace snaplorn {

namespace {

// RFC 5322 dot-atom local part and a host name of letters, digits and
// hyphens (a single label such as "localhost" is allowed).
const QRegularExpression& addressPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+(\\.[A-Za-z0-9!#$%&'*+/=?^_`{|}~-]+)*"
        "@[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}"
        "[A-Za-z0-9])?)*$"));
    return pattern;
}

bool hasControlCharacter(const QString& text)
{
    for (const QChar c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph || category == QChar::Other_Format)
            return true;
    }
    return false;
}

std::optional<QString> checkedAddress(const QString& text)
{
    const int at = text.lastIndexOf(QLatin1Char('@'));
    if (at <= 0 || text.size() > 254)
        return std::nullopt;
    QString domain = text.mid(at + 1);
    bool ascii = true;
    for (const QChar c : domain)
        ascii = ascii && c.unicode() < 0x80;
    if (!ascii) {
        domain = QString::fromLatin1(QUrl::toAce(domain));
        if (domain.isEmpty())
            return std::nullopt;
    }
    const QString address = text.left(at) + QLatin1Char('@') + domain;
    if (!addressPattern().match(address).hasMatch())
        return std::nullopt;
    return address;
}

std::optional<MailAddress> parseEntry(const QString& entry)
{
    if (hasControlCharacter(entry))
        return std::nullopt;
    const int open = entry.indexOf(QLatin1Char('<'));
    if (open < 0) {
        const auto address = checkedAddress(entry);
        if (!address)
            return std::nullopt;
        return MailAddress{QString(), *address};
    }
    if (!entry.endsWith(QLatin1Char('>')))
        return std::nullopt;
    QString name = entry.left(open).trimmed();
    if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
        name = name.mid(1, name.size() - 2).trimmed();
    static const QRegularExpression specials(QStringLiteral("[<>\"\\\\@]"));
    if (name.contains(specials))
        return std::nullopt;
    const auto address = checkedAddress(entry.mid(open + 1, entry.size() - open - 2).trimmed());
    if (!address)
        return std::nullopt;
    return MailAddress{name, *address};
}

QStringList entriesOf(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[,;]"));
    QStringList entries;
    for (const QString& part : text.split(separators)) {
        const QString entry = part.trimmed();
        if (!entry.isEmpty())
            entries << entry;
    }
    return entries;
}

} // namespace

std::optional<QList<MailAddress>> parseAddressList(const QString& text)
{
    if (hasControlCharacter(text))
        return std::nullopt;
    const QStringList entries = entriesOf(text);
    if (entries.isEmpty())
        return std::nullopt;
    QList<MailAddress> addresses;
    for (const QString& entry : entries) {
        const auto address = parseEntry(entry);
        if (!address)
            return std::nullopt;
        addresses << *address;
    }
    return addresses;
}

QString firstInvalidAddress(const QString& text)
{
    for (const QString& entry : entriesOf(text))
        if (!parseEntry(entry))
            return entry;
    if (hasControlCharacter(text) || entriesOf(text).isEmpty())
        return text.trimmed();
    return QString();
}

} // namespace snaplorn
