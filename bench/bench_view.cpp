// Image view speed and memory: Enlarge (750 x 750 -> 1500 x 1500) and Fit To
// Window (3840 x 2160 into a 1600 x 900 frame) with the program's
// nearest-neighbour resampler, beside memcpy of the output bytes (the
// pixel-copy limit) and ImageMagick's -sample of the same pixels in its
// memory, all in the same run; then the memory of the main window holding a 3840 x 2160 image
// through Enlarge / Shrink / Fit with Undo and Redo.
// Usage: bench_view [RUNS]
#include "TestSupport.h"

#include "settings/Registry.h"
#include "document/ImageDocument.h"
#include "document/Resample.h"
#include "mainwindow/frmViewImage.h"

#include "BenchSupport.h"
#include <QAction>

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

using namespace snaplorn;

namespace {

constexpr double TargetRatio = 3.0;
int g_runs = 15;

double medianMs(const std::function<void()>& once)
{
    return bench::medianMs(g_runs, once);
}

// ---- /proc/self/status -------------------------------------------------------

double statusMiB(const char* field)
{
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').first().toDouble() /
                   1024.0;
    return -1;
}

// ---- ImageMagick ----------------------------------------------------------------

QStringList rawInput(const QString& path, QSize size)
{
    return {QStringLiteral("-size"), QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
            QStringLiteral("-depth"), QStringLiteral("8"), QStringLiteral("bgra:") + path};
}

QString geometry(QSize size)
{
    return QStringLiteral("%1x%2!").arg(size.width()).arg(size.height());
}

// ImageMagick's time for one -sample of the picture in its memory: a clone
// (which shares the pixels) is sampled and dropped, many times over.
double magickSampleMs(const QString& input, QSize from, QSize to)
{
    const QStringList once = {QStringLiteral("("),      QStringLiteral("-clone"),
                              QStringLiteral("0"),      QStringLiteral("-sample"),
                              geometry(to),             QStringLiteral(")"),
                              QStringLiteral("+delete")};
    return bench::magickOperationMs(rawInput(input, from), once, std::max(3, g_runs / 3));
}

// Whether a destination index lies exactly on a border between two source
// cells, where our exact integer map and a floating-point one may differ.
bool onCellBorder(int index, int sourceLength, int targetLength)
{
    return ((2 * qint64(index) + 1) * sourceLength) % (2 * qint64(targetLength)) == 0;
}

// ImageMagick's -sample output against ours: identical, or how many pixels
// differ and whether they all lie on exact cell borders.
QString samePixelsAsMagick(const QString& input, const QImage& source, const QImage& ours)
{
    const QString output = input + QStringLiteral(".out");
    QProcess process;
    process.start(QStringLiteral("convert"),
                  rawInput(input, source.size()) +
                      QStringList{QStringLiteral("-sample"), geometry(ours.size()),
                                  QStringLiteral("-depth"), QStringLiteral("8"),
                                  QStringLiteral("bgra:") + output});
    QFile file(output);
    if (!process.waitForFinished(300000) || process.exitCode() != 0 ||
        !file.open(QIODevice::ReadOnly) || file.size() != ours.sizeInBytes())
        return QStringLiteral("n/a");
    const QByteArray theirs = file.readAll();
    const auto* pixels = reinterpret_cast<const quint32*>(theirs.constData());
    qint64 differing = 0;
    bool allOnBorders = true;
    for (int y = 0; y < ours.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(ours.constScanLine(y));
        for (int x = 0; x < ours.width(); ++x) {
            if (line[x] == pixels[qint64(y) * ours.width() + x])
                continue;
            ++differing;
            allOnBorders = allOnBorders && (onCellBorder(x, source.width(), ours.width()) ||
                                            onCellBorder(y, source.height(), ours.height()));
        }
    }
    if (differing == 0)
        return QStringLiteral("identical");
    return QStringLiteral("%1 of %2 differ, %3")
        .arg(differing)
        .arg(qint64(ours.width()) * ours.height())
        .arg(allOnBorders ? QStringLiteral("all where a pixel centre falls exactly on a source "
                                           "cell border (its floating-point map rounds down there)")
                          : QStringLiteral("NOT only on cell borders"));
}

// ---- speed ---------------------------------------------------------------------

bool compare(const char* what, const QImage& source, QSize to, const QString& folder)
{
    const size_t bytes = size_t(to.width()) * to.height() * 4;
    std::vector<char> from(bytes, 1);
    std::vector<char> into(bytes, 0);
    QImage target(to, QImage::Format_RGB32);
    target.fill(0);

    const double oursNew = medianMs([&] { resampleNearest(source, to); });
    const double oursInto = medianMs([&] { resampleNearestInto(source, target); });
    const double copyNew = medianMs([&] {
        std::unique_ptr<char[]> fresh(new char[bytes]);
        std::memcpy(fresh.get(), from.data(), bytes);
        asm volatile("" : : "r"(fresh.get()) : "memory");
    });
    const double copyInto = medianMs([&] {
        std::memcpy(into.data(), from.data(), bytes);
        asm volatile("" : : "r"(into.data()) : "memory");
    });

    const QString input = folder + QStringLiteral("/in.bgra");
    QFile file(input);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(source.constBits()), source.sizeInBytes());
    file.close();
    const double magick = magickSampleMs(input, source.size(), to);

