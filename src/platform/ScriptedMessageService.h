#pragma once
#include "platform/MessageService.h"

#include <QList>

namespace snaplorn {

// Stand-in for tests: records every message and answers from a queue.
// With the queue empty it gives the cautious answer of the button set
// (OK, No, Cancel), so an unexpected question never goes ahead.
class ScriptedMessageService : public MessageService
{
public:
    MsgAnswer ask(QWidget* parent, const Message& message) override;

    void queueAnswer(MsgAnswer answer) { m_answers.append(answer); }
    const QList<Message>& shown() const { return m_shown; }
    Message last() const { return m_shown.isEmpty() ? Message{} : m_shown.last(); }
    int count() const { return int(m_shown.size()); }
    int pendingAnswers() const { return int(m_answers.size()); }
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

    static MsgAnswer cautiousAnswer(MsgButtons buttons);

private:
    QList<MsgAnswer> m_answers;
    QList<Message> m_shown;
};

} // namespace snaplorn
