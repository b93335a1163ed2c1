// The pieces of the quick command-line capture that need no display: its
// encoder gives the save code's bytes, and its file writing never leaves a
// half-written or wrongly permitted file.
#include "TestSupport.h"

#include "capture/FastCapture.h"
#include "document/ImageFiles.h"
#include "document/JpegEncoder.h"

#include <QDir>
#include <QFile>

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

} // namespace

class TestFastCapture : public QObject
{
    Q_OBJECT
private slots:
    void encoderMatchesTheSaveCode_data();
    void encoderMatchesTheSaveCode();
    void encoderRefusesImpossibleSizes();
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
}

void TestFastCapture::encoderMatchesTheSaveCode()
{
    QFETCH(QSize, size);
    QFETCH(int, quality);
    QImage picture = test::patternImage(size.width(), size.height());
    picture = picture.convertToFormat(QImage::Format_RGB32);
    QImage grabbed = picture.copy();
    for (int y = 0; y < grabbed.height(); ++y) {
        auto* row = reinterpret_cast<quint32*>(grabbed.scanLine(y));
        for (int x = 0; x < grabbed.width(); ++x)
            row[x] = (row[x] & 0x00ffffffu) | (quint32(x * 7 + y) & 0xffu) << 24;
    }
    const JpegSource source{grabbed.constBits(), grabbed.width(), grabbed.height(),
                            size_t(grabbed.bytesPerLine()), JpegPixels::Bgrx32, false};
    const JpegBytes quick = encodeJpeg(source, quality);
    QVERIFY(quick.ok());

    const QString bmp = scratch(QStringLiteral("same.bmp"));
    const QString jpg = scratch(QStringLiteral("same.jpg"));
    QVERIFY(writeTemporaryBmp24(picture, bmp));
    QVERIFY(BmpToJpeg(bmp, jpg, quality));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(quick.data.get()), int(quick.size)),
             readBytes(jpg));
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
