#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace snaplorn::test {

namespace {
QString g_home;
}

void isolateUserFolders()
{
    // CTest gives each test a home of its own; run by hand, make one.
    QString home = qEnvironmentVariable("SNAPLORN_TESTHOME");
    if (home.isEmpty()) {
        static QTemporaryDir dir;
        home = dir.path();
    }
    home = QDir(home).absolutePath() + QStringLiteral("/p%1").arg(QCoreApplication::applicationPid());
    QDir(home).removeRecursively();
    for (const char* sub : {"config", "cache", "data", "runtime", "scratch", "Pictures"})
        QDir().mkpath(home + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(home + QLatin1String("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home.toUtf8());
    qputenv("XDG_CONFIG_HOME", (home + QLatin1String("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home + QLatin1String("/cache")).toUtf8());
    qputenv("XDG_DATA_HOME", (home + QLatin1String("/data")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home + QLatin1String("/runtime")).toUtf8());
    g_home = home;
}

QString scratchFolder()
{
    return g_home + QLatin1String("/scratch");
}

StandIns makeStandIns()
{
    StandIns s;
    auto messages = std::make_unique<ScriptedMessageService>();
    auto dialogs = std::make_unique<ScriptedDialogService>();
    auto shell = std::make_unique<RecordingShell>();
    s.messages = messages.get();
    s.dialogs = dialogs.get();
    s.shell = shell.get();
    s.services.messages = std::move(messages);
    s.services.dialogs = std::move(dialogs);
    s.services.shell = std::move(shell);
    return s;
}

QImage patternImage(int width, int height, quint32 seed)
{
    QImage image(width, height, QImage::Format_RGB32);
    quint32 state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xff000000u | (state >> 8);
        }
    }
    return image;
}

} // namespace snaplorn::test
