// Editing speed. Whole-image operations on a 3840 x 2160 picture (invert,
// flip horizontally, flip vertically, grayscale) beside memcpy of the same
// bytes and beside ImageMagick's in-memory time for the same operation, all
// in the same run; then the time per mouse move of a 1000-point pencil drag
// and a 200-step rectangle rubber band on a 3840 x 2160 canvas, driven
// through the real main window and including the repaint of each move.
// Usage: bench_tools [RUNS]
#include "TestSupport.h"

#include "settings/Registry.h"
#include "document/ImageDocument.h"
#include "mainwindow/frmViewImage.h"
#include "document/pixelops.h"

#include "BenchSupport.h"
#include <QAbstractButton>
#include <QApplication>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

using namespace snaplorn;

namespace {

const QSize Picture(3840, 2160);
int g_runs = 15;

// Median time of `once`, with `prepare` run untimed before each call.
double medianMs(const std::function<void()>& once, const std::function<void()>& prepare = {})
{
    return bench::medianMs(g_runs, once, prepare);
}

// ---- ImageMagick -------------------------------------------------------------------

// In-memory time of an operation: the benchmark of read + operation minus
// that of the read alone, with the same iteration count.
double magickMs(const QString& input, const QStringList& operation)
{
    const QStringList read = {
        QStringLiteral("-size"), QStringLiteral("%1x%2").arg(Picture.width()).arg(Picture.height()),
        QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("bgra:") + input};
    const QStringList bench = {QStringLiteral("-bench"), QString::number(std::max(5, g_runs / 3))};
    const double withOperation =
        snaplorn::bench::convertBenchMs(read + bench + operation + QStringList{"null:"});
    const double readOnly = snaplorn::bench::convertBenchMs(read + bench + QStringList{"null:"});
    if (withOperation < 0 || readOnly < 0)
        return -1;
    return std::max(0.0, withOperation - readOnly);
}

// ---- whole-image operations ---------------------------------------------------------

struct Operation {
    const char* name;
    void (*run)(QImage&);
    QStringList magick;
    double target; // times memcpy
};

bool compareOperations(const QString& folder)
{
    const QImage original = test::patternImage(Picture.width(), Picture.height(), 3);
    const size_t bytes = size_t(original.sizeInBytes());
    std::vector<char> into(bytes, 0);
    const double copy = medianMs([&] {
        std::memcpy(into.data(), original.constBits(), bytes);
        asm volatile("" : : "r"(into.data()) : "memory");
    });
    const QString input = folder + QStringLiteral("/in.bgra");
    QFile file(input);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(original.constBits()), qint64(bytes));
    file.close();

    const Operation operations[] = {
        {"invert", &invertColors, {QStringLiteral("-negate")}, 2.0},
        {"flip horizontal", &flipHorizontal, {QStringLiteral("-flop")}, 2.0},
        {"flip vertical", &flipVertical, {QStringLiteral("-flip")}, 2.0},
        {"grayscale",
         &grayscale,
         {QStringLiteral("-grayscale"), QStringLiteral("Rec601Luma")},
         4.0},
    };
    std::printf("whole-image operations, %d x %d (%.1f MB), in place; memcpy of the same bytes "
                "%.2f ms\n",
                Picture.width(), Picture.height(), bytes / 1e6, copy);
    bool met = true;
    for (const Operation& op : operations) {
        QImage work = original;
        work.detach();
        // Each run starts from the colour picture, so grayscale always has
        // real work (and its halfway cases) to do.
        const double ours = medianMs(
            [&] { op.run(work); }, [&] { std::memcpy(work.bits(), original.constBits(), bytes); });
        const double magick = magickMs(input, op.magick);
        const double ratio = ours / copy;
        const bool ok = ratio <= op.target;
        met = met && ok;
        std::printf("  %-16s ours %7.2f ms  = %5.2f x memcpy (target %.0fx: %s)", op.name, ours,
                    ratio, op.target, ok ? "met" : "MISSED");
        if (magick >= 0)
            std::printf("   ImageMagick %s %7.2f ms, ours/magick %5.2f\n",
                        qPrintable(op.magick.join(QLatin1Char(' '))), magick,
                        ours / std::max(magick, 1e-3));
        else
            std::printf("   ImageMagick not available\n");
    }
    return met;
}

