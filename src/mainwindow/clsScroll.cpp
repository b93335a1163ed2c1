#include "mainwindow/clsScroll.h"

#include <QEvent>
#include <QPointer>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>

namespace {

bool fitsInt16(long value)
{
    return value >= -32768 && value <= 32767;
}

// One bar's settings; false when a value does not fit the bar.
bool setUpBar(QScrollBar* bar, long maxLen, int smallChange, long largeChange)
{
    if (!fitsInt16(maxLen))
        return false;
    bar->setMaximum(int(std::max(0L, maxLen)));
    if (!fitsInt16(smallChange))
        return false;
    bar->setSingleStep(smallChange);
    if (!fitsInt16(largeChange))
        return false;
    bar->setPageStep(int(std::max(1L, largeChange)));
    return true;
}

// Bar value (image pixels) as a widget offset (device-independent pixels).
int toOffset(int value, const QWidget* pic)
{
    return qRound(value / pic->devicePixelRatioF());
}

// Hands the focus on from a scroll bar to the widget it scrolls.
class FocusPasser : public QObject
{
public:
    FocusPasser(QScrollBar* bar, QWidget* target) : QObject(bar), m_target(target)
    {
        bar->installEventFilter(this);
        QObject::connect(bar, &QScrollBar::actionTriggered, this, [this] { pass(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn)
            pass();
        return QObject::eventFilter(watched, event);
    }

private:
    void pass()
    {
        if (m_target && m_target->isEnabled())
            m_target->setFocus(Qt::OtherFocusReason);
    }

    QPointer<QWidget> m_target;
};

} // namespace

void clsScroll::SetUpScrollBars(QScrollBar* H_SB, QScrollBar* V_SB, long lVer_MaxLen,
                                int iVer_SmallChange, long lVer_LargeChange, long lHor_MaxLen,
                                int iHor_SmallChange, long lHor_LargeChange) const
{
    if (!setUpBar(V_SB, lVer_MaxLen, iVer_SmallChange, lVer_LargeChange))
        return;
    if (!setUpBar(H_SB, lHor_MaxLen, iHor_SmallChange, lHor_LargeChange))
        return;
    V_SB->setEnabled(lVer_MaxLen >= 1);
    H_SB->setEnabled(lHor_MaxLen >= 1);
}

void clsScroll::MoveV(QScrollBar* V_SB, QWidget* pic) const
{
    pic->move(pic->x(), -toOffset(V_SB->value(), pic));
}

void clsScroll::MoveH(QScrollBar* H_SB, QWidget* pic) const
{
    pic->move(-toOffset(H_SB->value(), pic), pic->y());
}

void clsScroll::passFocus(QScrollBar* bar, QWidget* target)
{
    new FocusPasser(bar, target);
}
