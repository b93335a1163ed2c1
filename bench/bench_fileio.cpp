// Picture file speed: our loaders and writers on screen-like images, beside
// the libjpeg-turbo command-line tools doing the same work as whole processes
// on the same files in the same run; and the JPEG encoding alone, in one
// piece and in strips on every core.
#include "document/ImageFiles.h"
#include "document/JpegEncoder.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>
#include <vector>

using namespace snaplorn;

namespace {

constexpr int Runs = 21;
constexpr int Quality = 80;
constexpr double TargetRatio = 1.3;

// Window chrome, flat panels, lines of text and a photo with gradients and
// noise: the mix a screenshot usually holds.
void paintChrome(QPainter& p, const QRect& window)
{
    p.fillRect(window, QColor(246, 245, 244));
    QLinearGradient title(window.topLeft(), window.topLeft() + QPoint(0, 32));
    title.setColorAt(0, QColor(64, 96, 160));
    title.setColorAt(1, QColor(40, 70, 130));
    p.fillRect(QRect(window.left(), window.top(), window.width(), 32), title);
    p.setPen(Qt::white);
    p.drawText(window.left() + 12, window.top() + 21, QStringLiteral("Quarterly report - Editor"));
    p.fillRect(QRect(window.left(), window.top() + 32, window.width(), 26), QColor(230, 230, 228));
    p.setPen(QColor(30, 30, 30));
    const char* menus[] = {"File", "Edit", "View", "Insert", "Format", "Tools", "Help"};
    int x = window.left() + 10;
    for (const char* m : menus) {
        p.drawText(x, window.top() + 50, QString::fromLatin1(m));
        x += 60;
    }
    p.fillRect(QRect(window.left(), window.top() + 58, 220, window.height() - 58),
               QColor(236, 238, 242));
}

void paintText(QPainter& p, const QRect& area, QRandomGenerator& rng)
{
    static const char* words[] = {"screen",  "capture", "the",    "image", "of",
                                  "a",       "window",  "saved",  "as",    "JPEG",
                                  "quality", "folder",  "pixels", "and"};
    p.setPen(QColor(20, 20, 20));
    const int lineHeight = p.fontMetrics().height() + 4;
    for (int y = area.top() + lineHeight; y < area.bottom(); y += lineHeight) {
        QString line;
        while (p.fontMetrics().horizontalAdvance(line) < area.width() - 80)
            line += QString::fromLatin1(words[rng.bounded(14)]) + QLatin1Char(' ');
        p.drawText(area.left(), y, line);
    }
}

void paintPhoto(QImage& image, const QRect& area, QRandomGenerator& rng)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = area.left(); x <= area.right(); ++x) {
            const int fx = 255 * (x - area.left()) / area.width();
            const int fy = 255 * (y - area.top()) / area.height();
            const int noise = int(rng.bounded(24)) - 12;
            line[x] =
                qRgb(qBound(0, fx / 2 + 60 + noise, 255), qBound(0, 200 - fy / 2 + noise, 255),
                     qBound(0, (fx + fy) / 3 + 40 + noise, 255));
        }
    }
}

QImage screenImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator rng(2024);
    QPainter p(&image);
    QLinearGradient desk(0, 0, width, height);
    desk.setColorAt(0, QColor(20, 60, 90));
    desk.setColorAt(1, QColor(90, 40, 110));
    p.fillRect(image.rect(), desk);
    p.fillRect(QRect(0, height - 40, width, 40), QColor(35, 35, 40)); // task bar
    const QRect window(width / 20, height / 20, width * 9 / 10, height * 17 / 20);
    paintChrome(p, window);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(height / 80 + 2);
    p.setFont(font);
    const QRect page(window.left() + 240, window.top() + 70, window.width() / 2,
                     window.height() - 90);
    paintText(p, page, rng);
    p.end();
    const QRect photo(page.right() + 20, page.top(), window.right() - page.right() - 40,
                      window.height() / 2);
    paintPhoto(image, photo, rng);
    return image;
}

double median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

