// The pieces of the quick command-line capture that need no display: its
// encoder gives the save code's bytes, its strips decode to the pixels of the
// picture encoded in one piece, and its file writing never leaves a
// half-written or wrongly permitted file.
#include "TestSupport.h"

#include "capture/FastCapture.h"
#include "document/ImageFiles.h"
#include "document/JpegEncoder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

#include <sys/stat.h>

using namespace snaplorn;

namespace {

QString scratch(const QString& name)
{
    return test::scratchFolder() + QLatin1Char('/') + name;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAtomically(const QString& path, const QByteArray& bytes, std::string* why)
{
    return writeFileAtomically(QFile::encodeName(path).toStdString(),
                               reinterpret_cast<const unsigned char*>(bytes.constData()),
                               size_t(bytes.size()), why);
}

int modeOf(const QString& path)
{
    struct stat info {};
    return stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

QStringList leftovers(const QString& folder, const QString& name)
{
    return QDir(folder).entryList({name + QStringLiteral(".*")}, QDir::Files);
}

// A picture as a screen grab holds it: an undefined fourth byte per pixel.
QImage grabbedPicture(const QImage& picture)
{
    QImage grabbed = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < grabbed.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(grabbed.scanLine(y));
        for (int x = 0; x < grabbed.width(); ++x)
            row[x] = (row[x] & 0x00ffffffu) | (quint32(x * 7 + y) & 0xffu) << 24;
    }
    return grabbed;
}

QByteArray bytesOf(const JpegBytes& jpeg)
{
    return QByteArray(reinterpret_cast<const char*>(jpeg.data.get()), int(jpeg.size));
}

int countMarkers(const QByteArray& jpeg, uchar low, uchar high)
{
    int count = 0;
    for (int i = 0; i + 1 < jpeg.size(); ++i)
        count += uchar(jpeg[i]) == 0xff && uchar(jpeg[i + 1]) >= low && uchar(jpeg[i + 1]) <= high;
    return count;
}

// Standard output of a tool that must exit with 0; the test fails otherwise.
QByteArray runTool(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        qWarning().noquote() << tool << arguments.join(' ') << "failed:"
                             << process.readAllStandardError();
        return QByteArray();
    }
    return process.readAllStandardOutput();
}

std::atomic<int> stripsEncoded{0};

// Encodes strips until the third, which fails as the library would.
JpegBytes thirdStripFails(const JpegSource& strip, int quality)
{
    if (++stripsEncoded == 3) {
        JpegBytes failed;
        failed.error = "strip refused";
        return failed;
    }
    return encodeJpegWhole(strip, quality);
}

} // namespace

class TestFastCapture : public QObject
{
    Q_OBJECT
private slots:
    void encoderMatchesTheSaveCode_data();
    void encoderMatchesTheSaveCode();
    void encoderRefusesImpossibleSizes();
    void stripsDecodeToTheWholePicture_data();
    void stripsDecodeToTheWholePicture();
    void stripFileIsReadByStrictDecoders();
    void failingStripFailsThePicture();
    void rowsArrivingWhileEncoding();
    void newFileFollowsTheUmask();
    void replacedFileKeepsItsPermissions();
    void failuresKeepTheOldFile();
};

// A screen grab carries an undefined fourth byte; the picture must not
// depend on it, and must equal what Save writes for the same pixels.
void TestFastCapture::encoderMatchesTheSaveCode_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("quality");
    QTest::newRow("odd size, q80") << QSize(333, 77) << 80;
    QTest::newRow("one pixel, q100") << QSize(1, 1) << 100;
    QTest::newRow("wide, q1") << QSize(1024, 9) << 1;
    QTest::newRow("in strips, q80") << QSize(1031, 1021) << 80;
}

void TestFastCapture::encoderMatchesTheSaveCode()
{
    QFETCH(QSize, size);
    QFETCH(int, quality);
    const QImage picture = test::patternImage(size.width(), size.height());
    const QImage grabbed = grabbedPicture(picture);
    const JpegSource source{grabbed.constBits(), grabbed.width(), grabbed.height(),
                            size_t(grabbed.bytesPerLine()), JpegPixels::Bgrx32, false};
    const JpegBytes quick = encodeJpeg(source, quality);
    QVERIFY(quick.ok());

    const QString bmp = scratch(QStringLiteral("same.bmp"));
    const QString jpg = scratch(QStringLiteral("same.jpg"));
    QVERIFY(writeTemporaryBmp24(picture, bmp));
    QVERIFY(BmpToJpeg(bmp, jpg, quality));
    QCOMPARE(bytesOf(quick), readBytes(jpg));
}

void TestFastCapture::encoderRefusesImpossibleSizes()
{
    const unsigned char pixel[4] = {1, 2, 3, 4};
    for (const QSize size : {QSize(0, 1), QSize(1, 0), QSize(JpegMaxSide + 1, 1)}) {
        const JpegSource source{pixel, size.width(), size.height(), 4, JpegPixels::Bgrx32, false};
        const JpegBytes bytes = encodeJpeg(source, 80);
        QVERIFY(!bytes.ok());
        QVERIFY(!bytes.error.empty());
    }
}

