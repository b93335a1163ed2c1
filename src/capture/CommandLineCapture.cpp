#include "capture/CommandLineCapture.h"

#include "base/Paths.h"
#include "base/Texts.h"
#include "capture/AutoCapture.h"
#include "capture/CaptureOptions.h"
#include "document/ImageDocument.h"
#include "platform/ActiveWindow.h"
#include "platform/Clipboard.h"
#include "platform/ClipboardKeeper.h"
#include "platform/PlatformServices.h"
#include "platform/ScreenGrabber.h"
#include "platform/X11Display.h"
#include "settings/AppSettings.h"
#include "settings/Registry.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QThread>

#include <cstdio>
#include <optional>

namespace snaplorn {

namespace {

void printOut(const QString& text)
{
    fputs(text.toLocal8Bit().constData(), stdout);
    fputc('\n', stdout);
    fflush(stdout);
}

int fail(const QString& message)
{
    fprintf(stderr, "snaplorn: %s\n", message.toLocal8Bit().constData());
    return 1;
}

GrabResult takePicture(PlatformServices& services, const QString& mode)
{
    if (mode == QLatin1String("desktop"))
        return grabDesktopAndWait(*services.grabber);
    if (!services.activeWindow)
        return {QImage(), QString::fromUtf8(texts::CaptureUnavailable)};
    const ActiveWindowInfo active = services.activeWindow->activeWindow();
    if (!active.ok())
        return {QImage(), QString(active.error).replace(QLatin1String("\r\n"), QLatin1String(" "))};
    return grabAreaAndWait(*services.grabber, active.frame);
}

// Where the picture goes and at which quality: what the options say, the
// settings for the rest.
struct Destination {
    QString path;
    int quality = 80;
};

Destination destinationFor(const CaptureOptions& options)
{
    Destination destination{options.output, options.quality};
    const bool needsSettings =
        options.quality < 0 || (options.output.isEmpty() && options.outputFolder.isEmpty());
    if (!needsSettings)
        return destination;
    Registry registry(paths::settingsFile());
    AppSettings settings = AppSettings::defaults(paths::defaultPicturesFolder());
    LoadSettings(registry, paths::defaultPicturesFolder(), settings); // unreadable: defaults
    if (destination.quality < 0)
        destination.quality = settings.JpgQuality;
    if (destination.path.isEmpty())
        destination.path = nextFreeScreenFileName(
            options.outputFolder.isEmpty() ? settings.AutoFolder : options.outputFolder);
    return destination;
}

int saveToFile(const QImage& picture, const CaptureOptions& options)
{
    const Destination destination = destinationFor(options);
    ImageDocument document;
    document.setCanvas(picture);
    // A temporary bitmap of its own, so a save of the running program at the
    // same moment cannot swap pictures with this one.
    const QString temporary =
        paths::join(paths::cacheFolder(),
                    QStringLiteral("qvxtemp-%1.bmp").arg(QCoreApplication::applicationPid()));
    document.setTemporaryBitmapPath(temporary);
    const Result saved = document.SaveImageFile(destination.path, destination.quality);
    QFile::remove(temporary);
    if (!saved)
        return fail(QString(saved.message).replace(QLatin1String("\r\n"), QLatin1String(" ")));
    printOut(QString::fromUtf8(texts::CliSaved).arg(destination.path));
    return 0;
}

// Without a file the picture goes to the clipboard. An X11 clipboard lives
// in its owner, so the process stays until another program takes it over.
int serveClipboard(QApplication& app, PlatformServices& services, const QImage& picture)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (services.clipboard) {
        const Result set = services.clipboard->setImage(picture);
        if (!set)
            return fail(QString::fromUtf8(texts::CliClipboardUnavailable).arg(set.message));
    } else {
        clipboard->setImage(picture);
    }
    if (!clipboard->ownsClipboard())
        return fail(QString::fromUtf8(texts::CliClipboardUnavailable)
                        .arg(QStringLiteral("another program holds it")));
    printOut(QString::fromUtf8(texts::CliOnClipboard).arg(picture.width()).arg(picture.height()));
    clipboardkeeper::whenClipboardTaken(&app, [&app] {
        printOut(QString::fromUtf8(texts::CliClipboardTaken));
        app.quit();
    });
    return app.exec();
}

// The picture for a command line that needs no GUI application object: a
// connection of its own is all it takes, which keeps the start short. A
// grab answered later (the desktop portal) is awaited in an event loop.
GrabResult grabWithoutWindows(const CaptureOptions& options, int argc, char** argv)
{
    QString why;
    std::unique_ptr<X11Connection> x11;
    PlatformServices services;
    if (!addSessionScreenServices(services, x11, &why))
        return {QImage(), why};
    std::optional<QCoreApplication> events;
    if (!QCoreApplication::instance())
        events.emplace(argc, argv);
    if (options.delayMs > 0)
        QThread::msleep(ulong(options.delayMs));
    return takePicture(services, options.mode);
}

int captureToFile(const CaptureOptions& options, int argc, char** argv)
{
    const GrabResult grab = grabWithoutWindows(options, argc, argv);
    if (!grab.ok())
        return fail(grab.error);
    return saveToFile(grab.image, options);
}

int captureToClipboard(const CaptureOptions& options, int argc, char** argv)
{
    // Where the session keeps the clipboard for us, nothing needs to stay.
    if (std::unique_ptr<Clipboard> kept = detachedSessionClipboard()) {
        const GrabResult grab = grabWithoutWindows(options, argc, argv);
        if (!grab.ok())
            return fail(grab.error);
        const Result set = kept->setImage(grab.image);
        if (!set)
            return fail(QString::fromUtf8(texts::CliClipboardUnavailable).arg(set.message));
        printOut(QString::fromUtf8(texts::CliOnClipboardKept)
                     .arg(grab.image.width())
                     .arg(grab.image.height()));
        return 0;
    }
    // Qt ends the process when its platform cannot start: look first, and
    // stay connected until Qt is (a server without other clients resets
    // when its last client leaves).
    QString why;
    std::unique_ptr<X11Connection> look = X11Connection::open(&why);
    if (!look)
        return fail(why);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    look.reset();
    app.setOrganizationName(QStringLiteral("Quorvex"));
    app.setApplicationName(QString::fromLatin1(texts::AppTitle));
    PlatformServices services = createPlatformServices();
    if (!services.grabber)
        return fail(QString::fromUtf8(texts::CaptureUnavailable));
    if (options.delayMs > 0)
        QThread::msleep(ulong(options.delayMs));
    const GrabResult grab = takePicture(services, options.mode);
    if (!grab.ok())
        return fail(grab.error);
    return serveClipboard(app, services, grab.image);
}

} // namespace

std::optional<int> runCommandLineActions(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const CaptureOptions options = parseCaptureOptions(arguments);
    switch (options.action) {
    case CaptureOptions::Action::StartProgram:
        return std::nullopt;
    case CaptureOptions::Action::Help:
        fputs(texts::CliUsage, stdout);
        return 0;
    case CaptureOptions::Action::Version:
        printOut(QString::fromUtf8(texts::CliVersion).arg(QStringLiteral(SNAPLORN_VERSION)));
        return 0;
    case CaptureOptions::Action::Error:
        fail(options.error);
        fprintf(stderr, "%s\n", texts::CliTryHelp);
        return 1;
    case CaptureOptions::Action::Capture:
        break;
    }
    return options.toFile ? captureToFile(options, argc, argv)
                          : captureToClipboard(options, argc, argv);
}

} // namespace snaplorn
