// The soak run: an hour of everyday use compressed into a few minutes on the
// X display. SERIES auto-capture series of 25 images at 0.2 s (40 series =
// 1,000 images), and between two series an edit, its undo and a save, all on
// the real main window with the real X11 services. After every series it
// samples the resident memory, the open file descriptors and the X
// resources the program holds at the server (through xrestop), and at the
// end says whether anything grew: memory by more than 10 % over its value
// after the first series, descriptors or X resources at all.
// Usage: soak_probe [SERIES]    (exit 1 when something grew or a series failed)
#include "BenchSeries.h"
#include "app/Startup.h"

#include "document/ImageDocument.h"
#include "platform/X11Display.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdio>

using namespace snaplorn;

namespace {

constexpr int ImagesPerSeries = 25;

struct Sample {
    qint64 rssKb = 0;
    int fds = 0;
    QMap<QString, qint64> x; // xrestop counters of our client, empty when unknown
};

qint64 residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd"))
                   .entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System)
                   .size());
}

// The block of `xrestop -b -m 1` whose res_base is our connection's.
QMap<QString, qint64> xResources()
{
    QMap<QString, qint64> counters;
    xcb_connection_t* connection = qtX11Connection();
    if (!connection)
        return counters;
    const QString base =
        QStringLiteral("0x%1").arg(xcb_get_setup(connection)->resource_id_base, 0, 16);
    QProcess xrestop;
    xrestop.start(QStringLiteral("xrestop"),
                  {QStringLiteral("-b"), QStringLiteral("-m"), QStringLiteral("1")});
    if (!xrestop.waitForFinished(10000))
        return counters;
    bool ours = false;
    for (const QString& raw : QString::fromLocal8Bit(xrestop.readAllStandardOutput()).split('\n')) {
        const QString line = raw.trimmed();
        const int colon = line.indexOf(QLatin1Char(':'));
        if (!raw.startsWith(QLatin1Char('\t'))) {
            ours = false;
            continue;
        }
        const QString name = line.left(colon).trimmed();
        QString value = line.mid(colon + 1).trimmed();
        if (name == QLatin1String("res_base"))
            ours = value == base;
        else if (ours && name != QLatin1String("res_mask"))
            counters[name] = value.remove(QLatin1Char('~')).toLongLong();
    }
    return counters;
}

Sample sample()
{
    return Sample{residentKb(), openDescriptors(), xResources()};
}

QString describe(const Sample& s)
{
    QStringList x;
    for (auto it = s.x.cbegin(); it != s.x.cend(); ++it)
        if (it.value() != 0)
            x << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return QStringLiteral("RSS %1 MiB, %2 fds, X: %3")
        .arg(s.rssKb / 1024.0, 0, 'f', 1)
        .arg(s.fds)
        .arg(x.isEmpty() ? QStringLiteral("unknown") : x.join(QStringLiteral(", ")));
}

class Soak : public QObject
{
public:
    Soak(frmViewImage& window, BenchMarker& marker, const QString& folder, int series)
        : m_window(window), m_marker(marker), m_folder(folder), m_series(series)
    {
        connect(&window.document(), &ImageDocument::titleChanged, this, [this](const QString& t) {
            if (t.contains(QLatin1String("/Screen"))) {
                ++m_saved;
                m_marker.next();
            }
        });
        connect(&m_poll, &QTimer::timeout, this, &Soak::poll);
    }
    void start()
    {
        m_clock.start();
        startSeries();
        m_poll.start(50);
    }
    bool ok() const { return m_failed.isEmpty(); }
    QString failure() const { return m_failed; }
    const QList<Sample>& samples() const { return m_samples; }
    int saved() const { return m_saved; }
    double seconds() const { return m_clock.elapsed() / 1000.0; }

private:
    void startSeries()
    {
        m_seriesStart = m_saved;
        m_seriesClock.start();
        m_window.command(QStringLiteral("mnuAutoCapture"))->trigger();
    }
    // Between two series: the kind of thing a user does to a capture.
    bool editUndoSave()
    {
        m_window.command(QStringLiteral("mnuInvertColor"))->trigger();
        m_window.command(QStringLiteral("mnuFlipHor"))->trigger();
        m_window.command(QStringLiteral("mnuUndo"))->trigger();
        return bool(
            m_window.document().SaveImageFile(m_folder + QStringLiteral("/edited.jpg"), 80));
    }
    void poll()
    {
        // A series has ended when the window is back with all its files, or
        // after far longer than it should take.
        const bool complete = m_saved - m_seriesStart >= ImagesPerSeries;
        if (m_window.capture().AutoCaptureActive() ||
            (!complete && m_seriesClock.elapsed() < 60000))
            return;
        if (m_saved - m_seriesStart != ImagesPerSeries)
            m_failed = QStringLiteral("series %1 saved %2 of %3 images")
                           .arg(m_samples.size() + 1)
                           .arg(m_saved - m_seriesStart)
                           .arg(ImagesPerSeries);
        else if (!editUndoSave())
            m_failed = QStringLiteral("the save after series %1 failed").arg(m_samples.size() + 1);
        m_samples.append(sample());
        const int done = int(m_samples.size());
        if (done == 1 || done % 5 == 0 || done == m_series)
            printf("after series %3d (%4d images, %6.1f s): %s\n", done, m_saved, seconds(),
                   qPrintable(describe(m_samples.last())));
        fflush(stdout);
        if (!m_failed.isEmpty() || done == m_series) {
            m_poll.stop();
            qApp->quit();
            return;
        }
        startSeries();
    }

