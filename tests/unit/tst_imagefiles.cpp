#include "PictureBytes.h"
#include "TestSupport.h"

#include "base/Texts.h"
#include "document/ImageFiles.h"

#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QRandomGenerator>
#include <QtEndian>

#include <csignal>
#include <optional>
#include <sys/resource.h>

using namespace snaplorn;
using namespace snaplorn::test;
using Failure = LoadedImage::Failure;

namespace {

QString scratch(const QString& name)
{
    return test::scratchFolder() + QLatin1Char('/') + name;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int largestChannelDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                              qAbs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// The two bitmap writers share the format and the all-or-nothing replacement.
enum class BmpWriter { Saved, Temporary };

Result writeBmp(BmpWriter writer, const QImage& image, const QString& path)
{
    return writer == BmpWriter::Saved ? writeBmp24(image, path) : writeTemporaryBmp24(image, path);
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Writes beyond `bytes` fail for this process, as on a full disk. Works for
// root too, where permission bits do not stop a write.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{bytes, m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
};

} // namespace

class TestImageFiles : public QObject
{
    Q_OBJECT

private slots:
    void bmpRoundTripIsExact_data();
    void bmpRoundTripIsExact();
    void nullImageIsNotSaved();
    void jpegRoundTripKeepsSizeAndLooks();
    void jpegQualityIsHonoured();
    void bmpToJpegReadsOtherBitmaps_data();
    void bmpToJpegReadsOtherBitmaps();
    void bmpToJpegRefuses_data();
    void bmpToJpegRefuses();
    void otherFormatsLoad_data();
    void otherFormatsLoad();
    void hostileInputIsRefused_data();
    void hostileInputIsRefused();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void imageFileNames_data();
    void imageFileNames();
    void saveKinds_data();
    void saveKinds();
};

void TestImageFiles::bmpRoundTripIsExact_data()
{
    QTest::addColumn<int>("writer");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    for (const BmpWriter writer : {BmpWriter::Saved, BmpWriter::Temporary}) {
        const char* name = writer == BmpWriter::Saved ? "saved" : "temporary";
        const int w = int(writer);
        QTest::addRow("%s, single pixel", name) << w << 1 << 1;
        QTest::addRow("%s, row padded by three", name) << w << 3 << 2;
        QTest::addRow("%s, odd both ways", name) << w << 5 << 7;
        QTest::addRow("%s, wide, padded by one", name) << w << 333 << 2;
        QTest::addRow("%s, no padding", name) << w << 4 << 3;
    }
}

void TestImageFiles::bmpRoundTripIsExact()
{
    QFETCH(int, writer);
    QFETCH(int, width);
    QFETCH(int, height);
    const QImage original = test::patternImage(width, height, quint32(width * 31 + height));
    const QString path = scratch(QStringLiteral("round.bmp"));
    writeBytes(path, "an older file of another size");
    const Result written = writeBmp(BmpWriter(writer), original, path);
    QVERIFY2(written.ok, qPrintable(written.message));

    const int stride = (width * 3 + 3) / 4 * 4;
    QCOMPARE(QFileInfo(path).size(), qint64(54 + stride * height));

    const LoadedImage ours = loadImageFile(path);
    QVERIFY(ours.ok());
    QCOMPARE(ours.image.format(), QImage::Format_RGB32);
    QCOMPARE(ours.image, original);

    // Other readers see the same pixels and the 72 dpi resolution.
    QImageReader reader(path);
    const QImage theirs = reader.read();
    QCOMPARE(theirs.convertToFormat(QImage::Format_RGB32), original);
    QCOMPARE(theirs.dotsPerMeterX(), 2835);
    QCOMPARE(folderEntries(test::scratchFolder()).filter(QStringLiteral("round")),
             QStringList{QStringLiteral("round.bmp")});
}

void TestImageFiles::nullImageIsNotSaved()
{
    const QString path = scratch(QStringLiteral("null.bmp"));
    for (const QImage& empty : {QImage(), QImage(0, 0, QImage::Format_RGB32)})
        for (const BmpWriter writer : {BmpWriter::Saved, BmpWriter::Temporary}) {
            const Result r = writeBmp(writer, empty, path);
            QVERIFY(!r.ok);
            QCOMPARE(r.message, QString::fromUtf8(texts::NothingToSave));
            QVERIFY(!QFileInfo::exists(path));
        }
}

void TestImageFiles::jpegRoundTripKeepsSizeAndLooks()
{
    const QImage original = smoothImage(203, 117);
    const QString bmp = scratch(QStringLiteral("smooth.bmp"));
    const QString jpg = scratch(QStringLiteral("smooth.jpg"));
    QVERIFY(writeBmp24(original, bmp).ok);
    const Result converted = BmpToJpeg(bmp, jpg, 90);
    QVERIFY2(converted.ok, qPrintable(converted.message));
    QCOMPARE(QImageReader(jpg).format(), QByteArray("jpeg"));
    const LoadedImage loaded = loadImageFile(jpg);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.image.size(), original.size());
    QVERIFY2(largestChannelDifference(loaded.image, original) <= 12,
             qPrintable(QString::number(largestChannelDifference(loaded.image, original))));
}

