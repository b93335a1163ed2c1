// An auto-capture series of the real main window on the X display: interval
// 0.2 s, N images (default 25). The screen changes after every save, so
// each file must show the screen of its own tick: the report says whether
// all files are distinct and in order, how regular the ticks were (how late
// the latest save came after its tick, counted from the first save), and
// the process's mean CPU use during the series. Exits with 1 unless every
// file is there, in order, and no save came later than one interval.
// Usage: capture_autocapture_probe [IMAGES]
#include "BenchSeries.h"
#include "app/Startup.h"

#include "document/ImageDocument.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

using namespace snaplorn;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) < 12 && qAbs(qGreen(a) - qGreen(b)) < 12 &&
           qAbs(qBlue(a) - qBlue(b)) < 12;
}

} // namespace

int main(int argc, char** argv)
{
    const int images = argc > 1 ? std::max(1, atoi(argv[1])) : 25;
    qputenv("QT_QPA_PLATFORM", "xcb");
    keepPictureMemoryReturnable(); // as the program does at start
    QApplication app(argc, argv);
    QTemporaryDir folder;
    SeriesWindow series(folder.path(), images);
    frmViewImage& window = series.window;
    BenchMarker& marker = series.marker;
    QElapsedTimer clock;
    QList<qint64> saveTimes;
    QObject::connect(&window.document(), &ImageDocument::titleChanged, &marker,
                     [&](const QString& title) {
                         if (!title.contains("/Screen"))
                             return;
                         saveTimes.append(clock.elapsed());
                         marker.next();
                     });
    QTimer::singleShot(500, &window, [&] {
        clock.start();
        window.command("mnuAutoCapture")->trigger();
    });
    const double cpuBefore = cpuSeconds();
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &app, [&] {
        if (clock.isValid() && !window.capture().AutoCaptureActive() && saveTimes.size() >= images)
            app.quit();
    });
    poll.start(20);
    QTimer::singleShot(120000, &app, &QApplication::quit);
    app.exec();
    const double wall = clock.elapsed() / 1000.0;
    const double cpu = cpuSeconds() - cpuBefore;
    int inOrder = 0;
    for (int n = 1; n <= images; ++n) {
        const QImage file(QDir(folder.path()).filePath(QString("Screen%1.jpg").arg(n)));
        if (!file.isNull() && near(file.pixel(160, 120), BenchMarker::colour(n)))
            ++inOrder;
    }
    constexpr qint64 IntervalMs = 200;
    qint64 longestGap = 0;
    qint64 latest = 0; // after its tick, the first save's being the first tick
    int late = 0;
    for (int i = 1; i < saveTimes.size(); ++i) {
        longestGap = std::max(longestGap, saveTimes[i] - saveTimes[i - 1]);
        const qint64 lateness = saveTimes[i] - saveTimes[0] - i * IntervalMs;
        latest = std::max(latest, lateness);
        late += lateness > IntervalMs;
    }
    const bool kept = inOrder == images && late == 0;
    printf("auto capture 0.2 s x %d at %dx%d: %d/%d files distinct and in order, series %.2f s "
           "(ideal %.2f s), longest gap between saves %lld ms, latest save %lld ms after its "
           "tick, %d later than one interval, mean CPU %.0f%% of one core; every tick kept: "
           "%s\n",
           images, window.document().width(), window.document().height(), inOrder, images, wall,
           (images + 1) * 0.2, longestGap, latest, late, 100.0 * cpu / std::max(wall, 0.001),
           kept ? "PASS" : "MISS");
    return kept ? 0 : 1;
}
