#include "platform/standins/FakeTray.h"

namespace snaplorn {

void FakeTray::showIcon(const QIcon&, const QString& tip)
{
    toolTip = tip;
    ++showCount;
    m_shown = true;
}

void FakeTray::remove()
{
    ++removeCount;
    m_shown = false;
}

} // namespace snaplorn