void TestImageFiles::jpegQualityIsHonoured()
{
    const QString bmp = scratch(QStringLiteral("busy.bmp"));
    QVERIFY(writeBmp24(test::patternImage(160, 120, 7), bmp).ok);
    auto sizeAt = [&bmp](int quality) {
        const QString jpg = scratch(QStringLiteral("q%1.jpg").arg(quality));
        const Result r = BmpToJpeg(bmp, jpg, quality);
        return r.ok ? readBytes(jpg) : QByteArray();
    };
    const QByteArray q10 = sizeAt(10), q95 = sizeAt(95);
    QVERIFY(!q10.isEmpty());
    QVERIFY2(q10.size() * 2 < q95.size(),
             qPrintable(QStringLiteral("%1 vs %2").arg(q10.size()).arg(q95.size())));
    // Out-of-range qualities are clamped, not refused.
    QCOMPARE(sizeAt(0), sizeAt(1));
    QCOMPARE(sizeAt(1000), sizeAt(100));
}

void TestImageFiles::bmpToJpegReadsOtherBitmaps_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("24-bit top-down") << int(BmpKind::Bgr24TopDown);
    QTest::newRow("32-bit bottom-up") << int(BmpKind::Bgrx32BottomUp);
    QTest::newRow("32-bit with masks, top-down") << int(BmpKind::Bgrx32MasksTopDown);
    QTest::newRow("32-bit with red in the low byte") << int(BmpKind::Rgbx32Masks);
}

void TestImageFiles::bmpToJpegReadsOtherBitmaps()
{
    QFETCH(int, kind);
    const QImage original = smoothImage(41, 29);
    const QString bmp = scratch(QStringLiteral("other.bmp"));
    const QString jpg = scratch(QStringLiteral("other.jpg"));
    writeBytes(bmp, handMadeBmp(original, BmpKind(kind)));
    const Result r = BmpToJpeg(bmp, jpg, 95);
    QVERIFY2(r.ok, qPrintable(r.message));
    const LoadedImage loaded = loadImageFile(jpg);
    QVERIFY(loaded.ok());
    QCOMPARE(loaded.image.size(), original.size());
    QVERIFY(largestChannelDifference(loaded.image, original) <= 12);
}

void TestImageFiles::bmpToJpegRefuses_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QImage image = smoothImage(9, 5);
    const QByteArray bmp24 = handMadeBmp(image, BmpKind::Bgrx32BottomUp);
    QTest::newRow("palette bitmap")
        << handMadeBmp(image, BmpKind::Indexed8) << QString::fromUtf8(texts::BmpUnsupported);
    QTest::newRow("truncated bitmap")
        << bmp24.left(bmp24.size() - 10) << QString::fromUtf8(texts::BmpTruncated);
    QTest::newRow("a PNG") << encoded(image, "PNG") << QString::fromUtf8(texts::BmpNotBitmap);
    QTest::newRow("zero bytes") << QByteArray() << QString::fromUtf8(texts::BmpNotBitmap);
}

