#include "app/Startup.h"

#include "base/CommandLine.h"
#include "base/Paths.h"
#include "base/Texts.h"
#include "capture/CommandLineCapture.h"
#include "mainwindow/Icons.h"
#include "mainwindow/frmViewImage.h"
#include "platform/Clipboard.h"
#include "platform/ClipboardKeeper.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "platform/SingleInstance.h"
#include "platform/X11Display.h"
#include "settings/Registry.h"

#include <QApplication>

#include <cstdio>
#include <malloc.h>

namespace snaplorn {

namespace {

void describeApplication(QApplication& app)
{
    app.setOrganizationName(QStringLiteral("Quorvex"));
    app.setApplicationName(QString::fromLatin1(texts::AppTitle));
    app.setApplicationVersion(QStringLiteral(SNAPLORN_VERSION));
    app.setDesktopFileName(QStringLiteral("snaplorn"));
    app.setWindowIcon(applicationIcon());
    // The window may sit hidden in the tray; only the closing sequence ends
    // the program.
    app.setQuitOnLastWindowClosed(false);
}

} // namespace

void keepPictureMemoryReturnable()
{
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
}

int Main(int argc, char** argv)
{
    // The process that keeps a copied picture on the clipboard after the
    // program has ended.
    if (argc > 1 && qstrcmp(argv[1], clipboardkeeper::KeeperOption) == 0)
        return clipboardkeeper::runKeeper(argc, argv);
    // --help, --version and the command-line capture end here, before the
    // single-instance hand-over and without a window.
    if (const std::optional<int> exitCode = runCommandLineActions(argc, argv))
        return *exitCode;
    // Qt waits for ever on an X display that takes the connection but never
    // answers, and aborts on one it cannot reach: look first, and say so.
    std::unique_ptr<X11Connection> look;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!qEnvironmentVariableIsEmpty("DISPLAY") && (platform.isEmpty() || platform == "xcb")) {
        QString why;
        look = X11Connection::open(&why);
        if (!look) {
            fprintf(stderr, "snaplorn: %s\n", why.toLocal8Bit().constData());
            return 1;
        }
    }
    keepPictureMemoryReturnable();
    QApplication app(argc, argv);
    // Closed only now: an X server without other clients resets when its
    // last client leaves, and Qt's connection would have met that reset.
    look.reset();
    describeApplication(app);
    const QString commandLine = commandLineFromArguments(app.arguments().mid(1));

    PlatformServices services = createPlatformServices();
    SingleInstance instance;
    const SingleInstance::Role role = instance.claim();
    // Without a file to view, a second start hands over to the first one.
    if (commandLine.trimmed().isEmpty() && role == SingleInstance::Role::Second) {
        services.messages->ask(nullptr,
                               {QString::fromLatin1(texts::AlreadyRunning), MsgIcon::Exclamation,
                                MsgButtons::Ok, QString::fromLatin1(texts::AppTitle)});
        instance.requestRestore();
        return 0;
    }

    Registry registry(paths::settingsFile());
    frmViewImage window(services, registry, commandLine);
    QObject::connect(&instance, &SingleInstance::restoreRequested, &window,
                     &frmViewImage::restoreFromHandOver);
    QObject::connect(&window, &frmViewImage::programEnding, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    window.Load();
    const int exitCode = app.exec();
    window.hide();
    if (services.clipboard)
        services.clipboard->persistOnExit();
    return exitCode;
}

} // namespace snaplorn
