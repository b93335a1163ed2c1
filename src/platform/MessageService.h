#pragma once
#include <QString>

class QWidget;

namespace snaplorn {

enum class MsgIcon { None, Information, Exclamation, Critical, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

// One message box: text, icon, button set and caption. An empty caption
// means the application title.
struct Message {
    QString text;
    MsgIcon icon = MsgIcon::Exclamation;
    MsgButtons buttons = MsgButtons::Ok;
    QString caption;
};

// Every message box of the program goes through this seam, so tests can
// script the answers and read back what was shown.
class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual MsgAnswer ask(QWidget* parent, const Message& message) = 0;

    // Convenience for the common exclamation box with an OK button.
    void tell(QWidget* parent, const QString& text, MsgIcon icon = MsgIcon::Exclamation,
              const QString& caption = QString())
    {
        ask(parent, Message{text, icon, MsgButtons::Ok, caption});
    }
};

QString captionOrAppTitle(const QString& caption);

} // namespace snaplorn
