#pragma once
#include "base/Result.h"
#include "platform/MimeMessage.h"

#include <QString>

#include <functional>

class QObject;

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
    using ComposeDone = std::function<void(const ComposeOutcome&)>;
    using SendDone = std::function<void(const Result&)>;

    // Both calls return at once and answer through `done` from the event
    // loop, once the mail program or transport has finished (the window
    // stays usable meanwhile). No answer comes once `context` is gone; a
    // send still running then is stopped.

    // Opens a new message with the subject and the file attached, for the
    // user to complete and send.
    virtual void compose(const QString& subject, const QString& attachmentFile, QObject* context,
                         ComposeDone done) = 0;

    // Sends the message without any further window.
    virtual void send(const MailMessage& message, QObject* context, SendDone done) = 0;
};

} // namespace snaplorn