// ---- drags through the real window ---------------------------------------------------

struct DragTiming {
    double meanMs = 0;
    double worstMs = 0;
};

// Time of each move event including the repaint it causes.
DragTiming timeDrag(frmViewImage& window, const QList<QPoint>& points)
{
    QWidget* canvas = window.findChild<QWidget*>(QStringLiteral("picSelImage"));
    QTest::mousePress(canvas, Qt::LeftButton, {}, points.first());
    QCoreApplication::processEvents();
    DragTiming timing;
    double total = 0;
    for (int i = 1; i < points.size(); ++i) {
        QElapsedTimer timer;
        timer.start();
        QTest::mouseMove(canvas, points[i]);
        QCoreApplication::processEvents(); // the repaint
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        total += ms;
        timing.worstMs = std::max(timing.worstMs, ms);
    }
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, points.last());
    QCoreApplication::processEvents();
    timing.meanMs = total / (points.size() - 1);
    return timing;
}

bool compareDrags()
{
    auto standIns = test::makeStandIns();
    Registry registry(test::scratchFolder() + QStringLiteral("/bench.conf"));
    frmViewImage window(standIns.services, registry, QString());
    window.resize(1700, 1000);
    window.show();
    window.document().setCanvas(test::patternImage(Picture.width(), Picture.height(), 4));
    window.document().CommitCanvas();
    QCoreApplication::processEvents();
    QWidget* frame = window.findChild<QWidget*>(QStringLiteral("picSelImageFrame"));
    const QSize visible = frame->size();

    // A wavy pencil stroke of 1000 points over the visible part.
    QList<QPoint> stroke;
    for (int i = 0; i < 1000; ++i) {
        const double t = i / 999.0;
        stroke << QPoint(int(20 + t * (visible.width() - 40)),
                         int(visible.height() / 2 + std::sin(t * 40) * visible.height() / 3));
    }
    QTest::mouseClick(window.OptTool(toolPencil), Qt::LeftButton);
    const DragTiming pencil = timeDrag(window, stroke);

    // A rubber band growing over 200 steps to most of the visible part.
    QList<QPoint> band;
    for (int i = 0; i <= 200; ++i)
        band << QPoint(10 + i * (visible.width() - 30) / 200,
                       10 + i * (visible.height() - 30) / 200);
    QTest::mouseClick(window.OptTool(toolRectangle), Qt::LeftButton);
    const DragTiming rubber = timeDrag(window, band);

    // For scale: one repaint of the whole visible canvas.
    QWidget* canvas = window.findChild<QWidget*>(QStringLiteral("picSelImage"));
    const double full = medianMs([&] { canvas->repaint(); });

    std::printf("drags on a %d x %d canvas, %d x %d of it visible (time per move, repaint "
                "included)\n",
                Picture.width(), Picture.height(), visible.width(), visible.height());
    const double target = 2.0;
    std::printf(
        "  pencil, 1000 points      mean %6.3f ms  worst %6.3f ms  (target < %.0f ms: %s)\n",
        pencil.meanMs, pencil.worstMs, target, pencil.meanMs < target ? "met" : "MISSED");
    std::printf(
        "  rectangle band, 200 steps mean %6.3f ms  worst %6.3f ms  (target < %.0f ms: %s)\n",
        rubber.meanMs, rubber.worstMs, target, rubber.meanMs < target ? "met" : "MISSED");
    std::printf("  for scale: one repaint of the whole visible canvas %6.3f ms\n", full);
    return pencil.meanMs < target && rubber.meanMs < target;
}

} // namespace

int main(int argc, char** argv)
{
    test::isolateUserFolders();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_runs = bench::runsFromArguments(argc, argv, "bench_tools");
    QTemporaryDir folder;
    const bool operations = compareOperations(folder.path());
    const bool drags = compareDrags();
    std::printf("bench_tools: targets %s\n", operations && drags ? "met" : "MISSED");
    return 0;
}
