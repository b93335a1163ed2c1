#include "platform/MimeMessage.h"

#include <QRandomGenerator>

namespace snaplorn {

namespace {

const QByteArray CRLF = QByteArrayLiteral("\r\n");
constexpr int EncodedWordBytes = 45; // 60 base64 characters: words stay within 75

bool isPlainAscii(const QString& text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

QByteArray encodedWords(const QString& text)
{
    QList<QByteArray> words;
    QByteArray chunk;
    for (int i = 0; i < text.size(); ++i) {
        // Never split a character (surrogate pairs included) between words.
        const int length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, length).toUtf8();
        i += length - 1;
        if (chunk.size() + bytes.size() > EncodedWordBytes) {
            words << chunk;
            chunk.clear();
        }
        chunk += bytes;
    }
    if (!chunk.isEmpty())
        words << chunk;
    QList<QByteArray> encoded;
    for (const QByteArray& word : words)
        encoded << "=?UTF-8?B?" + word.toBase64() + "?=";
    return encoded.join(CRLF + ' ');
}

// Base64 in lines of 76 characters, each ended by CR LF.
QByteArray base64Lines(const QByteArray& data)
{
    const QByteArray encoded = data.toBase64();
    QByteArray lines;
    lines.reserve(encoded.size() + encoded.size() / 38 + 2);
    for (int at = 0; at < encoded.size(); at += 76)
        lines += encoded.mid(at, 76) + CRLF;
    return lines;
}

QByteArray addressText(const MailAddress& recipient)
{
    if (recipient.name.isEmpty())
        return recipient.address.toLatin1();
    const QByteArray name = isPlainAscii(recipient.name) ? '"' + recipient.name.toLatin1() + '"'
                                                         : encodeHeaderValue(recipient.name);
    return name + " <" + recipient.address.toLatin1() + '>';
}

// "To:" with one address per folded line once the line grows long.
QByteArray toHeader(const QList<MailAddress>& recipients)
{
    QByteArray header = "To: ";
    int lineLength = header.size();
    for (int i = 0; i < recipients.size(); ++i) {
        const QByteArray text = addressText(recipients.at(i));
        if (i > 0) {
            header += ',';
            if (lineLength + 2 + text.size() > 76) {
                header += CRLF;
                lineLength = 0;
            }
            header += ' ';
            lineLength += 2;
        }
        header += text;
        lineLength += text.size();
    }
    return header + CRLF;
}

} // namespace

QString cleanHeaderText(const QString& text)
{
    QString clean = text;
    for (QChar& c : clean) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return clean.trimmed();
}

QByteArray encodeHeaderValue(const QString& text)
{
    const QString clean = cleanHeaderText(text);
    if (isPlainAscii(clean) && clean.size() <= 900)
        return clean.toLatin1();
    return encodedWords(clean);
}

QString mailTextWithTag(const QString& body, const QString& tag)
{
    QString text = body;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text + QLatin1String("\r\n\r\n") + tag;
}

QByteArray buildMimeMessage(const MailMessage& message, const MimeEnvelope& envelope)
{
    const QByteArray boundary = envelope.boundary;
    const QByteArray name = encodeHeaderValue(message.attachmentName);
    QByteArray mail;
    mail += toHeader(envelope.recipients);
    mail += "Subject: " + encodeHeaderValue(message.subject) + CRLF;
    mail += "Date: " + envelope.date.toString(Qt::RFC2822Date).toLatin1() + CRLF;
    mail += "MIME-Version: 1.0" + CRLF;
    mail += "Content-Type: multipart/mixed;" + CRLF + " boundary=\"" + boundary + '"' + CRLF;
    mail += CRLF;
    mail += "This is a multi-part message in MIME format." + CRLF;
    mail += "--" + boundary + CRLF;
    mail += "Content-Type: text/plain; charset=UTF-8" + CRLF;
    mail += "Content-Transfer-Encoding: base64" + CRLF + CRLF;
    mail += base64Lines(message.body.toUtf8());
    mail += "--" + boundary + CRLF;
    mail += "Content-Type: image/jpeg; name=\"" + name + '"' + CRLF;
    mail += "Content-Transfer-Encoding: base64" + CRLF;
    mail += "Content-Disposition: attachment; filename=\"" + name + '"' + CRLF + CRLF;
    mail += base64Lines(envelope.attachment);
    mail += "--" + boundary + "--" + CRLF;
    return mail;
}

QByteArray newMimeBoundary()
{
    QByteArray random;
    for (int i = 0; i < 3; ++i)
        random += QByteArray::number(QRandomGenerator::global()->generate64(), 36);
    return "=_Snaplorn_" + random;
}

} // namespace snaplorn
