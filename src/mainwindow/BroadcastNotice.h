#pragma once
#include <QObject>
#include <QPointer>

class QWidget;
class frmMsgBox;

namespace snaplorn {
class BroadcastFetch;
class Registry;
struct AppSettings;
struct PlatformServices;
} // namespace snaplorn

// The broadcast message: fetched once after the start-up tick and shown in
// the suppressible message box unless the user blocked it.
class BroadcastNotice : public QObject
{
    Q_OBJECT
public:
    BroadcastNotice(QWidget& window, snaplorn::Registry& registry,
                    const snaplorn::AppSettings& settings, snaplorn::PlatformServices& services);

    void start();
    void arrived(const QByteArray& reply);
    // Stops a fetch still running, at the end of the program.
    void cancel();
    // The box showing a broadcast message, while it is open.
    frmMsgBox* msgBox() const;

private:
    QWidget& m_window;
    snaplorn::Registry& m_registry;
    const snaplorn::AppSettings& m_settings;
    snaplorn::PlatformServices& m_services;
    snaplorn::BroadcastFetch* Inet1 = nullptr;
    QPointer<frmMsgBox> m_msgBox;
};
