#pragma once
#include <QList>
#include <QString>

#include <optional>

namespace snaplorn {

// One recipient: an optional display name and the address itself.
struct MailAddress {
    QString name;
    QString address; // local@domain, the domain in its ASCII form

    bool operator==(const MailAddress& other) const
    {
        return name == other.name && address == other.address;
    }
};

// Reads what the user typed as recipients: one or more addresses separated
// by commas or semicolons, each either "local@domain" or
// "Display Name <local@domain>". Nothing when any entry does not look like
// an address; line breaks and other control characters are never accepted,
// so the text cannot carry further header lines. A domain in another
// script is turned into its ASCII form.
std::optional<QList<MailAddress>> parseAddressList(const QString& text);

// The first entry that is not an address, for telling the user; empty when
// the whole text is a valid address list, or blank.
QString firstInvalidAddress(const QString& text);

} // namespace snaplorn