// Restart markers change no coefficient: whatever the strips, the picture
// decodes to exactly the pixels of the one-piece encoding, from a grab and
// from a bottom-up bitmap alike.
void TestFastCapture::stripsDecodeToTheWholePicture_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("mcuRows"); // per strip; 0: the size's own rule
    QTest::addColumn<int>("strips");
    QTest::addColumn<bool>("bitmap"); // bottom-up 24-bit rows
    QTest::addColumn<int>("quality");
    QTest::newRow("1x1") << QSize(1, 1) << 1 << 1 << false << 80;
    QTest::newRow("odd size, 5 strips") << QSize(333, 77) << 1 << 5 << false << 80;
    QTest::newRow("bitmap, 3 strips") << QSize(17, 33) << 1 << 3 << true << 100;
    QTest::newRow("last strip short") << QSize(250, 480) << 11 << 3 << true << 1;
    QTest::newRow("12 strips, RST0..7 twice") << QSize(90, 190) << 1 << 12 << false << 80;
    QTest::newRow("the size's rule") << QSize(1100, 1000) << 0 << 16 << false << 80;
}

void TestFastCapture::stripsDecodeToTheWholePicture()
{
    QFETCH(QSize, size);
    QFETCH(int, mcuRows);
    QFETCH(int, strips);
    QFETCH(bool, bitmap);
    QFETCH(int, quality);
    const QImage picture = grabbedPicture(test::patternImage(size.width(), size.height()));
    QImage rows = picture;
    JpegSource source{picture.constBits(), size.width(), size.height(),
                      size_t(picture.bytesPerLine()), JpegPixels::Bgrx32, false};
    if (bitmap) {
        rows = picture.convertToFormat(QImage::Format_BGR888).mirrored();
        source = {rows.constBits(), size.width(), size.height(), size_t(rows.bytesPerLine()),
                  JpegPixels::Bgr24, true};
    }
    const JpegBytes whole = encodeJpegWhole(source, quality);
    const JpegBytes parts = mcuRows > 0 ? encodeJpegInStrips(source, quality, mcuRows, 2)
                                        : encodeJpeg(source, quality);
    QVERIFY(whole.ok());
    QVERIFY2(parts.ok(), parts.error.c_str());
    const QByteArray joined = bytesOf(parts);
    QCOMPARE(countMarkers(joined, 0xdd, 0xdd), 1);           // DRI
    QCOMPARE(countMarkers(joined, 0xd0, 0xd7), strips - 1); // RSTn
    const QImage expected = QImage::fromData(bytesOf(whole), "JPG");
    const QImage decoded = QImage::fromData(joined, "JPG");
    QCOMPARE(decoded.size(), size);
    QVERIFY(decoded == expected);
}

// The joined file passes the strict checks of libjpeg-turbo, jpeginfo and
// ImageMagick, and djpeg decodes it to the one-piece encoding's pixels.
void TestFastCapture::stripFileIsReadByStrictDecoders()
{
    for (const char* tool : {"djpeg", "jpeginfo", "identify"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            QSKIP("djpeg, jpeginfo or identify is not installed");
    const QImage picture = grabbedPicture(test::patternImage(333, 190));
    const JpegSource source{picture.constBits(), picture.width(), picture.height(),
                            size_t(picture.bytesPerLine()), JpegPixels::Bgrx32, false};
    const QString whole = scratch(QStringLiteral("whole.jpg"));
    const QString strips = scratch(QStringLiteral("strips.jpg"));
    std::string why;
    QVERIFY(writeAtomically(whole, bytesOf(encodeJpegWhole(source, 80)), &why));
    QVERIFY(writeAtomically(strips, bytesOf(encodeJpegInStrips(source, 80, 1, 3)), &why));
    const QByteArray pixels = runTool("djpeg", {"-strict", "-ppm", whole});
    QVERIFY(!pixels.isEmpty());
    QCOMPARE(runTool("djpeg", {"-strict", "-ppm", strips}), pixels);
    QVERIFY(runTool("jpeginfo", {"-c", strips}).contains(" OK"));
    QCOMPARE(runTool("identify", {"-regard-warnings", "-format", "%m %wx%h", strips}),
             QByteArray("JPEG 333x190"));
}

// One strip that fails fails the picture with its reason: no bytes at all,
// so no caller can write half a picture.
void TestFastCapture::failingStripFailsThePicture()
{
    const QImage picture = grabbedPicture(test::patternImage(64, 160));
    const JpegSource source{picture.constBits(), picture.width(), picture.height(),
                            size_t(picture.bytesPerLine()), JpegPixels::Bgrx32, false};
    for (int threads : {1, 2}) {
        stripsEncoded = 0;
        const JpegBytes bytes = encodeJpegInStrips(source, 80, 1, threads, thirdStripFails);
        QVERIFY(!bytes.ok());
        QVERIFY(!bytes.data);
        QCOMPARE(bytes.error, std::string("strip refused"));
    }
    // A restart interval the DRI segment cannot hold is refused, not wrapped.
    QVERIFY(!encodeJpegInStrips(source, 80, 65536, 1).ok());
}

namespace {

// A picture copied into place band by band on a thread of its own, the way
// the X server fills the grab's memory; rows not yet there hold noise.
class Arrival : public JpegRowsArriving
{
public:
    explicit Arrival(const QImage& from) : m_from(from), m_to(from.size(), from.format())
    {
        m_to.fill(Qt::magenta);
    }
    const uchar* memory() const { return m_to.constBits(); }
    // Copies the first `lastRow` rows, 24 at a time, then says no more come.
    void deliver(int lastRow)
    {
        for (int row = 0; row < lastRow; row += 24) {
            const int rows = std::min(24, lastRow - row);
            std::memcpy(m_to.bits() + row * m_to.bytesPerLine(),
                        m_from.constBits() + row * m_from.bytesPerLine(),
                        size_t(rows) * size_t(m_to.bytesPerLine()));
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            set(row + rows, false);
        }
        set(m_rows, true);
    }
    bool waitForRows(int rows) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return m_rows >= rows || m_over; });
        return m_rows >= rows;
    }

private:
    void set(int rows, bool over)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_rows = rows;
            m_over = over;
        }
        m_changed.notify_all();
    }
    QImage m_from;
    QImage m_to;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_rows = 0;
    bool m_over = false;
};

} // namespace

