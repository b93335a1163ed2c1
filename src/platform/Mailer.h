#pragma once
#include "base/Result.h"
#include "platform/MimeMessage.h"

#include <QString>

namespace snaplorn {

// E-mail: the user's own mail program first, else a message sent directly
// through the system's mail transport.
class Mailer
{
public:
    virtual ~Mailer() = default;

    enum class Compose {
        Opened,   // the mail program shows a new message
        NoClient, // no mail program is set up: the caller asks for the details itself
        Failed    // the mail program was there but failed; see the message
    };
    struct ComposeOutcome {
        Compose outcome = Compose::Opened;
        QString message; // the reason, when Failed
    };
    // Opens a new message with the subject and the file attached, for the
    // user to complete and send.
    virtual ComposeOutcome compose(const QString& subject, const QString& attachmentFile) = 0;

    // Sends the message without any further window.
    virtual Result send(const MailMessage& message) = 0;
};

} // namespace snaplorn
