#pragma once
#include "platform/ActiveWindow.h"

namespace snaplorn {

// Stand-in for tests: answers with a set frame, or with "no window".
class FakeActiveWindow : public ActiveWindow
{
public:
    ActiveWindowInfo activeWindow() override { return m_info; }
    void setFrame(const QRect& frame) { m_info = {frame, QString()}; }
    void setNone(const QString& message) { m_info = {QRect(), message}; }

private:
    ActiveWindowInfo m_info;
};

} // namespace snaplorn
