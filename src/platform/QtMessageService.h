#pragma once
#include "platform/MessageService.h"

namespace snaplorn {

// Message boxes on screen, through QMessageBox.
class QtMessageService : public MessageService
{
public:
    MsgAnswer ask(QWidget* parent, const Message& message) override;
};

} // namespace snaplorn
