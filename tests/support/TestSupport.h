#pragma once
#include "platform/PlatformServices.h"
#include "platform/ScriptedDialogService.h"
#include "platform/ScriptedMessageService.h"
#include "platform/Shell.h"

#include <QImage>
#include <QString>
#include <QtTest>

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
