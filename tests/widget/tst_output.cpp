// Clipboard, wallpaper, print and e-mail commands of the main window, with
// stand-ins for the desktop services.
#include "TestSupport.h"
#include "WindowUnderTest.h"

#include "base/Paths.h"
#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/frmViewImage.h"
#include "output/frmEmail.h"
#include "platform/PrintLayout.h"
#include "platform/QtPrinter.h"
#include "platform/standins/FakeClipboard.h"
#include "platform/standins/FakeMailer.h"
#include "platform/standins/FakePrinter.h"
#include "platform/standins/FakeWallpaper.h"
#include "settings/Registry.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <functional>

using namespace snaplorn;
using test::ModalWatcher;

Q_DECLARE_METATYPE(snaplorn::WallpaperStyle)

namespace {

QString web(const char* text)
{
    return QString::fromUtf8(text).arg(QString::fromUtf8(texts::WebAddress));
}

QString wallpaperFile()
{
    return paths::join(paths::dataFolder(), "Snaplorn.bmp");
}

QString attachmentFile()
{
    return paths::join(paths::cacheFolder(), "screen.jpg");
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestOutput : public QObject, test::WindowUnderTest
{
    Q_OBJECT

    FakeClipboard* clipboard = nullptr;
    FakeWallpaper* wallpaper = nullptr;
    FakePrinter* printer = nullptr;
    FakeMailer* mailer = nullptr;

    std::optional<QString> desktopValue(const char* name)
    {
        return registry->readString(DesktopKey, name);
    }
    // A captured-looking picture: untitled and unsaved.
    QImage showPicture(int width, int height)
    {
        const QImage picture = test::patternImage(width, height, 11);
        trigger("mnuNew");
        doc().setCanvas(picture);
        doc().CommitCanvas();
        doc().setDirty(true);
        return picture;
    }

private slots:
    void init()
    {
        s = test::makeStandIns();
        auto fakeClipboard = std::make_unique<FakeClipboard>();
        auto fakeWallpaper = std::make_unique<FakeWallpaper>();
        auto fakePrinter = std::make_unique<FakePrinter>();
        auto fakeMailer = std::make_unique<FakeMailer>();
        clipboard = fakeClipboard.get();
        wallpaper = fakeWallpaper.get();
        printer = fakePrinter.get();
        mailer = fakeMailer.get();
        s.services.clipboard = std::move(fakeClipboard);
        s.services.wallpaper = std::move(fakeWallpaper);
        s.services.printer = std::move(fakePrinter);
        s.services.mailer = std::move(fakeMailer);
        const QString settings = test::scratchFolder() + "/output.conf";
        QFile::remove(settings);
        QFile::remove(wallpaperFile());
        QFile::remove(attachmentFile());
        open(settings);
    }
    void cleanup() { w.reset(); }

    // ---- clipboard ----------------------------------------------------------

    void copyPutsTheWholeImageOnTheClipboard()
    {
        const QImage picture = showPicture(40, 30);
        clipboard->offerText("old");
        trigger("mnuCopyToClipboard");
        QCOMPARE(clipboard->image(), picture);
        QCOMPARE(clipboard->clears, 1); // emptied first
        QVERIFY(doc().isDirty());       // copying changes nothing in the document
        QCOMPARE(w->windowTitle(), QString(texts::UntitledCaption));
        clipboard->clear();
        trigger("mnuPopCopyImage"); // the canvas pop-up entry does the same
        QCOMPARE(clipboard->image(), picture);
        QCOMPARE(s.messages->count(), 0);
    }

    void copyWithoutImageSaysSoAndStaysUsable()
    {
        clipboard->offerText("old");
        trigger("mnuCopyToClipboard");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().text, QString(texts::NothingToCopy));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(!clipboard->hasImage());
        trigger("mnuNew");
        trigger("mnuCopyToClipboard");
        QCOMPARE(clipboard->image().size(), QSize(300, 300));
    }

    void copyFailureShowsTheReason()
    {
        showPicture(10, 10);
        clipboard->failure = "The clipboard is busy.";
        trigger("mnuCopyToClipboard");
        QCOMPARE(s.messages->last().text, QString("The clipboard is busy."));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
    }

    void clearClipboardDisablesPaste()
    {
        clipboard->offerImage(test::patternImage(5, 5));
        w->command("mnuPaste")->setEnabled(true);
        trigger("mnuClearClipboard");
        QVERIFY(!clipboard->hasImage());
        QVERIFY(!w->command("mnuPaste")->isEnabled());
        QVERIFY(!w->toolbarButton("paste")->isEnabled());
        QTest::qWait(700); // a paste-timer tick later it stays disabled
        QVERIFY(!w->command("mnuPaste")->isEnabled());
    }

    // ---- wallpaper ----------------------------------------------------------

    void wallpaperCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("tile");
        QTest::addColumn<QString>("style");
        QTest::addColumn<WallpaperStyle>("shown");
        QTest::newRow("centred") << "mnuWallPaperCenter"
                                 << "0"
                                 << "0" << WallpaperStyle::Center;
        QTest::newRow("tiled") << "mnuWallPaperTile"
                               << "1"
                               << "0" << WallpaperStyle::Tile;
        QTest::newRow("stretched") << "mnuWallPaperStretch"
                                   << "0"
                                   << "2" << WallpaperStyle::Stretch;
    }
    void wallpaperCommands()
    {
        QFETCH(QString, command);
        QFETCH(QString, tile);
        QFETCH(QString, style);
        QFETCH(WallpaperStyle, shown);
        const QImage picture = showPicture(64, 48);
        trigger(command.toLatin1().constData());
        QCOMPARE(s.messages->count(), 0);
        // A copy goes to the wallpaper file; the document stays untitled and unsaved.
        QVERIFY(doc().filePath().isEmpty());
        QCOMPARE(w->windowTitle(), QString(texts::UntitledCaption));
        QVERIFY(doc().isDirty());
        QCOMPARE(desktopValue("TileWallpaper"), std::optional<QString>(tile));
        QCOMPARE(desktopValue("WallpaperStyle"), std::optional<QString>(style));
        QCOMPARE(wallpaper->calls.size(), 1);
        QCOMPARE(wallpaper->calls[0].pictureFile, wallpaperFile());
        QCOMPARE(wallpaper->calls[0].style, shown);
        QCOMPARE(wallpaper->calls[0].picture.convertToFormat(QImage::Format_RGB32), picture);

        trigger("mnuWallPaperRemove");
        QCOMPARE(wallpaper->calls.size(), 2);
        QVERIFY(wallpaper->calls[1].pictureFile.isEmpty());
        QCOMPARE(desktopValue("TileWallpaper"), std::optional<QString>("0"));
        QCOMPARE(desktopValue("WallpaperStyle"), std::optional<QString>("0"));
        QCOMPARE(w->windowTitle(), QString(texts::UntitledCaption));
    }

