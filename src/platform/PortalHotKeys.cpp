#include "platform/PortalHotKeys.h"
#include "platform/PortalNames.h"

#include "base/Texts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>

namespace snaplorn {

// One shortcut as the portal lists it: its name and its properties
// ("description", "preferred_trigger"; in answers "trigger_description").
struct PortalShortcut {
    QString name;
    QVariantMap properties;
};
using PortalShortcuts = QList<PortalShortcut>;

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument << shortcut.name << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut)
{
    argument.beginStructure();
    argument >> shortcut.name >> shortcut.properties;
    argument.endStructure();
    return argument;
}

} // namespace snaplorn

Q_DECLARE_METATYPE(snaplorn::PortalShortcut)

namespace snaplorn {

namespace {

const char ShortcutsInterface[] = "org.freedesktop.portal.GlobalShortcuts";
const char RequestInterface[] = "org.freedesktop.portal.Request";
const char SessionInterface[] = "org.freedesktop.portal.Session";
// Always the same, so that a desktop that keeps its record of the keys
// under the session's token finds the same record at every start.
const char SessionToken[] = "snaplorn";

const char* const ShortcutNames[3] = {"rectangle", "desktop", "window"};
const char* const ShortcutDescriptions[3] = {texts::OptionsHotKeyRect, texts::OptionsHotKeyDesk,
                                             texts::OptionsHotKeyWin};

struct KeyName {
    int virtualKey;
    const char* name;
};
constexpr KeyName NamedKeys[] = {
    {8, "BackSpace"}, {9, "Tab"},   {13, "Return"}, {19, "Pause"},  {27, "Escape"}, {32, "space"},
    {33, "Prior"},    {34, "Next"}, {35, "End"},    {36, "Home"},   {37, "Left"},   {38, "Up"},
    {39, "Right"},    {40, "Down"}, {44, "Print"},  {45, "Insert"}, {46, "Delete"},
};

QString text(const char* fixed)
{
    return QString::fromUtf8(fixed);
}

// What a failed call means to the user: a portal that is not there, one
// that does not answer, or one that answers with an error.
QString callFailure(const QDBusError& error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownObject:
    case QDBusError::Disconnected:
        return text(texts::HotKeysNoPortal);
    case QDBusError::NoReply:
    case QDBusError::Timeout:
        return text(texts::HotKeysPortalSilent);
    default:
        return text(texts::HotKeysPortalError).arg(error.message());
    }
}

// A path the portal sent either as an object path or as text.
QString pathOf(const QVariant& value)
{
    if (value.canConvert<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

QVariantMap mapOf(const QVariant& value)
{
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

} // namespace

PortalHotKeys::PortalHotKeys(int timeoutMs, QObject* parent)
    : HotKeys(parent), m_timeoutMs(timeoutMs)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcuts>();
    // The three registrations of a change arrive one after the other and
    // become one binding.
    m_schedule.setSingleShot(true);
    m_schedule.setInterval(0);
    connect(&m_schedule, &QTimer::timeout, this, &PortalHotKeys::bind);
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(timeoutMs);
    connect(&m_timeout, &QTimer::timeout, this, [this] { fail(text(texts::HotKeysPortalSilent)); });

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    for (const char* member : {"Activated", "ShortcutsChanged"})
        bus.connect(QString::fromLatin1(PortalService), QString::fromLatin1(PortalPath),
                    QString::fromLatin1(ShortcutsInterface), QString::fromLatin1(member), this,
                    SLOT(portalSignal(QDBusMessage)));
    m_watcher = new QDBusServiceWatcher(QString::fromLatin1(PortalService), bus,
                                        QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &PortalHotKeys::portalGone);
}

// The portal would end the session when the program leaves the bus anyway;
// closing it says so at once.
PortalHotKeys::~PortalHotKeys()
{
    if (!m_session.isEmpty())
        QDBusConnection::sessionBus().send(QDBusMessage::createMethodCall(
            QString::fromLatin1(PortalService), m_session, QString::fromLatin1(SessionInterface),
            QStringLiteral("Close")));
}

QString PortalHotKeys::preferredTrigger(int modifiers, int virtualKey)
{
    if (modifiers < 0 || modifiers > 15)
        return QString();
    QString key;
    if (virtualKey >= 112 && virtualKey <= 135)
        key = QStringLiteral("F%1").arg(virtualKey - 111);
    else if ((virtualKey >= 65 && virtualKey <= 90) || (virtualKey >= 48 && virtualKey <= 57))
        key = QString(QChar(virtualKey)).toLower();
    else if (virtualKey >= 96 && virtualKey <= 105)
        key = QStringLiteral("KP_%1").arg(virtualKey - 96);
    for (const KeyName& named : NamedKeys)
        if (named.virtualKey == virtualKey)
            key = QString::fromLatin1(named.name);
    if (key.isEmpty())
        return QString();
    QString trigger;
    if (modifiers & 2)
        trigger += QLatin1String("CTRL+");
    if (modifiers & 1)
        trigger += QLatin1String("ALT+");
    if (modifiers & 4)
        trigger += QLatin1String("SHIFT+");
    if (modifiers & 8)
        trigger += QLatin1String("LOGO+");
    return trigger + key;
}

QString PortalHotKeys::shortcutName(int id)
{
    return id >= 0 && id < 3 ? QString::fromLatin1(ShortcutNames[id]) : QString();
}

bool PortalHotKeys::registerHotKey(int id, int modifiers, int virtualKey)
{
    const QString trigger = preferredTrigger(modifiers, virtualKey);
    if (trigger.isEmpty() || shortcutName(id).isEmpty()) {
        unregisterHotKey(id);
        return false;
    }
    m_wanted[id] = {trigger, text(ShortcutDescriptions[id]).trimmed()};
    m_schedule.start();
    return true;
}

void PortalHotKeys::unregisterHotKey(int id)
{
    if (m_wanted.erase(id) != 0)
        m_schedule.start();
}

QString PortalHotKeys::boundKey(int id) const
{
    const auto found = m_bound.find(id);
    return found == m_bound.end() ? QString() : found->second;
}

// ---- the binding, one step after the other -----------------------------------

// A binding under way finishes first; the newest wish is bound after it.
void PortalHotKeys::bind()
{
    if (m_step != Step::Idle) {
        m_again = true;
        return;
    }
    m_again = false;
    if (!m_bound.empty()) {
        m_bound.clear();
        emit bindingsChanged();
    }
    if (!m_session.isEmpty())
        closeSession();
    else if (!m_wanted.empty())
        createSession();
}

void PortalHotKeys::closeSession()
{
    QDBusConnection::sessionBus().disconnect(
        QString::fromLatin1(PortalService), m_session, QString::fromLatin1(SessionInterface),
        QStringLiteral("Closed"), this, SLOT(sessionClosed(QDBusMessage)));
    QDBusMessage close = QDBusMessage::createMethodCall(
        QString::fromLatin1(PortalService), m_session, QString::fromLatin1(SessionInterface),
        QStringLiteral("Close"));
    m_session.clear();
    call(Step::Closing, close, QString());
}

void PortalHotKeys::createSession()
{
    const QString token = QStringLiteral("snaplorn_keys%1").arg(++m_requests);
    QDBusMessage create = QDBusMessage::createMethodCall(
        QString::fromLatin1(PortalService), QString::fromLatin1(PortalPath),
        QString::fromLatin1(ShortcutsInterface), QStringLiteral("CreateSession"));
    create << QVariantMap{
        {QStringLiteral("handle_token"), token},
        {QStringLiteral("session_handle_token"), QString::fromLatin1(SessionToken)},
        {QStringLiteral("shortcuts"), shortcutList()}};
    call(Step::Creating, create, token);
}

void PortalHotKeys::bindShortcuts()
{
    const QString token = QStringLiteral("snaplorn_keys%1").arg(++m_requests);
    QDBusMessage bindCall = QDBusMessage::createMethodCall(
        QString::fromLatin1(PortalService), QString::fromLatin1(PortalPath),
        QString::fromLatin1(ShortcutsInterface), QStringLiteral("BindShortcuts"));
    bindCall << QVariant::fromValue(QDBusObjectPath(m_session)) << shortcutList() << QString()
             << QVariantMap{{QStringLiteral("handle_token"), token}};
    call(Step::Binding, bindCall, token);
}

QVariant PortalHotKeys::shortcutList() const
{
    PortalShortcuts shortcuts;
    for (const auto& [id, wanted] : m_wanted)
        shortcuts.append({shortcutName(id),
                          {{QStringLiteral("description"), wanted.description},
                           {QStringLiteral("preferred_trigger"), wanted.trigger}}});
    return QVariant::fromValue(shortcuts);
}


void PortalHotKeys::call(Step step, const QDBusMessage& message, const QString& requestToken)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_step = step;
        fail(text(texts::HotKeysNoPortal));
        return;
    }
    m_step = step;
    const int generation = ++m_generation;
    m_awaited = requestToken.isEmpty() ? QString() : portalRequestPath(requestToken);
    if (!m_awaited.isEmpty())
        bus.connect(QString::fromLatin1(PortalService), m_awaited,
                    QString::fromLatin1(RequestInterface), QStringLiteral("Response"), this,
                    SLOT(requestAnswered(QDBusMessage)));
    m_timeout.start();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, m_timeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, generation](QDBusPendingCallWatcher* w) { callAnswered(w, generation); });
}