void TestImageFiles::bmpToJpegRefuses()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const QString bmp = scratch(QStringLiteral("refused.bmp"));
    const QString jpg = scratch(QStringLiteral("refused.jpg"));
    writeBytes(bmp, content);
    const Result r = BmpToJpeg(bmp, jpg, 80);
    QVERIFY(!r.ok);
    QCOMPARE(r.message, QString::fromUtf8(texts::ConvertFailed).arg(bmp, reason));
    QVERIFY(!QFileInfo::exists(jpg));
}

void TestImageFiles::otherFormatsLoad_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QImage>("expected");

    const QImage pattern = test::patternImage(13, 6, 3);
    QTest::newRow("PNG") << encoded(pattern, "PNG") << "p.png" << pattern;
    QTest::newRow("PNG named .jpg") << encoded(pattern, "PNG") << "p.jpg" << pattern;

    QImage translucent(4, 1, QImage::Format_ARGB32);
    translucent.setPixel(0, 0, qRgba(10, 20, 30, 255));
    translucent.setPixel(1, 0, qRgba(200, 0, 0, 0));
    translucent.setPixel(2, 0, qRgba(0, 0, 0, 0));
    translucent.setPixel(3, 0, qRgba(10, 20, 30, 255));
    QImage onWhite(4, 1, QImage::Format_RGB32);
    onWhite.setPixel(0, 0, qRgb(10, 20, 30));
    onWhite.setPixel(1, 0, qRgb(255, 255, 255));
    onWhite.setPixel(2, 0, qRgb(255, 255, 255));
    onWhite.setPixel(3, 0, qRgb(10, 20, 30));
    QTest::newRow("transparent PNG on white") << encoded(translucent, "PNG") << "t.png" << onWhite;

    const QVector<QRgb> palette{qRgb(255, 0, 0), qRgb(0, 128, 0), qRgb(0, 0, 255), qRgb(1, 2, 3)};
    QVector<uchar> indices;
    QImage gifExpected(23, 19, QImage::Format_RGB32); // over 200 pixels: several clear codes
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 23; ++x) {
            indices.append(uchar((x + 2 * y) % 4));
            gifExpected.setPixel(x, y, palette[indices.last()]);
        }
    QTest::newRow("GIF") << handMadeGif(23, 19, palette, indices) << "g.GIF" << gifExpected;
    QImage gifOnWhite = gifExpected;
    for (int i = 0; i < indices.size(); ++i)
        if (indices[i] == 3)
            gifOnWhite.setPixel(i % 23, i / 23, qRgb(255, 255, 255));
    QTest::newRow("transparent GIF on white")
        << handMadeGif(23, 19, palette, indices, 3) << "t.gif" << gifOnWhite;

    // 16-bit bitmaps: each channel spread over 0-255, so white stays white.
    QImage four(2, 2, QImage::Format_RGB32);
    four.setPixel(0, 0, qRgb(255, 255, 255));
    four.setPixel(1, 0, qRgb(128, 128, 128));
    four.setPixel(0, 1, qRgb(255, 0, 64));
    four.setPixel(1, 1, qRgb(0, 0, 0));
    QImage spread555 = four, spread565 = four;
    spread555.setPixel(1, 0, qRgb(132, 132, 132)); // 16 of 31
    spread565.setPixel(1, 0, qRgb(132, 130, 132)); // green 32 of 63
    for (QImage* spread : {&spread555, &spread565})
        spread->setPixel(0, 1, qRgb(255, 0, 66)); // 8 of 31
    QTest::newRow("16-bit 5-5-5") << handMadeBmp(four, BmpKind::Rgb555) << "a.bmp" << spread555;
    QTest::newRow("16-bit 5-5-5 masks")
        << handMadeBmp(four, BmpKind::Rgb555Masks) << "b.bmp" << spread555;
    QTest::newRow("16-bit 5-6-5 masks, top-down")
        << handMadeBmp(four, BmpKind::Rgb565MasksTopDown) << "c.bmp" << spread565;
}

void TestImageFiles::otherFormatsLoad()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(QImage, expected);
    const QString path = scratch(name);
    writeBytes(path, content);
    const LoadedImage loaded = loadImageFile(path);
    QVERIFY2(loaded.ok(), qPrintable(loaded.message));
    QCOMPARE(loaded.image.format(), QImage::Format_RGB32);
    QCOMPARE(loaded.image, expected);
}