    void laterSaveWritesTheUsersFileNotTheCopies()
    {
        const QString mine = test::scratchFolder() + "/mine.bmp";
        showPicture(20, 20);
        QVERIFY(w->SaveImageFile(mine).ok);
        doc().setCanvas(test::patternImage(20, 20, 99));
        doc().setDirty(true);
        trigger("mnuWallPaperTile");
        mailer->composeAnswer = {Mailer::Compose::Opened, QString()};
        trigger("mnuSend");
        QCOMPARE(doc().filePath(), mine);
        QCOMPARE(w->windowTitle(), QString(texts::TitledCaptionPrefix) + mine);
        QVERIFY(doc().isDirty());
        const QByteArray wallpaperBytes = fileBytes(wallpaperFile());
        const QImage edited = test::patternImage(20, 20, 7);
        doc().setCanvas(edited);
        trigger("mnuSave");
        QVERIFY(s.dialogs->requests.isEmpty()); // no Save As dialog
        QCOMPARE(QImage(mine).convertToFormat(QImage::Format_RGB32), edited);
        QCOMPARE(fileBytes(wallpaperFile()), wallpaperBytes);
    }

    void setWallpaperKeepsStoredStyleForOtherTypes()
    {
        showPicture(8, 8);
        trigger("mnuWallPaperStretch");
        Result shown = w->output().SetWallpaper(wallpaperFile(), "fit");
        QVERIFY(shown.ok);
        QCOMPARE(wallpaper->calls.last().style, WallpaperStyle::Stretch);
        QCOMPARE(desktopValue("WallpaperStyle"), std::optional<QString>("2"));
        shown = w->output().SetWallpaper(wallpaperFile(), "TILE");
        QCOMPARE(wallpaper->calls.last().style, WallpaperStyle::Tile);
        QCOMPARE(desktopValue("TileWallpaper"), std::optional<QString>("1"));
    }

