#pragma once
// Shared by the output system tests: servers started and stopped by a test,
// one-shot tool runs, and the main window on the real platform services
// with scripted message boxes.
#include "TestSupport.h"

#include "capture/CaptureController.h"
#include "document/ImageDocument.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/frmViewImage.h"
#include "output/OutputCommands.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QTimer>

#include <functional>

using snaplorn::test::ModalWatcher;

namespace snaplorn::test {

// A server started by a test and stopped when the test leaves, whatever way.
class Server
{
public:
    Server(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(program, arguments);
        m_process.waitForStarted(10000);
    }
    ~Server() { stop(); }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    QByteArray output()
    {
        m_log += m_process.readAll();
        return m_log;
    }

private:
    QProcess m_process;
    QByteArray m_log;
};

struct Run {
    int exitCode = -1;
    QByteArray output;
};

inline Run run(const QString& program, const QStringList& arguments, int timeoutMs = 30000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs))
        process.kill();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAll()};
}

// The main window on the platform services of this desktop, with message
// boxes and dialogs scripted.
struct OutputWindow {
    PlatformServices services;
    ScriptedMessageService* messages = nullptr;
    ScriptedDialogService* dialogs = nullptr;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<frmViewImage> w;

    void create()
    {
        services = createPlatformServices();
        auto scriptedMessages = std::make_unique<ScriptedMessageService>();
        auto scriptedDialogs = std::make_unique<ScriptedDialogService>();
        messages = scriptedMessages.get();
        dialogs = scriptedDialogs.get();
        services.messages = std::move(scriptedMessages);
        services.dialogs = std::move(scriptedDialogs);
        registry = std::make_unique<Registry>(scratchFolder() + "/system.conf");
        w = std::make_unique<frmViewImage>(services, *registry, QString());
    }
    ImageDocument& doc() { return w->document(); }
    void trigger(const char* name) { w->command(name)->trigger(); }
    // The picture as if just captured: untitled and unsaved.
    void showPicture(const QImage& picture)
    {
        doc().setDirty(false); // no question about the previous picture
        trigger("mnuNew");
        doc().setCanvas(picture);
        doc().CommitCanvas();
        doc().setDirty(true);
    }
};

} // namespace snaplorn::test