    std::printf("%s: %d x %d -> %d x %d (%.1f MB out)\n", what, source.width(), source.height(),
                to.width(), to.height(), bytes / 1e6);
    std::printf(
        "  ours, new picture        %8.2f ms   memcpy to a new buffer  %8.2f ms   ratio %5.2f\n",
        oursNew, copyNew, oursNew / copyNew);
    std::printf(
        "  ours, into a picture     %8.2f ms   memcpy to a buffer      %8.2f ms   ratio %5.2f\n",
        oursInto, copyInto, oursInto / copyInto);
    if (bench::crediblePeerMs(magick, copyNew))
        std::printf("  ImageMagick -sample (in memory, median of runs) %8.2f ms   "
                    "ours/magick %5.2f\n",
                    magick, oursNew / magick);
    else if (magick < 0)
        std::printf("  ImageMagick convert not available: no comparison\n");
    else
        std::printf("  ImageMagick -sample not measurable (%.2f ms, below a memory copy): no "
                    "comparison\n",
                    magick);
    std::printf("  pixels against ImageMagick -sample: %s\n",
                qPrintable(samePixelsAsMagick(input, source, resampleNearest(source, to))));
    const bool met = oursNew / copyNew <= TargetRatio && oursInto / copyInto <= TargetRatio;
    std::printf("  target within %.0fx of memcpy: %s\n", TargetRatio, met ? "met" : "MISSED");
    return met;
}

// ---- memory --------------------------------------------------------------------

int distinctBuffers(const ImageDocument& doc)
{
    QSet<const uchar*> buffers;
    for (const QImage* image : {&doc.canvas(), &doc.committed(), &doc.undoBuffer()})
        if (!image->isNull())
            buffers.insert(image->constBits());
    return int(buffers.size());
}

void memory()
{
    auto standIns = test::makeStandIns();
    Registry registry(test::scratchFolder() + QStringLiteral("/bench.conf"));
    frmViewImage window(standIns.services, registry, QString());
    window.resize(1700, 1000);
    window.show();
    QCoreApplication::processEvents();
    const double idle = statusMiB("VmRSS:");
    const double buffer = 3840.0 * 2160 * 4 / (1024.0 * 1024.0);
    ImageDocument& doc = window.document();
    doc.setCanvas(test::patternImage(3840, 2160));
    doc.CommitCanvas();
    QCoreApplication::processEvents();
    std::printf("memory: 3840 x 2160 document (one picture = %.1f MiB), idle window %.1f MiB RSS\n",
                buffer, idle);
    int most = distinctBuffers(doc);
    auto step = [&](const char* command) {
        window.command(QLatin1String(command))->trigger();
        QCoreApplication::processEvents(); // paint, as the real program would
        most = std::max(most, distinctBuffers(doc));
        std::printf("  after %-12s %d x %d, %d distinct picture buffer(s), RSS %.1f MiB\n",
                    command + 3, doc.width(), doc.height(), distinctBuffers(doc),
                    statusMiB("VmRSS:"));
    };
    for (const char* command : {"mnuZoomIn", "mnuUndo", "mnuRedo", "mnuZoomOut", "mnuUndo",
                                "mnuRedo", "mnuFitToWin", "mnuUndo", "mnuRedo"})
        step(command);
    // The kernel updates the high-water mark lazily; take the larger figure.
    const double peak = std::max(statusMiB("VmHWM:"), statusMiB("VmRSS:"));
    const double overIdle = (peak - idle) / buffer;
    std::printf("  peak RSS %.1f MiB = idle + %.2f pictures; most distinct buffers held: %d\n",
                peak, overIdle, most);
    std::printf("  target at most 4 pictures over idle: %s\n", overIdle <= 4.0 ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    test::isolateUserFolders();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_runs = bench::runsFromArguments(argc, argv, "bench_view");
    memory(); // first, so the peak is not the speed runs'
    QTemporaryDir folder;
    const bool enlarge =
        compare("Enlarge", test::patternImage(750, 750), QSize(1500, 1500), folder.path());
    const QSize fit = fitByOrientation(QSize(3840, 2160), QSize(1600, 900));
    const bool fitted =
        compare("Fit to window", test::patternImage(3840, 2160, 2), fit, folder.path());
    std::printf("bench_view: targets %s\n", enlarge && fitted ? "met" : "MISSED");
    return 0;
}