    void wallpaperRefusedByTheDesktopIsReported()
    {
        showPicture(8, 8);
        wallpaper->failure = "The wallpaper cannot be set: \"gsettings\" failed. No such schema";
        trigger("mnuWallPaperCenter");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().text, wallpaper->failure);
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(QFile::exists(wallpaperFile())); // the picture file was written all the same
        trigger("mnuWallPaperRemove");
        QCOMPARE(s.messages->count(), 2);
    }

    void wallpaperWithoutImageChangesNothing()
    {
        trigger("mnuWallPaperCenter");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(wallpaper->calls.isEmpty());
        QVERIFY(!desktopValue("TileWallpaper"));
        QVERIFY(!QFile::exists(wallpaperFile()));
    }

    void desktopWithoutWallpaperServiceSaysSo()
    {
        s.services.wallpaper.reset();
        showPicture(8, 8);
        trigger("mnuWallPaperTile");
        QCOMPARE(s.messages->last().text, QString(texts::WallpaperUnavailable));
        QCOMPARE(desktopValue("TileWallpaper"), std::optional<QString>("1"));
    }

    // ---- printing -----------------------------------------------------------

    void printPutsTheImageAtScreenScale()
    {
        const QImage picture = showPicture(100, 80);
        w->toolbox().OptTool_Click(toolPencil);
        trigger("mnuPrint");
        QCOMPARE(s.messages->count(), 0);
        QCOMPARE(w->toolbox().tool(), qint16(toolPointer));
        QCOMPARE(printer->jobs.size(), 1);
        QCOMPARE(printer->jobs[0].image, picture);
        const QScreen* screen = w->screen();
        const QRectF inches = printer->jobs[0].inches;
        // Device pixels per inch: one image pixel is one device pixel.
        const qreal dpiX = screen->physicalDotsPerInchX() * screen->devicePixelRatio();
        const qreal dpiY = screen->physicalDotsPerInchY() * screen->devicePixelRatio();
        QCOMPARE(inches.width() * dpiX, 100.0);
        QCOMPARE(inches.height() * dpiY, 80.0);
        QCOMPARE(inches.x() * dpiX, 21.0);
        QCOMPARE(inches.y() * dpiY, 14.0);
        QVERIFY(doc().isDirty()); // printing saves nothing
        QCOMPARE(w->windowTitle(), QString(texts::UntitledCaption));
    }

    void pageSetupPrintsOnlyWhenAccepted()
    {
        showPicture(10, 10);
        trigger("mnuPageSetup"); // the scripted dialog answers Cancel
        QCOMPARE(s.dialogs->requests.size(), 1);
        QCOMPARE(s.dialogs->requests[0].kind, QString("printer"));
        QVERIFY(printer->jobs.isEmpty());
        QCOMPARE(s.messages->count(), 0);
        s.dialogs->printerAnswers << true;
        trigger("mnuPageSetup");
        QCOMPARE(printer->jobs.size(), 1);
    }

    void printFailuresAreReported()
    {
        trigger("mnuPrint");
        QCOMPARE(s.messages->last().text, QString(texts::NothingToPrint));
        showPicture(10, 10);
        printer->failure = QString::fromUtf8(texts::NoPrinter);
        trigger("mnuPrint");
        QCOMPARE(s.messages->last().text, QString(texts::NoPrinter));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(printer->jobs.isEmpty());
    }

    void pdfPrinterPlacesThePictureOnThePage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("at screen scale") << QSize(100, 80);
        QTest::newRow("larger than the page: shrunk to fit") << QSize(1920, 1080);
    }
    void pdfPrinterPlacesThePictureOnThePage()
    {
        QFETCH(QSize, size);
        const QString pdf = test::scratchFolder() + "/print.pdf";
        QFile::remove(pdf);
        QtPrinter pdfPrinter(pdf);
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(qRgb(20, 90, 200));
        const PrintLayout layout = printLayout(picture.size(), QSizeF(96, 96));
        const Result printed = pdfPrinter.printImage(picture, layout.imageInches);
        QVERIFY2(printed.ok, qPrintable(printed.message));
        // Rendered at 288 dots per inch: 3 dots per screen pixel at 96 dpi.
        QProcess render;
        render.start("pdftoppm", {"-r", "288", "-png", "-singlefile", pdf, pdf});
        QVERIFY(render.waitForFinished(30000) && render.exitCode() == 0);
        const QImage page = QImage(pdf + ".png").convertToFormat(QImage::Format_RGB32);
        QRect ink;
        for (int y = 0; y < page.height(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(page.constScanLine(y));
            for (int x = 0; x < page.width(); ++x)
                if (qGray(line[x]) < 240)
                    ink |= QRect(x, y, 1, 1);
        }
        // The offset is kept either way.
        QVERIFY2(qAbs(ink.x() - 63) <= 1 && qAbs(ink.y() - 42) <= 1,
                 qPrintable(QString("%1,%2").arg(ink.x()).arg(ink.y())));
        const QString inkSize = QString("%1x%2").arg(ink.width()).arg(ink.height());
        if (size.width() * 3 < page.width()) {
            QVERIFY2(qAbs(ink.width() - 300) <= 1 && qAbs(ink.height() - 240) <= 1,
                     qPrintable(inkSize));
        } else {
            // Whole, in its proportions (not cut off at the page's edge), and
            // across nearly the page's width.
            QVERIFY2(ink.width() > page.width() * 8 / 10, qPrintable(inkSize));
            QVERIFY2(qAbs(ink.width() * 1080.0 / 1920 - ink.height()) <= 2, qPrintable(inkSize));
        }
    }

    // ---- e-mail -------------------------------------------------------------

    void sendHandsTheJpegToTheMailProgram()
    {
        const QImage picture = showPicture(50, 40);
        mailer->composeAnswer = {Mailer::Compose::Opened, QString()};
        ModalWatcher watcher;
        trigger("mnuSend");
        QCOMPARE(mailer->composed.size(), 1);
        QCOMPARE(mailer->composed[0].subject, web(texts::EmailComposeSubject));
        QCOMPARE(mailer->composed[0].attachmentFile, attachmentFile());
        QImage sent;
        QVERIFY(sent.loadFromData(mailer->composed[0].attachment, "JPEG"));
        QCOMPARE(sent.size(), picture.size());
        QVERIFY(doc().filePath().isEmpty());
        QVERIFY(doc().isDirty());
        QCOMPARE(s.messages->count(), 0);
        QCOMPARE(watcher.seen, 0);
        QVERIFY(mailer->sent.isEmpty());
    }

    void withoutMailProgramTheEmailWindowSends()
    {
        showPicture(30, 20);
        QString caption, subject, attachLabel;
        ModalWatcher watcher([&](QWidget* dialog) {
            caption = dialog->windowTitle();
            subject = dialog->findChild<QLineEdit*>("txtSubject")->text();
            attachLabel = dialog->findChild<QLabel*>("lblAttach")->text();
            dialog->findChild<QLineEdit*>("txtTo")->setText("ann@example.com");
            dialog->findChild<QPlainTextEdit*>("txtBody")->setPlainText("Look\nhere");
            QTest::mouseClick(dialog->findChild<QPushButton*>("cmdSend"), Qt::LeftButton);
        });
        trigger("mnuSend");
        QCOMPARE(watcher.seen, 1);
        QCOMPARE(caption, QString("Email - Snaplorn "));
        QCOMPARE(subject, web(texts::EmailDefaultSubject));
        QCOMPARE(attachLabel, QString("Screen.jpg"));
        QCOMPARE(mailer->sent.size(), 1);
        const MailMessage& message = mailer->sent[0].message;
        QCOMPARE(message.to, QString("ann@example.com"));
        QCOMPARE(message.subject, web(texts::EmailDefaultSubject));
        QCOMPARE(message.body, "Look\r\nhere\r\n\r\n" + web(texts::EmailTag));
        QCOMPARE(message.attachmentPath, attachmentFile());
        QCOMPARE(message.attachmentName, QString("screen.jpg"));
        QVERIFY(!mailer->sent[0].attachment.isEmpty());
        QCOMPARE(s.messages->count(), 0);
    }

    void mailWaitsWithoutHoldingTheWindow()
    {
        showPicture(30, 20);
        mailer->holdAnswers = true;
        trigger("mnuSend"); // returns while the mail program still runs
        QCOMPARE(mailer->composed.size(), 1);
        QVERIFY(!w->command("mnuSend")->isEnabled()); // one at a time
        bool subjectFromStart = false, busyWhileSending = false;
        ModalWatcher watcher([&](QWidget* dialog) {
            subjectFromStart = dialog->findChild<QLineEdit*>("txtSubject")->cursorPosition() == 0;
            dialog->findChild<QLineEdit*>("txtTo")->setText(" ann@example.com ");
            auto* send = dialog->findChild<QPushButton*>("cmdSend");
            QTest::mouseClick(send, Qt::LeftButton);
            busyWhileSending = dialog->isVisible() && !send->isEnabled();
            mailer->answerHeld(); // the transport is done
        });
        mailer->answerHeld(); // no mail program: the e-mail window
        QCOMPARE(watcher.seen, 1);
        QVERIFY(subjectFromStart);
        QVERIFY(busyWhileSending);
        QVERIFY(!watcher.visibleAfterDrive);
        QCOMPARE(mailer->sent.size(), 1);
        QCOMPARE(w->statusText(1), QString(texts::EmailSent).arg("ann@example.com"));
        QVERIFY(w->command("mnuSend")->isEnabled());
        QCOMPARE(s.messages->count(), 0);
    }

    void mailProgramFailureIsReportedWithoutWindow()
    {
        showPicture(10, 10);
        mailer->composeAnswer = {Mailer::Compose::Failed, "The mail program could not start."};
        ModalWatcher watcher;
        trigger("mnuSend");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().text,
                 QString("Error opening email.\r\nThe mail program could not start."));
        QCOMPARE(s.messages->last().icon, MsgIcon::None);
        QCOMPARE(s.messages->last().buttons, MsgButtons::Ok);
        QCOMPARE(watcher.seen, 0);
    }

    void sendWithoutImagePreparesNoMail()
    {
        trigger("mnuSend");
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(mailer->composed.isEmpty());
    }

    void emailWindowRefusesMissingOrBadAddresses()
    {
        frmEmail dialog(*mailer, *s.messages, attachmentFile());
        dialog.show();
        auto* to = dialog.findChild<QLineEdit*>("txtTo");
        auto* send = dialog.findChild<QPushButton*>("cmdSend");
        to->setText("   ");
        QTest::mouseClick(send, Qt::LeftButton);
        QCOMPARE(s.messages->last().text, QString("Please enter a valid email address."));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        to->setText("ann@example.com, not an address");
        QTest::mouseClick(send, Qt::LeftButton);
        QVERIFY(s.messages->last().text.startsWith("\"not an address\" is not a valid email"));
        QVERIFY(mailer->sent.isEmpty());
        QVERIFY(dialog.isVisible());
    }

    void emailWindowKeepsItsContentsWhenSendingFails()
    {
        mailer->sendFailure = QString::fromUtf8(texts::MailTransportMissing);
        frmEmail dialog(*mailer, *s.messages, attachmentFile());
        dialog.show();
        dialog.findChild<QLineEdit*>("txtTo")->setText("ann@example.com");
        dialog.findChild<QLineEdit*>("txtSubject")->setText("My subject");
        dialog.findChild<QPlainTextEdit*>("txtBody")->setPlainText("My text");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdSend"), Qt::LeftButton);
        QCOMPARE(s.messages->last().text, QString(texts::MailTransportMissing));
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.findChild<QLineEdit*>("txtTo")->text(), QString("ann@example.com"));
        QCOMPARE(dialog.findChild<QLineEdit*>("txtSubject")->text(), QString("My subject"));
        QCOMPARE(dialog.findChild<QPlainTextEdit*>("txtBody")->toPlainText(), QString("My text"));
        mailer->sendFailure.clear();
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdSend"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(mailer->sent.size(), 2);
    }

    void emailWindowCancelSendsNothing()
    {
        frmEmail dialog(*mailer, *s.messages, attachmentFile());
        dialog.show();
        dialog.findChild<QLineEdit*>("txtTo")->setText("ann@example.com");
        QTest::mouseClick(dialog.findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(mailer->sent.isEmpty());
    }
};

SNAPLORN_TEST_MAIN(TestOutput)
#include "tst_output.moc"
