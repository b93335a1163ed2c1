// The About box (texts, link colour, link click, closing, placement,
// modality) and the command icons of the toolbar.
#include "TestSupport.h"

#include "base/Texts.h"
#include "mainwindow/Icons.h"
#include "mainwindow/frmAbout.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QTimer>

using namespace snaplorn;

namespace
{

const QColor Blue(0, 0, 255);
const QColor Yellow(255, 255, 0);

const char* const CommandNames[] = {
    "mnuNew",         "mnuOpen",      "mnuSave",    "mnuPrint",    "mnuSend",
    "mnuDesktop",     "mnuRectangle", "mnuWindow",  "mnuUndo",     "mnuRedo",
    "mnuShowToolbox", "mnuCut",       "mnuCopy",    "mnuPaste",    "mnuZoomIn",
    "mnuZoomOut",     "mnuFitToWin",  "mnuFlipHor", "mnuFlipVert", "mnuInvertColor",
    "mnuHelpContents"};

// Number of pixels that are not fully transparent.
int paintedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qAlpha(image.pixel(x, y)) != 0 ? 1 : 0;
    return count;
}

QImage render(const QIcon& icon, int size)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Moves the mouse over a child of the box the way the window system does,
// so enter and leave events are generated as for a real pointer.
void moveOver(frmAbout& box, QWidget* child, QPoint inChild)
{
    QTest::mouseMove(box.windowHandle(), child->mapTo(&box, inChild));
    QCoreApplication::processEvents();
}

} // namespace

class TestAbout : public QObject
{
    Q_OBJECT

private:
    test::StandIns m_s = test::makeStandIns();
    QString m_emptyThemes;

    void useNoTheme()
    {
        QIcon::setThemeSearchPaths({m_emptyThemes});
        QIcon::setFallbackSearchPaths({});
        QIcon::setThemeName(QStringLiteral("snaplorn-no-theme"));
        QIcon::setFallbackThemeName(QStringLiteral("snaplorn-no-theme"));
    }

private slots:
    void initTestCase()
    {
        m_emptyThemes = test::scratchFolder() + QStringLiteral("/no-themes");
        QDir().mkpath(m_emptyThemes);
        useNoTheme();
    }

    void init()
    {
        m_s.messages->clear();
        m_s.shell->opened.clear();
        m_s.shell->failWith.clear();
    }