void PortalHotKeys::callAnswered(QDBusPendingCallWatcher* watcher, int generation)
{
    watcher->deleteLater();
    if (generation != m_generation)
        return;
    if (m_step == Step::Closing) {
        // Whatever the answer, the old session is gone for us.
        m_timeout.stop();
        m_step = Step::Idle;
        if (!m_wanted.empty() && !m_again)
            createSession();
        else
            settle();
        return;
    }
    QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        fail(callFailure(reply.error()));
        return;
    }
    // Older portals choose the request's path themselves.
    const QString path = reply.value().path();
    if (path != m_awaited) {
        QDBusConnection::sessionBus().connect(
            QString::fromLatin1(PortalService), path, QString::fromLatin1(RequestInterface),
            QStringLiteral("Response"), this, SLOT(requestAnswered(QDBusMessage)));
        m_awaited = path;
    }
    // Binding may wait for the user, who chooses the keys in a window of the
    // desktop: only creating the session must be answered in time.
    if (m_step == Step::Binding)
        m_timeout.stop();
}

void PortalHotKeys::requestAnswered(const QDBusMessage& message)
{
    if (message.path() != m_awaited || m_step == Step::Idle)
        return;
    QDBusConnection::sessionBus().disconnect(
        QString::fromLatin1(PortalService), m_awaited, QString::fromLatin1(RequestInterface),
        QStringLiteral("Response"), this, SLOT(requestAnswered(QDBusMessage)));
    const QVariantList args = message.arguments();
    if (args.size() < 2) {
        fail(text(texts::HotKeysPortalError).arg(QStringLiteral("an answer without results")));
        return;
    }
    answered(args.at(0).toUInt(), mapOf(args.at(1)));
}