    frmViewImage& m_window;
    BenchMarker& m_marker;
    QString m_folder;
    int m_series;
    int m_saved = 0;
    int m_seriesStart = 0;
    QString m_failed;
    QList<Sample> m_samples;
    QTimer m_poll;
    QElapsedTimer m_clock;
    QElapsedTimer m_seriesClock;
};

// What grew between the first and the last sample, or an empty list.
QStringList growth(const Sample& first, const Sample& last)
{
    QStringList grew;
    if (last.rssKb > first.rssKb * 11 / 10)
        grew << QStringLiteral("resident memory %1 -> %2 KiB").arg(first.rssKb).arg(last.rssKb);
    if (last.fds > first.fds)
        grew << QStringLiteral("file descriptors %1 -> %2").arg(first.fds).arg(last.fds);
    for (const QString& counter :
         {QStringLiteral("windows"), QStringLiteral("GCs"), QStringLiteral("pixmaps"),
          QStringLiteral("pictures"), QStringLiteral("cursors"), QStringLiteral("pixmap bytes")}) {
        if (last.x.value(counter) > first.x.value(counter))
            grew << QStringLiteral("X %1 %2 -> %3")
                        .arg(counter)
                        .arg(first.x.value(counter))
                        .arg(last.x.value(counter));
    }
    return grew;
}

} // namespace

int main(int argc, char** argv)
{
    const int series = argc > 1 ? std::max(2, atoi(argv[1])) : 40;
    qputenv("QT_QPA_PLATFORM", "xcb");
    keepPictureMemoryReturnable(); // as the program does at start
    QApplication app(argc, argv);
    QTemporaryDir folder;
    SeriesWindow seriesWindow(folder.path(), ImagesPerSeries);
    frmViewImage& window = seriesWindow.window;
    BenchMarker& marker = seriesWindow.marker;
    Soak soak(window, marker, folder.path(), series);
    QTimer::singleShot(500, &soak, [&] { soak.start(); });
    app.exec();

    if (!soak.ok() || soak.samples().size() < 2) {
        printf("soak FAILED: %s\n", qPrintable(soak.failure()));
        return 1;
    }
    const Sample& first = soak.samples().first();
    const Sample& last = soak.samples().last();
    const QStringList grew = growth(first, last);
    printf("soak: %d images in %d series, %.0f s; resident memory %.1f MiB after the first "
           "series, %.1f MiB at the end (%+.1f %%); descriptors %d -> %d; X resources %s\n",
           soak.saved(), int(soak.samples().size()), soak.seconds(), first.rssKb / 1024.0,
           last.rssKb / 1024.0,
           100.0 * (last.rssKb - first.rssKb) / std::max<qint64>(1, first.rssKb), first.fds,
           last.fds,
           last.x.isEmpty() ? "unknown (xrestop missing)"
                            : (grew.filter(QStringLiteral("X ")).isEmpty() ? "steady" : "grew"));
    if (!grew.isEmpty()) {
        printf("soak: GREW: %s\n", qPrintable(grew.join(QStringLiteral("; "))));
        return 1;
    }
    printf("soak: nothing grew\n");
    return 0;
}
