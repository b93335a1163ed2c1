// The clipboard shared with other programs on a real X server: a selection
// copied here is read by another client pixel for pixel, a picture offered
// by another client enables Paste and pastes pixel for pixel, and a text
// from another client disables Paste. xclip plays the other program.
#include "TestSupport.h"

#include "capture/CaptureController.h"
#include "document/ImageDocument.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/frmViewImage.h"
#include "output/OutputCommands.h"
#include "platform/QtClipboard.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

using namespace snaplorn;

namespace {

// Runs xclip without blocking the event loop: while it reads, this process
// must answer its request for the clipboard's contents.
QByteArray runXclip(const QStringList& arguments, const QByteArray& input = QByteArray())
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"), arguments);
    if (!xclip.waitForStarted(5000))
        return "xclip did not start";
    if (!input.isEmpty())
        xclip.write(input);
    xclip.closeWriteChannel();
    QElapsedTimer clock;
    clock.start();
    while (xclip.state() != QProcess::NotRunning && clock.elapsed() < 10000)
        QTest::qWait(20);
    return xclip.readAllStandardOutput();
}

} // namespace

class TestClipboardX11 : public QObject
{
    Q_OBJECT

    test::StandIns s;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<frmViewImage> w;
    QList<QProcess*> offers;

    bool pasteEnabled() { return w->command(QStringLiteral("mnuPaste"))->isEnabled(); }
    void selectArea(QPoint from, QPoint to)
    {
        QWidget* canvas = w->findChild<QWidget*>(QStringLiteral("picSelImage"));
        QTest::mouseClick(w->toolbox().OptTool(toolSelect), Qt::LeftButton);
        QTest::mousePress(canvas, Qt::LeftButton, {}, from);
        QTest::mouseMove(canvas, to);
        QTest::mouseRelease(canvas, Qt::LeftButton, {}, to);
    }
    // Another program owns the clipboard while this process runs.
    void offer(const QString& type, const QByteArray& data)
    {
        const QString file = test::scratchFolder() + QStringLiteral("/offer.bin");
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(data);
        out.close();
        auto* xclip = new QProcess(this);
        xclip->start(QStringLiteral("xclip"),
                     {QStringLiteral("-quiet"), QStringLiteral("-selection"),
                      QStringLiteral("clipboard"), QStringLiteral("-t"), type, QStringLiteral("-i"),
                      file});
        QVERIFY(xclip->waitForStarted(5000));
        offers << xclip;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("xclip")).isEmpty())
            QFAIL("xclip is needed for the clipboard tests");
        s = test::makeStandIns();
        s.services.clipboard = std::make_unique<QtClipboard>();
        registry = std::make_unique<Registry>(test::scratchFolder() + "/clip.conf");
        w = std::make_unique<frmViewImage>(s.services, *registry, QString());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    }
    void cleanupTestCase()
    {
        for (QProcess* xclip : offers) {
            xclip->kill();
            xclip->waitForFinished(2000);
        }
        w.reset();
    }

    void selectionCopiedHereIsReadByAnotherProgram()
    {
        const QImage picture = test::patternImage(120, 90, 11);
        w->document().setCanvas(picture);
        w->document().CommitCanvas();
        selectArea(QPoint(10, 20), QPoint(70, 60));
        w->command(QStringLiteral("mnuCopy"))->trigger();
        const QByteArray png =
            runXclip({QStringLiteral("-selection"), QStringLiteral("clipboard"),
                      QStringLiteral("-t"), QStringLiteral("image/png"), QStringLiteral("-o")});
        const QImage read = QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(read.size(), QSize(60, 40));
        QCOMPARE(read, picture.copy(10, 20, 60, 40));
    }

    void pictureOfferedByAnotherProgramPastesExactly()
    {
        w->document().setCanvas(test::patternImage(200, 150, 2));
        w->document().CommitCanvas();
        const QImage picture = test::patternImage(50, 40, 12);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        // Start from a clipboard without a picture.
        offer(QStringLiteral("UTF8_STRING"), "nothing to paste");
        QTRY_VERIFY_WITH_TIMEOUT(!pasteEnabled(), 2000);
        QElapsedTimer clock;
        clock.start();
        offer(QStringLiteral("image/png"), png);
        QTRY_VERIFY_WITH_TIMEOUT(pasteEnabled(), 2000);
        qInfo("Paste enabled %lld ms after the offer", clock.elapsed());
        w->command(QStringLiteral("mnuPaste"))->trigger();
        w->toolbox().picPaste_LostFocus();
        QCOMPARE(w->document().canvas().copy(0, 0, 50, 40), picture);
    }

    void textFromAnotherProgramDisablesPaste()
    {
        QTRY_VERIFY_WITH_TIMEOUT(pasteEnabled(), 2000);
        offer(QStringLiteral("UTF8_STRING"), "just some text");
        QTRY_VERIFY_WITH_TIMEOUT(!pasteEnabled(), 2000);
    }
};

SNAPLORN_TEST_MAIN(TestClipboardX11)
#include "tst_clipboard_x11.moc"
