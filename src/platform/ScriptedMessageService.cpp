#include "platform/ScriptedMessageService.h"

namespace snaplorn {

MsgAnswer ScriptedMessageService::cautiousAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::Ok:
        return MsgAnswer::Ok;
    case MsgButtons::YesNo:
        return MsgAnswer::No;
    case MsgButtons::OkCancel:
    case MsgButtons::YesNoCancel:
        break;
    }
    return MsgAnswer::Cancel;
}

MsgAnswer ScriptedMessageService::ask(QWidget*, const Message& message)
{
    Message recorded = message;
    recorded.caption = captionOrAppTitle(message.caption);
    m_shown.append(recorded);
    if (m_answers.isEmpty())
        return cautiousAnswer(message.buttons);
    return m_answers.takeFirst();
}

} // namespace snaplorn