void TestImageFiles::hostileInputIsRefused_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("failure");

    const QImage pattern = test::patternImage(64, 48, 5);
    const QByteArray png = encoded(pattern, "PNG"), jpeg = encoded(pattern, "JPG");
    QByteArray bmp;
    {
        const QString path = scratch(QStringLiteral("source.bmp"));
        QVERIFY(writeBmp24(pattern, path).ok);
        bmp = readBytes(path);
    }
    QByteArray hugeBmp = handMadeBmp(QImage(1, 1, QImage::Format_RGB32), BmpKind::Bgr24TopDown);
    qToLittleEndian<qint32>(60000, hugeBmp.data() + 18);
    qToLittleEndian<qint32>(60000, hugeBmp.data() + 22);
    const QByteArray hugePng = pngHeaderOnly(png, 60000, 60000);
    QByteArray hugeJpeg = jpeg; // the frame header's height and width follow its length and depth
    const qsizetype frame = hugeJpeg.indexOf("\xff\xc0");
    qToBigEndian<quint16>(60000, hugeJpeg.data() + frame + 5);
    qToBigEndian<quint16>(60000, hugeJpeg.data() + frame + 7);
    QByteArray noise(4096, '\0');
    QRandomGenerator(42).fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);

    const int notImage = int(Failure::NotAnImage);
    QTest::newRow("zero bytes") << QByteArray() << "empty.bmp" << notImage;
    QTest::newRow("truncated PNG") << png.left(png.size() / 2) << "cut.png" << notImage;
    QTest::newRow("truncated JPEG") << jpeg.left(jpeg.size() * 3 / 4) << "cut.jpg" << notImage;
    QTest::newRow("JPEG cut in its header") << jpeg.left(300) << "head.jpg" << notImage;
    QTest::newRow("truncated BMP") << bmp.left(bmp.size() - 1) << "cut.bmp" << notImage;
    QTest::newRow("60000 x 60000 BMP header") << hugeBmp << "huge.bmp" << notImage;
    QTest::newRow("60000 x 60000 PNG header") << hugePng << "huge.png" << notImage;
    QTest::newRow("60000 x 60000 JPEG frame") << hugeJpeg << "huge.jpg" << notImage;
    QTest::newRow("text named .jpg")
        << QByteArray("Dear diary,\nnot a picture.\n") << "t.jpg" << notImage;
    QTest::newRow("random bytes") << noise << "noise.gif" << notImage;
    QTest::newRow("a folder") << QByteArray() << "<folder>" << int(Failure::Unreadable);
    QTest::newRow("a missing file") << QByteArray() << "<missing>" << int(Failure::Unreadable);
}

void TestImageFiles::hostileInputIsRefused()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, name);
    QFETCH(int, failure);
    QString path = scratch(name);
    if (name == QLatin1String("<folder>")) {
        path = scratch(QStringLiteral("folder.jpg"));
        QVERIFY(QDir().mkpath(path));
    } else if (name == QLatin1String("<missing>")) {
        path = scratch(QStringLiteral("never-written.bmp"));
    } else {
        writeBytes(path, content);
    }
    const LoadedImage loaded = loadImageFile(path);
    QCOMPARE(int(loaded.failure), failure);
    QVERIFY(loaded.image.isNull());
    if (loaded.failure == Failure::NotAnImage)
        QCOMPARE(loaded.message, QString::fromUtf8(texts::NotProperImage));
    else
        QVERIFY2(loaded.message.contains(path), qPrintable(loaded.message));
}

void TestImageFiles::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("situation");
    for (const char* kind : {"BMP", "temporary BMP", "JPEG"})
        for (const char* situation : {"disk full", "parent is a file", "path is a folder"})
            QTest::addRow("%s, %s", kind, situation)
                << QString::fromLatin1(kind) << QString::fromLatin1(situation);
}