    void showsCaptionLabelsAndLogo()
    {
        frmAbout box(*m_s.shell, *m_s.messages);
        QCOMPARE(box.windowTitle(), QStringLiteral("About Snaplorn "));
        const QList<QPair<const char*, QString>> labels = {
            {"lblProduct", QStringLiteral("Snaplorn Screen Capture")},
            {"lblVersion", QStringLiteral("Version 3.0")},
            {"lblMaker", QStringLiteral("Quorvex")},
            {"lblLink", QString::fromUtf8(texts::WebAddress)},
            {"lblNotice", QString::fromUtf8(texts::AboutNotice)},
        };
        for (const auto& [name, text] : labels) {
            auto* label = box.findChild<QLabel*>(QLatin1String(name));
            QVERIFY2(label, name);
            QCOMPARE(label->text(), text);
        }
        QVERIFY(!box.findChild<QLabel*>(QStringLiteral("lblNotice"))->text().isEmpty());
        QVERIFY(box.findChild<QFrame*>(QStringLiteral("Frame1")));
        auto* close = box.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("&Close"));
        auto* logo = box.findChild<QLabel*>(QStringLiteral("picLogo"));
        QVERIFY(logo);
        QVERIFY(paintedPixels(logo->pixmap().toImage()) > 0);
    }

    void linkTurnsYellowUnderMouseAndBlueOnBoxOrFrame()
    {
        frmAbout box(*m_s.shell, *m_s.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        auto* link = box.findChild<QLabel*>(QStringLiteral("lblLink"));
        auto* frame = box.findChild<QFrame*>(QStringLiteral("Frame1"));
        auto* product = box.findChild<QLabel*>(QStringLiteral("lblProduct"));
        QCOMPARE(box.linkColor(), Blue);

        moveOver(box, link, link->rect().center());
        QCOMPARE(box.linkColor(), Yellow);
        moveOver(box, link, link->rect().center() + QPoint(1, 0));
        QCOMPARE(box.linkColor(), Yellow); // moving on the link keeps it yellow

        moveOver(box, frame, QPoint(2, 2)); // the frame's own edge
        QCOMPARE(box.linkColor(), Blue);

        moveOver(box, link, QPoint(1, 1));
        QCOMPARE(box.linkColor(), Yellow);
        moveOver(box, &box, QPoint(1, box.height() - 2)); // bare background
        QCOMPARE(box.linkColor(), Blue);

        moveOver(box, link, QPoint(1, 1));
        moveOver(box, product, product->rect().center()); // a label on the background
        QCOMPARE(box.linkColor(), Blue);
    }

    void clickOnLinkOpensWebAddress()
    {
        frmAbout box(*m_s.shell, *m_s.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.findChild<QLabel*>(QStringLiteral("lblLink")), Qt::LeftButton);
        QCOMPARE(m_s.shell->opened, QList<QUrl>{QUrl(QString::fromUtf8(texts::WebAddress))});
        QCOMPARE(m_s.messages->count(), 0);
        QVERIFY(box.isVisible());

        // A right click or a click on another label opens nothing.
        QTest::mouseClick(box.findChild<QLabel*>(QStringLiteral("lblLink")), Qt::RightButton);
        QTest::mouseClick(box.findChild<QLabel*>(QStringLiteral("lblVersion")), Qt::LeftButton);
        QCOMPARE(m_s.shell->opened.size(), 1);
    }

    void failedOpenShowsExclamationBox()
    {
        m_s.shell->failWith = QStringLiteral("No program is set up to open web pages.");
        frmAbout box(*m_s.shell, *m_s.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.findChild<QLabel*>(QStringLiteral("lblLink")), Qt::LeftButton);
        QCOMPARE(m_s.messages->count(), 1);
        const Message shown = m_s.messages->last();
        QCOMPARE(shown.text, m_s.shell->failWith);
        QCOMPARE(shown.icon, MsgIcon::Exclamation);
        QCOMPARE(shown.buttons, MsgButtons::Ok);
        QCOMPARE(shown.caption, QString::fromUtf8(texts::AppTitle));
        QVERIFY(box.isVisible()); // the box stays open after the message
    }

    void closeButtonClosesTheBox()
    {
        frmAbout box(*m_s.shell, *m_s.messages);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void boxIsCentredOnTheScreen()
    {
        frmAbout box(*m_s.shell, *m_s.messages);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        const QPoint expected(area.x() + (area.width() - box.width()) / 2,
                              area.y() + (area.height() - box.height()) / 2);
        QCOMPARE(box.pos(), expected);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.pos(), expected); // showing does not move it elsewhere
    }

    void helpMenuBoxBlocksTheMainWindow()
    {
        QWidget mainWindow;
        mainWindow.show();
        bool checked = false;
        QTimer::singleShot(0, this, [&] {
            auto* box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            QVERIFY(box);
            QCOMPARE(box->parentWidget(), &mainWindow);
            QVERIFY(box->isModal());
            QVERIFY(box->isVisible());
            checked = true;
            QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")),
                              Qt::LeftButton);
        });
        frmAbout::showModal(*m_s.shell, *m_s.messages, &mainWindow);
        QVERIFY(checked);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!mainWindow.findChild<frmAbout*>()); // gone once closed
    }

    void trayBoxStandsAloneAndDeletesItselfOnClose()
    {
        QPointer<frmAbout> box = frmAbout::showModeless(*m_s.shell, *m_s.messages);
        QVERIFY(box);
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QCOMPARE(box->windowModality(), Qt::NonModal);
        QVERIFY(!box->parentWidget());
        QVERIFY(!QApplication::activeModalWidget());
        QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
        QTRY_VERIFY(box.isNull());
    }

    void everyCommandIconRendersOurOwnPictureWithoutATheme()
    {
        useNoTheme();
        QSet<QByteArray> distinct;
        for (const char* name : CommandNames) {
            const QIcon icon = commandIcon(QLatin1String(name));
            QVERIFY2(!icon.isNull(), name);
            const QImage image = render(icon, 24);
            QVERIFY2(!image.isNull(), name);
            const int painted = paintedPixels(image);
            QVERIFY2(painted > 24 && painted < 24 * 24, name); // a shape, not a blank or a block
            distinct.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                       int(image.sizeInBytes())));
        }
        QCOMPARE(distinct.size(), int(std::size(CommandNames))); // no two commands look alike
    }

    void themeIconWinsWhereTheThemeHasOne()
    {
        const QString root = test::scratchFolder() + QStringLiteral("/themes");
        const QString dir = root + QStringLiteral("/SnaplornTest/24x24/actions");
        QVERIFY(QDir().mkpath(dir));
        QFile index(root + QStringLiteral("/SnaplornTest/index.theme"));
        QVERIFY(index.open(QIODevice::WriteOnly));
        index.write("[Icon Theme]\nName=SnaplornTest\nDirectories=24x24/actions\n\n"
                    "[24x24/actions]\nSize=24\nType=Fixed\nContext=Actions\n");
        index.close();
        QImage red(24, 24, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(dir + QStringLiteral("/document-new.png")));

        QIcon::setThemeSearchPaths({root});
        QIcon::setThemeName(QStringLiteral("SnaplornTest"));
        QCOMPARE(render(commandIcon(QStringLiteral("mnuNew")), 24).pixel(12, 12),
                 QColor(Qt::red).rgb());
        const QImage fallback = render(commandIcon(QStringLiteral("mnuOpen")), 24);
        QVERIFY(paintedPixels(fallback) > 24);
        QVERIFY(fallback.pixel(12, 12) != QColor(Qt::red).rgb());
        useNoTheme();
    }

    void unknownCommandHasNoIcon()
    {
        QVERIFY(commandIcon(QStringLiteral("mnuBogus")).isNull());
        QVERIFY(commandIcon(QString()).isNull());
        QVERIFY(commandIcon(QStringLiteral("mnunew")).isNull()); // names are exact
    }

    void applicationIconRenders()
    {
        const QIcon icon = applicationIcon();
        QVERIFY(!icon.isNull());
        QVERIFY(paintedPixels(render(icon, 64)) > 64 * 8);
    }
};

SNAPLORN_TEST_MAIN(TestAbout)
#include "tst_about.moc"
