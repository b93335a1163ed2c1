#pragma once
#include "platform/PlatformServices.h"
#include "platform/standins/ScriptedDialogService.h"
#include "platform/ScriptedMessageService.h"
#include "platform/Shell.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QTimer>
#include <QString>
#include <QtTest>

#include <functional>

namespace snaplorn::test {

// Points HOME and the XDG folders at a fresh folder of this process, so a
// test never reads or writes the real user's settings, cache or data.
// Called by the test main before the application object exists.
void isolateUserFolders();

// A service bundle of stand-ins, with typed access to each.
struct StandIns {
    PlatformServices services;
    ScriptedMessageService* messages = nullptr;
    ScriptedDialogService* dialogs = nullptr;
    RecordingShell* shell = nullptr;
};
StandIns makeStandIns();

// A picture with a different colour in every pixel, for exact comparisons.
QImage patternImage(int width, int height, quint32 seed = 1);
// Folder of this test process for scratch files (inside the isolated home).
QString scratchFolder();

// Watches for modal dialogs while a command runs: each one that opens is
// handed to `drive` and then closed, so a failing check never hangs the
// test. Stops watching when it goes out of scope.
class ModalWatcher
{
public:
    explicit ModalWatcher(std::function<void(QWidget*)> drive = {}) : m_drive(std::move(drive))
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { check(); });
        m_timer.start();
    }
    int seen = 0;
    // Whether the last dialog was still open after `drive` had run.
    bool visibleAfterDrive = false;

private:
    void check()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_handled)
            return;
        m_handled = modal;
        ++seen;
        if (m_drive)
            m_drive(modal);
        visibleAfterDrive = modal->isVisible();
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
            dialog->reject();
    }

    std::function<void(QWidget*)> m_drive;
    QTimer m_timer;
    QWidget* m_handled = nullptr;
};

} // namespace snaplorn::test

// Test entry points: the application object is created after the user
// folders are isolated.
#define SNAPLORN_TEST_MAIN(TestClass)                                                              \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        snaplorn::test::isolateUserFolders();                                                      \
        QApplication app(argc, argv);                                                              \
        app.setAttribute(Qt::AA_Use96Dpi, true);                                                   \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }

#define SNAPLORN_TEST_MAIN_CORE(TestClass)                                                         \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        snaplorn::test::isolateUserFolders();                                                      \
        QCoreApplication app(argc, argv);                                                          \
        TestClass tc;                                                                              \
        QTEST_SET_MAIN_SOURCE_PATH                                                                 \
        return QTest::qExec(&tc, argc, argv);                                                      \
    }