void PortalHotKeys::answered(uint code, const QVariantMap& results)
{
    m_timeout.stop();
    if (code != 0) {
        fail(text(texts::HotKeysRefused).arg(code));
        return;
    }
    if (m_step == Step::Binding) {
        takeShortcuts(results.value(QStringLiteral("shortcuts")));
        settle();
        return;
    }
    m_session = pathOf(results.value(QStringLiteral("session_handle")));
    if (m_session.isEmpty()) {
        fail(text(texts::HotKeysPortalError).arg(QStringLiteral("no session was opened")));
        return;
    }
    QDBusConnection::sessionBus().connect(
        QString::fromLatin1(PortalService), m_session, QString::fromLatin1(SessionInterface),
        QStringLiteral("Closed"), this, SLOT(sessionClosed(QDBusMessage)));
    // A desktop that bound the keys given with the session answers with
    // them; asking it to bind them again would open its settings window.
    if (takeShortcuts(results.value(QStringLiteral("shortcuts"))))
        settle();
    else
        bindShortcuts();
}

// Records what the desktop bound; true when every wanted key is listed.
bool PortalHotKeys::takeShortcuts(const QVariant& value)
{
    if (!value.canConvert<QDBusArgument>())
        return false;
    const PortalShortcuts shortcuts = qdbus_cast<PortalShortcuts>(value.value<QDBusArgument>());
    if (shortcuts.isEmpty())
        return false;
    std::size_t listed = 0;
    for (const PortalShortcut& shortcut : shortcuts)
        for (int id = 0; id < 3; ++id)
            if (shortcut.name == shortcutName(id) && m_wanted.count(id) != 0) {
                m_bound[id] =
                    shortcut.properties.value(QStringLiteral("trigger_description")).toString();
                ++listed;
            }
    emit bindingsChanged();
    return listed == m_wanted.size();
}

void PortalHotKeys::settle()
{
    m_step = Step::Idle;
    m_awaited.clear();
    if (m_again)
        bind();
}

void PortalHotKeys::fail(const QString& message)
{
    m_timeout.stop();
    ++m_generation;
    settle();
    emit bindingFailed(message);
}

// ---- what the desktop says later ------------------------------------------------

void PortalHotKeys::portalSignal(const QDBusMessage& message)
{
    const QVariantList args = message.arguments();
    if (args.size() < 2 || m_session.isEmpty() || pathOf(args.at(0)) != m_session)
        return;
    if (message.member() == QLatin1String("ShortcutsChanged")) {
        takeShortcuts(args.at(1));
        return;
    }
    const QString name = args.at(1).toString();
    for (int id = 0; id < 3; ++id)
        if (name == shortcutName(id) && m_wanted.count(id) != 0)
            emit activated(id);
}

void PortalHotKeys::sessionClosed(const QDBusMessage& message)
{
    if (message.path() == m_session)
        portalGone();
}

// The desktop ended the session, or the portal left the bus: the keys are
// gone until they are bound again.
void PortalHotKeys::portalGone()
{
    const bool hadKeys = !m_session.isEmpty() || m_step != Step::Idle;
    if (!m_session.isEmpty())
        QDBusConnection::sessionBus().disconnect(
            QString::fromLatin1(PortalService), m_session, QString::fromLatin1(SessionInterface),
            QStringLiteral("Closed"), this, SLOT(sessionClosed(QDBusMessage)));
    m_session.clear();
    m_bound.clear();
    emit bindingsChanged();
    if (m_step != Step::Idle) {
        fail(text(texts::HotKeysSessionClosed));
        return;
    }
    if (hadKeys && !m_wanted.empty())
        emit bindingFailed(text(texts::HotKeysSessionClosed));
}

} // namespace snaplorn

// The slots take QtDBus types, which only this file sees.
#include "moc_PortalHotKeys.cpp"
