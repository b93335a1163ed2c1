#include "platform/standins/FakeHotKeys.h"

#include <QMetaObject>

namespace snaplorn {

bool FakeHotKeys::registerHotKey(int id, int modifiers, int virtualKey)
{
    ++m_attempts;
    m_registered.erase(id);
    if (m_taken.count(virtualKey))
        return false;
    m_registered[id] = {modifiers, virtualKey};
    return true;
}

bool FakeHotKeys::press(int id)
{
    if (!isRegistered(id))
        return false;
    QMetaObject::invokeMethod(
        this, [this, id] { emit activated(id); }, Qt::QueuedConnection);
    return true;
}

void FakeHotKeys::desktopBinds(int id, const QString& key)
{
    m_desktopBinds = true;
    m_bound[id] = key;
    emit bindingsChanged();
}

QString FakeHotKeys::boundKey(int id) const
{
    const auto found = m_bound.find(id);
    return found == m_bound.end() ? QString() : found->second;
}

} // namespace snaplorn
