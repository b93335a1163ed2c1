#pragma once
// What every widget test of the main window holds: the stand-in services,
// a settings file of the test's own and the window itself. A test class
// derives from it beside QObject, fills `s` (makeStandIns() or its own
// stand-ins) and calls open().
#include "TestSupport.h"

#include "capture/CaptureController.h"
#include "document/ImageDocument.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/frmViewImage.h"
#include "output/OutputCommands.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAction>

#include <memory>

namespace snaplorn::test {

struct WindowUnderTest {
    StandIns s;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<frmViewImage> w;

    // A new window over the services in `s`, its settings in `settingsFile`.
    void open(const QString& settingsFile, const QString& commandLine = QString())
    {
        registry = std::make_unique<Registry>(settingsFile);
        w = std::make_unique<frmViewImage>(s.services, *registry, commandLine);
    }
    ImageDocument& doc() { return w->document(); }
    void trigger(const char* name) { w->command(name)->trigger(); }
};

} // namespace snaplorn::test
