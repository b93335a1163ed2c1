#pragma once
#include "platform/MailAddress.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>

namespace snaplorn {

// A message as the e-mail window sends it: recipients, subject, text and
// one picture attached.
struct MailMessage {
    QString to; // as typed: one or more addresses
    QString subject;
    QString body; // the whole text, CR LF line breaks
    QString attachmentPath;
    QString attachmentName; // the name the recipient sees
};

// A header value with every line break and other control character turned
// into a space, so a typed value can never start a header line of its own.
QString cleanHeaderText(const QString& text);

// A header value as it goes on the wire: printable ASCII as it is, any
// other text as UTF-8 encoded words on folded lines. Cleaned first.
QByteArray encodeHeaderValue(const QString& text);

// The text of the message: the body with its line breaks made CR LF,
// then CR LF CR LF and the tag.
QString mailTextWithTag(const QString& body, const QString& tag);

// The parts of a MIME message that the builder needs besides the message.
struct MimeEnvelope {
    QList<MailAddress> recipients; // checked addresses (parseAddressList)
    QByteArray attachment;         // the picture's bytes
    QByteArray boundary;           // must not occur in base64 text
    QDateTime date;
};

// A multipart/mixed message with CR LF line ends: the headers To, Subject,
// Date, MIME-Version and Content-Type, the text as a UTF-8 part and the
// attachment as a base64 image/jpeg part.
QByteArray buildMimeMessage(const MailMessage& message, const MimeEnvelope& envelope);

// A boundary that cannot occur in base64 text: it starts with "=_".
QByteArray newMimeBoundary();

} // namespace snaplorn
