#include "tools/CellChooser.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QPainter>

#include <vector>

namespace {

// One cell as assistive tools see it: a list item with its name, place and
// state, pressed by their default action.
class CellAccessible : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    CellAccessible(CellChooser* chooser, QAccessibleInterface* list, int index)
        : m_chooser(chooser), m_list(list), m_index(index)
    {
    }
    bool isValid() const override { return m_chooser && m_index < m_chooser->cellCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_list->window(); }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return m_list; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_chooser->cellName(m_index) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect cell = m_chooser->cellRect(m_index);
        return QRect(m_chooser->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.selectable = true;
        s.focusable = true;
        s.selected = m_chooser->chosenCell() == m_index;
        s.focused = m_chooser->hasFocus() && m_chooser->focusedCell() == m_index;
        s.disabled = !m_chooser->isEnabled();
        s.invisible = !m_chooser->isVisible();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && isValid() && m_chooser->isEnabled())
            m_chooser->chooseCell(m_index);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<CellChooser> m_chooser;
    QAccessibleInterface* m_list;
    int m_index;
};

// The control itself: a list whose items are its cells.
class CellChooserAccessible : public QAccessibleWidget
{
public:
    explicit CellChooserAccessible(CellChooser* chooser)
        : QAccessibleWidget(chooser, QAccessible::List)
    {
        for (int i = 0; i < chooser->cellCount(); ++i)
            m_cells.push_back(
                QAccessible::registerAccessibleInterface(new CellAccessible(chooser, this, i)));
    }
    ~CellChooserAccessible() override
    {
        for (QAccessible::Id id : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override { return int(m_cells.size()); }
    QAccessibleInterface* child(int index) const override
    {
        return index >= 0 && index < childCount()
                   ? QAccessible::accessibleInterface(m_cells[size_t(index)])
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessible::accessibleInterface(m_cells[size_t(i)]) == child)
                return i;
        return -1;
    }
    QAccessibleInterface* focusChild() const override
    {
        auto* chooser = static_cast<CellChooser*>(widget());
        return chooser->hasFocus() ? child(chooser->focusedCell()) : nullptr;
    }

private:
    std::vector<QAccessible::Id> m_cells;
};

QAccessibleInterface* cellChooserFactory(const QString&, QObject* object)
{
    if (auto* chooser = qobject_cast<CellChooser*>(object))
        return new CellChooserAccessible(chooser);
    return nullptr;
}

} // namespace

CellChooser::CellChooser(int count, int columns, QWidget* parent)
    : QWidget(parent), m_count(count), m_columns(columns)
{
    static const bool installed = [] {
        QAccessible::installFactory(cellChooserFactory);
        return true;
    }();
    Q_UNUSED(installed);
    // Tab reaches the control; a click also takes the focus, which ends a
    // pending text entry or paste first.
    setFocusPolicy(Qt::StrongFocus);
}

void CellChooser::chooseCell(int index)
{
    if (index < 0 || index >= m_count)
        return;
    moveFocus(index);
    emit pressed(Qt::LeftButton, cellRect(index).center());
}

void CellChooser::moveFocus(int index)
{
    if (index < 0 || index >= m_count || index == m_focused)
        return;
    m_focused = index;
    update();
    if (hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(index);
        QAccessible::updateAccessibility(&focus);
    }
}

void CellChooser::keyPressEvent(QKeyEvent* event)
{
    const int column = m_focused % m_columns;
    switch (event->key()) {
    case Qt::Key_Left:
        if (column > 0)
            moveFocus(m_focused - 1);
        break;
    case Qt::Key_Right:
        if (column < m_columns - 1)
            moveFocus(m_focused + 1);
        break;
    case Qt::Key_Up:
        moveFocus(m_focused - m_columns);
        break;
    case Qt::Key_Down:
        moveFocus(m_focused + m_columns);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        chooseCell(m_focused);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void CellChooser::focusInEvent(QFocusEvent* event)
{
    // The keys start on the chosen cell.
    if (chosenCell() >= 0)
        m_focused = chosenCell();
    QWidget::focusInEvent(event);
    update();
}

void CellChooser::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void CellChooser::paintFocusCell(QPainter& painter) const
{
    if (!hasFocus())
        return;
    QPen dotted(palette().color(QPalette::Highlight), 1, Qt::DotLine);
    painter.setPen(dotted);
    painter.setBrush(Qt::NoBrush);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawRect(cellRect(m_focused).adjusted(1, 1, -2, -2));
}