// Encoded while its rows arrive, a picture gives the bytes of the picture
// encoded at once: no strip is encoded before its rows are there. Rows that
// never come fail the picture, and nothing waits for ever.
void TestFastCapture::rowsArrivingWhileEncoding()
{
    for (const QSize size : {QSize(1100, 1000), QSize(333, 77)}) { // in strips, in one piece
        const QImage picture = grabbedPicture(test::patternImage(size.width(), size.height()));
        const JpegSource whole{picture.constBits(), size.width(), size.height(),
                               size_t(picture.bytesPerLine()), JpegPixels::Bgrx32, false};
        const QByteArray expected = bytesOf(encodeJpeg(whole, 80));
        for (const int delivered : {size.height(), size.height() / 2}) {
            Arrival arrival(picture);
            JpegSource source = whole;
            source.data = arrival.memory();
            std::thread feeder([&] { arrival.deliver(delivered); });
            const JpegBytes bytes = encodeJpeg(source, 80, &arrival);
            feeder.join();
            if (delivered == size.height()) {
                QVERIFY2(bytes.ok(), bytes.error.c_str());
                QCOMPARE(bytesOf(bytes), expected);
            } else {
                QVERIFY(!bytes.ok());
                QCOMPARE(bytes.error, std::string("the picture did not arrive"));
            }
        }
    }
}

void TestFastCapture::newFileFollowsTheUmask()
{
    const QString path = scratch(QStringLiteral("new.jpg"));
    QFile::remove(path);
    const mode_t old = umask(027);
    std::string why;
    const bool ok = writeAtomically(path, QByteArray("fresh"), &why);
    umask(old);
    QVERIFY2(ok, why.c_str());
    QCOMPARE(readBytes(path), QByteArray("fresh"));
    QCOMPARE(modeOf(path), 0640);
    QVERIFY(leftovers(test::scratchFolder(), QStringLiteral("new.jpg")).isEmpty());
}

void TestFastCapture::replacedFileKeepsItsPermissions()
{
    const QString path = scratch(QStringLiteral("kept.jpg"));
    std::string why;
    QVERIFY(writeAtomically(path, QByteArray("old"), &why));
    QVERIFY(chmod(QFile::encodeName(path).constData(), 0604) == 0);
    QVERIFY2(writeAtomically(path, QByteArray("newer bytes"), &why), why.c_str());
    QCOMPARE(readBytes(path), QByteArray("newer bytes"));
    QCOMPARE(modeOf(path), 0604);
}

// A folder in the way, a missing folder, a device: nothing is written, the
// reason is given, and no temporary file stays behind.
void TestFastCapture::failuresKeepTheOldFile()
{
    const QString folder = scratch(QStringLiteral("in-the-way.jpg"));
    QDir().mkpath(folder);
    std::string why;
    QVERIFY(!writeAtomically(folder, QByteArray("x"), &why));
    QVERIFY(!why.empty());
    QVERIFY(QFileInfo(folder).isDir());

    why.clear();
    QVERIFY(!writeAtomically(scratch(QStringLiteral("missing/x.jpg")), QByteArray("x"), &why));
    QVERIFY(!why.empty());

    why.clear();
    QVERIFY(!writeAtomically(QStringLiteral("/dev/null"), QByteArray("x"), &why));
    QVERIFY(!why.empty());
    QVERIFY(leftovers(test::scratchFolder(), QStringLiteral("in-the-way.jpg")).isEmpty());
}

SNAPLORN_TEST_MAIN_CORE(TestFastCapture)
#include "tst_fastcapture.moc"