// The old file, if any, stays byte for byte, and the folder holds no
// temporary file afterwards.
void TestImageFiles::failedWriteKeepsOldFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, situation);
    const bool jpeg = kind == QLatin1String("JPEG");
    const QString folder = scratch(QStringLiteral("atomic"));
    QDir(folder).removeRecursively();
    QVERIFY(QDir().mkpath(folder));
    const QString source = scratch(QStringLiteral("source-big.bmp"));
    QVERIFY(writeBmp24(test::patternImage(300, 200, 9), source).ok);

    QString target = folder + (jpeg ? QStringLiteral("/old.jpg") : QStringLiteral("/old.bmp"));
    const QByteArray old("the old picture, still wanted");
    if (situation == QLatin1String("parent is a file")) {
        writeBytes(folder + QStringLiteral("/plain"), old);
        target =
            folder + (jpeg ? QStringLiteral("/plain/new.jpg") : QStringLiteral("/plain/new.bmp"));
    } else if (situation == QLatin1String("path is a folder")) {
        QVERIFY(QDir().mkpath(target));
    } else {
        writeBytes(target, old);
    }
    const QStringList before = folderEntries(folder);

    Result r;
    {
        std::optional<FileSizeLimit> full;
        if (situation == QLatin1String("disk full"))
            full.emplace(16 * 1024);
        const BmpWriter writer =
            kind == QLatin1String("BMP") ? BmpWriter::Saved : BmpWriter::Temporary;
        r = jpeg ? BmpToJpeg(source, target, 100)
                 : writeBmp(writer, test::patternImage(300, 200, 9), target);
    }
    QVERIFY(!r.ok);
    QVERIFY2(r.message.contains(target), qPrintable(r.message));
    QCOMPARE(folderEntries(folder), before);
    if (situation == QLatin1String("disk full"))
        QCOMPARE(readBytes(target), old);
    else if (situation == QLatin1String("path is a folder"))
        QVERIFY(QFileInfo(target).isDir());
    else
        QCOMPARE(readBytes(folder + QStringLiteral("/plain")), old);
}

void TestImageFiles::imageFileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("upper-case GIF") << "x.GIF" << true;
    QTest::newRow("jpeg") << "/home/a/photo.jpeg" << true;
    QTest::newRow("mixed-case Bmp") << "shot.Bmp" << true;
    QTest::newRow("no dot: whole name") << "bmp" << true;
    QTest::newRow("no dot, other name") << "picture" << false;
    QTest::newRow("dot first") << ".jpg" << true;
    QTest::newRow("trailing dot not counted") << "a.jpg." << false;
    QTest::newRow("last dot wins") << "a.bmp.txt" << false;
    QTest::newRow("earlier dots ignored") << "old.txt.gif" << true;
    QTest::newRow("dot in folder only") << "/tmp/x.bmp/file" << false;
    QTest::newRow("png is not offered") << "p.png" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("only a dot") << "." << false;
}

void TestImageFiles::imageFileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, accepted);
    QCOMPARE(IsImageFileName(name), accepted);
}

void TestImageFiles::saveKinds_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("kind");
    QTest::newRow("jpg") << "/tmp/a.jpg" << int(SaveKind::Jpg);
    QTest::newRow("bmp") << "/tmp/a.bmp" << int(SaveKind::Bmp);
    QTest::newRow("upper-case JPG") << "/tmp/a.JPG" << int(SaveKind::Refused);
    QTest::newRow("mixed-case Jpg") << "/tmp/a.Jpg" << int(SaveKind::Refused);
    QTest::newRow("jpeg") << "/tmp/a.jpeg" << int(SaveKind::Refused);
    QTest::newRow("no extension") << "/tmp/picture" << int(SaveKind::Refused);
    QTest::newRow("last three only") << "/tmp/ajpg" << int(SaveKind::Jpg);
    QTest::newRow("gif") << "/tmp/a.gif" << int(SaveKind::Refused);
    QTest::newRow("short") << "jp" << int(SaveKind::Refused);
}

void TestImageFiles::saveKinds()
{
    QFETCH(QString, path);
    QFETCH(int, kind);
    QCOMPARE(int(saveKindFor(path)), kind);
}

SNAPLORN_TEST_MAIN_CORE(TestImageFiles)
#include "tst_imagefiles.moc"