double timeMs(const std::function<bool()>& work)
{
    QElapsedTimer timer;
    timer.start();
    if (!work()) {
        std::fprintf(stderr, "bench_fileio: a measured step failed\n");
        std::exit(1);
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

bool runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

struct Row {
    const char* what;
    std::function<bool()> ours;
    const char* peerName;
    std::function<bool()> peer; // empty when there is no peer
    bool target = false;        // the row the speed target is about
};

void printRow(const char* what, double ours, const char* peerName, double peer, double ratio)
{
    if (peer <= 0) {
        std::printf("  %-22s %9.2f ms\n", what, ours);
        return;
    }
    std::printf("  %-22s %9.2f ms   %-18s %9.2f ms   ratio %5.2f\n", what, ours, peerName, peer,
                ratio);
}

// The command-line tools measured beside us; empty when not installed.
struct Peers {
    QString cjpeg;
    QString djpeg;
};

// Ours and the peer run in pairs, taking turns to go first; the ratio is the
// median of the pairs' ratios, so load that drifts during the run cancels out.
// Returns the ratios of the JPEG save rows, none without a peer.
std::vector<double> measure(const QImage& image, const QString& dir, const Peers& peers)
{
    const QString& cjpeg = peers.cjpeg;
    const QString& djpeg = peers.djpeg;
    const QString bmp = dir + QStringLiteral("/screen.bmp");
    const QString jpg = dir + QStringLiteral("/screen.jpg");
    const QString tmp = dir + QStringLiteral("/qvxtemp.bmp");
    if (!writeBmp24(image, bmp).ok || !BmpToJpeg(bmp, jpg, Quality).ok)
        std::exit(1);
    const QString q = QString::number(Quality);
    const QString peerJpg = dir + QStringLiteral("/peer.jpg");
    const auto cjpegRun = cjpeg.isEmpty() ? std::function<bool()>() : [&] {
        return runTool(cjpeg, {"-quality", q, "-outfile", peerJpg, bmp});
    };
    const auto djpegRun = djpeg.isEmpty() ? std::function<bool()>() : [&] {
        return runTool(djpeg, {"-outfile", dir + "/peer.ppm", jpg});
    };
    const std::vector<Row> rows{
        {"load BMP", [&] { return loadImageFile(bmp).ok(); }, "", {}},
        {"load JPEG", [&] { return loadImageFile(jpg).ok(); }, "djpeg", djpegRun},
        {"save BMP", [&] { return writeBmp24(image, dir + "/out.bmp").ok; }, "", {}},
        // The JPEG save as the program does it: scratch bitmap, then conversion.
        {"save JPEG q80",
         [&] {
             return writeTemporaryBmp24(image, tmp).ok &&
                    BmpToJpeg(tmp, dir + "/out.jpg", Quality).ok;
         },
         "cjpeg -quality 80", cjpegRun, true},
        // The same with the scratch bitmap flushed to the disk like a saved one.
        {"save JPEG q80, synced",
         [&] { return writeBmp24(image, tmp).ok && BmpToJpeg(tmp, dir + "/out.jpg", Quality).ok; },
         "cjpeg -quality 80", cjpegRun, true},
    };
    std::vector<double> ratios;
    for (const Row& row : rows) {
        std::vector<double> ours, peer, paired;
        for (int i = 0; i < Runs; ++i) {
            const bool peerFirst = row.peer && i % 2 == 1;
            const double p = peerFirst ? timeMs(row.peer) : 0;
            ours.push_back(timeMs(row.ours));
            if (!row.peer)
                continue;
            peer.push_back(peerFirst ? p : timeMs(row.peer));
            paired.push_back(ours.back() / peer.back());
        }
        const double ratio = row.peer ? median(paired) : 0;
        printRow(row.what, median(ours), row.peerName, row.peer ? median(peer) : 0, ratio);
        if (row.peer && row.target)
            ratios.push_back(ratio);
    }
    if (!cjpeg.isEmpty())
        std::printf("  JPEG size at q%d: ours %lld bytes, cjpeg %lld bytes\n", Quality,
                    QFileInfo(dir + "/out.jpg").size(), QFileInfo(peerJpg).size());
    return ratios;
}

// The encoding alone, from pixels in memory to JPEG bytes in memory: in one
// piece on one core, and as the program encodes (in strips on every core).
void measureEncoding(const QImage& image, const QString& dir, const Peers& peers)
{
    const JpegSource source{image.constBits(), image.width(), image.height(),
                            size_t(image.bytesPerLine()), JpegPixels::Bgrx32, false};
    std::vector<double> whole, strips, cjpeg;
    const QString bmp = dir + QStringLiteral("/screen.bmp");
    const QString peerJpg = dir + QStringLiteral("/peer.jpg");
    for (int i = 0; i < Runs; ++i) {
        whole.push_back(timeMs([&] { return encodeJpegWhole(source, Quality).ok(); }));
        strips.push_back(timeMs([&] { return encodeJpeg(source, Quality).ok(); }));
        if (!peers.cjpeg.isEmpty())
            cjpeg.push_back(timeMs([&] {
                return runTool(peers.cjpeg, {"-quality", QString::number(Quality), "-outfile",
                                             peerJpg, bmp});
            }));
    }
    const int rows = jpegStripMcuRows(image.width(), image.height());
    const int count = rows > 0 ? (image.height() + rows * 16 - 1) / (rows * 16) : 1;
    std::printf("  encode q%d in memory:  one piece %.2f ms, %d strips on %u cores %.2f ms "
                "(%.2fx)",
                Quality, median(whole), count, std::thread::hardware_concurrency(), median(strips),
                median(whole) / median(strips));
    if (!cjpeg.empty())
        std::printf("; cjpeg whole process from the BMP %.2f ms", median(cjpeg));
    std::printf("\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const Peers peers{QStandardPaths::findExecutable(QStringLiteral("cjpeg")),
                      QStandardPaths::findExecutable(QStringLiteral("djpeg"))};
    std::printf("bench_fileio: median times of %d runs; the peers run as whole processes; the "
                "ratio is ours to the peer's\n",
                Runs);
    for (const char* tool : {"cjpeg", "djpeg"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            std::printf("%s not found (package libjpeg-turbo-progs): the comparison with it is "
                        "skipped\n",
                        tool);
    const char* variants[] = {"", " with the scratch BMP synced"};
    bool allPass = true;
    for (const QSize size : {QSize(1920, 1080), QSize(3840, 2160)}) {
        std::printf("%d x %d screen image\n", size.width(), size.height());
        const QImage image = screenImage(size.width(), size.height());
        const std::vector<double> ratios = measure(image, dir.path(), peers);
        measureEncoding(image, dir.path(), peers);
        for (size_t i = 0; i < ratios.size(); ++i) {
            const bool pass = ratios[i] <= TargetRatio;
            allPass = allPass && (i > 0 || pass);
            std::printf("  target: JPEG save%s within %.1fx of cjpeg: %s (%.2fx)\n", variants[i],
                        TargetRatio, pass ? "PASS" : "MISS", ratios[i]);
        }
    }
    if (!peers.cjpeg.isEmpty())
        std::printf("bench_fileio: target JPEG save within %.1fx of cjpeg: %s\n", TargetRatio,
                    allPass ? "PASS" : "MISS");
    return 0;
}
