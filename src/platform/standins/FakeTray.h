#pragma once
#include "platform/Tray.h"

namespace snaplorn {

// Stand-in for tests: a tray that is there or not, remembers the icon's
// tool tip and how often it was shown, and clicks on request.
class FakeTray : public Tray
{
    Q_OBJECT
public:
    using Tray::Tray;

    bool isAvailable() const override { return available; }
    void showIcon(const QIcon& icon, const QString& toolTip) override;
    bool isShown() const override { return m_shown; }
    void remove() override;
    QRect geometry() const override { return m_shown ? QRect(1880, 0, 24, 24) : QRect(); }

    // Emits the signals a real icon sends (at once).
    void doubleClick() { emit doubleClicked(); }
    void rightClick(const QPoint& globalPos) { emit contextRequested(globalPos); }

    bool available = true;
    QString toolTip;
    int showCount = 0;
    int removeCount = 0;

private:
    bool m_shown = false;
};

} // namespace snaplorn
