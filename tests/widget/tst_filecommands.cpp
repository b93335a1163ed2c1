#include "TestSupport.h"
#include "WindowUnderTest.h"

#include "settings/Registry.h"
#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "mainwindow/frmViewImage.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMimeData>

using namespace snaplorn;

namespace {

QString scratch(const QString& name)
{
    return test::scratchFolder() + "/" + name;
}

QString writePicture(const QString& name, QSize size, quint32 seed = 3)
{
    const QString path = scratch(name);
    QFile::remove(path);
    test::patternImage(size.width(), size.height(), seed).save(path);
    return path;
}

} // namespace

class TestFileCommands : public QObject, test::WindowUnderTest
{
    Q_OBJECT


    QString title() const { return w->windowTitle(); }

    bool drop(const QString& file)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(file)});
        QWidget* canvas = w->findChild<QWidget*>("picSelImageFrame");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas, &dropEvent);
        return true;
    }

private slots:
    void init()
    {
        s = test::makeStandIns();
        open(scratch("files.conf"));
    }
    void cleanup() { w.reset(); }

    void titleFollowsTheDocumentState()
    {
        QCOMPARE(title(), QString(texts::DesignCaption));
        trigger("mnuNew");
        QCOMPARE(title(), QString(texts::UntitledCaption));
        QCOMPARE(doc().canvas().size(), QSize(300, 300));
        QCOMPARE(doc().canvas().pixel(150, 150), qRgb(255, 255, 255));
        const QString bmp = scratch("title.bmp");
        s.dialogs->saveAnswers << bmp;
        trigger("mnuSaveAs");
        QCOMPARE(title(), QString(texts::TitledCaptionPrefix) + bmp);
        QVERIFY(!doc().isDirty());
        doc().setDirty(true);
        QCOMPARE(title(), QString(texts::TitledCaptionPrefix) + bmp); // titled-dirty
        s.messages->queueAnswer(MsgAnswer::No);
        trigger("mnuNew");
        QCOMPARE(title(), QString(texts::UntitledCaption));
    }

    void attributesReportSizeOrNoImage()
    {
        trigger("mnuAttribute");
        QCOMPARE(s.messages->last().text, QString(texts::NoImagePresent));
        QCOMPARE(s.messages->last().icon, MsgIcon::Information);
        w->LoadImageFile(writePicture("attr.png", {300, 200}));
        w->command("mnuPopAttrib")->trigger();
        QCOMPARE(s.messages->last().text,
                 QString("Image Width: 300 Pixels\r\nImage Height: 200 Pixels"));
        QCOMPARE(s.messages->last().icon, MsgIcon::Information);
    }

    void openAsksTheDialogAndLoads()
    {
        const QString picture = writePicture("open.png", {64, 48});
        s.dialogs->openAnswers << picture;
        trigger("mnuOpen");
        const auto& request = s.dialogs->requests.last();
        QCOMPARE(request.kind, QString("open"));
        QCOMPARE(request.title, QString(texts::DesignCaption));
        QCOMPARE(request.filter, QString(texts::OpenFilter));
        QCOMPARE(doc().canvas(), test::patternImage(64, 48, 3));
        QCOMPARE(title(), QString(texts::TitledCaptionPrefix) + picture);
        // Cancelling the dialog changes nothing.
        trigger("mnuOpen");
        QCOMPARE(doc().filePath(), picture);
    }

    void openOfABadFileKeepsTheDocument_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("notAnImage");
        QTest::newRow("text named .jpg") << QByteArray("just text") << "bad.jpg" << true;
        QTest::newRow("zero bytes") << QByteArray() << "empty.bmp" << true;
        QTest::newRow("truncated PNG")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << "cut.png" << true;
        QTest::newRow("missing file") << QByteArray() << "" << false;
    }
    void openOfABadFileKeepsTheDocument()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, name);
        QFETCH(bool, notAnImage);
        const QString good = writePicture("good.png", {20, 10});
        QVERIFY(w->LoadImageFile(good));
        QString bad = scratch(name.isEmpty() ? "does-not-exist.png" : name);
        if (!name.isEmpty()) {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        s.dialogs->openAnswers << bad;
        trigger("mnuOpen");
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        if (notAnImage)
            QCOMPARE(s.messages->last().text, QString(texts::NotProperImage));
        else
            QVERIFY(s.messages->last().text.contains(bad));
        QCOMPARE(doc().filePath(), good);
        QCOMPARE(doc().canvas().size(), QSize(20, 10));
        QCOMPARE(doc().committed().size(), QSize(20, 10));
    }

    void unsavedQuestionGuardsNewOpenAndDrop_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("replaced");
        for (const char* c : {"mnuNew", "mnuOpen", "drop"}) {
            QTest::addRow("%s: Cancel keeps the image", c) << c << int(MsgAnswer::Cancel) << false;
            QTest::addRow("%s: No discards it", c) << c << int(MsgAnswer::No) << true;
            QTest::addRow("%s: Yes then cancelled Save As stops", c)
                << c << int(MsgAnswer::Yes) << false;
        }
    }
    void unsavedQuestionGuardsNewOpenAndDrop()
    {
        QFETCH(QString, command);
        QFETCH(int, answer);
        QFETCH(bool, replaced);
        const QString other = writePicture("other.bmp", {30, 30}, 9);
        QVERIFY(w->LoadImageFile(writePicture("edited.png", {50, 40})));
        doc().setDirty(true);
        s.messages->queueAnswer(MsgAnswer(answer));
        s.dialogs->openAnswers << other;
        if (command == "drop")
            QVERIFY(drop(other));
        else
            trigger(qPrintable(command));
        QCOMPARE(s.messages->shown().first().text, QString(texts::AskSave));
        QCOMPARE(s.messages->shown().first().icon, MsgIcon::Exclamation);
        QCOMPARE(doc().canvas().size() == QSize(50, 40), !replaced);
        QCOMPARE(doc().isDirty(), !replaced);
    }

    void dropAcceptsOnlyPictureNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("upper-case GIF") << "shot.GIF" << true;
        QTest::newRow("jpeg") << "shot.jpeg" << true;
        QTest::newRow("name without a dot that is an extension") << "bmp" << true;
        QTest::newRow("png is not offered") << "shot.png" << false;
        QTest::newRow("text file") << "notes.txt" << false;
    }
    void dropAcceptsOnlyPictureNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, accepted);
        const QString file = scratch(name);
        QImage picture = test::patternImage(12, 8, 4);
        QVERIFY(picture.save(file, name.endsWith("txt") ? "PNG" : "BMP"));
        QCOMPARE(drop(file), accepted);
        QCOMPARE(doc().filePath() == file, accepted);
    }

    void saveWritesTheKindByTheLastThreeCharacters_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("written");
        QTest::newRow("bmp") << "a.bmp" << true;
        QTest::newRow("jpg") << "a.jpg" << true;
        QTest::newRow("upper-case JPG is refused") << "a.JPG" << false;
        QTest::newRow("mixed-case Jpg is refused") << "a.Jpg" << false;
        QTest::newRow("jpeg is refused") << "a.jpeg" << false;
        QTest::newRow("no extension is refused, none added") << "noext" << false;
    }
    void saveWritesTheKindByTheLastThreeCharacters()
    {
        QFETCH(QString, name);
        QFETCH(bool, written);
        const QString path = scratch("save-" + name);
        QFile::remove(path);
        trigger("mnuNew");
        doc().setDirty(true);
        s.dialogs->saveAnswers << path;
        trigger("mnuSave"); // untitled: Save runs Save As
        QCOMPARE(QFile::exists(path), written);
        if (written) {
            QCOMPARE(doc().filePath(), path);
            QVERIFY(!doc().isDirty());
            QCOMPARE(doc().lastDialogFolder(), QFileInfo(path).absolutePath());
        } else {
            QCOMPARE(s.messages->last().text, QString(texts::OnlyBmpOrJpg));
            QCOMPARE(s.messages->last().caption, QString("Error"));
            QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
            QVERIFY(doc().filePath().isEmpty());
            QVERIFY(doc().isDirty());
        }
    }

    void jpegSaveGoesThroughTheTemporaryBitmap()
    {
        trigger("mnuNew");
        const QString jpg = scratch("through.jpg");
        QVERIFY(w->SaveImageFile(jpg));
        QVERIFY(QFile::exists(ImageDocument::temporaryBitmapPath()));
        QVERIFY(QFile::exists(jpg));
        QCOMPARE(QImage(jpg).size(), QSize(300, 300));
    }

    void saveAsAsksBeforeOverwriting()
    {
        trigger("mnuNew");
        const QString path = scratch("exists.bmp");
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("old content");
        f.close();
        s.dialogs->saveAnswers << path << path;
        s.messages->queueAnswer(MsgAnswer::No);
        trigger("mnuSaveAs");
        QCOMPARE(s.messages->last().text, QString(texts::OverwriteQuestion));
        QCOMPARE(s.messages->last().buttons, MsgButtons::YesNo);
        QVERIFY(doc().filePath().isEmpty());
        s.messages->queueAnswer(MsgAnswer::Yes);
        trigger("mnuSaveAs");
        QCOMPARE(doc().filePath(), path);
        QCOMPARE(QImage(path).size(), QSize(300, 300));
        // A titled document saves without asking.
        const int asked = s.messages->count();
        doc().setDirty(true);
        trigger("mnuSave");
        QCOMPARE(s.messages->count(), asked);
        QVERIFY(!doc().isDirty());
    }

    void fileDialogFiltersShowTheirPatternsOnce()
    {
        QFileDialog dialog(nullptr, QString(), QString(),
                           toQtFilter(QString::fromLatin1(texts::OpenFilter)));
        QCOMPARE(dialog.nameFilters(), QStringList({"JPG Files(*.jpg)", "Bitmap Files (*.bmp)"}));
        QCOMPARE(toQtFilter("Pictures|*.png;*.gif|Old (1998)|*.pcx"),
                 QString("Pictures (*.png *.gif);;Old (1998) (*.pcx)"));
    }

    void failedSaveShowsTheErrorAndKeepsTheOldFile()
    {
        QVERIFY(w->LoadImageFile(writePicture("keep.png", {10, 10})));
        const QString folder = scratch("a-folder.bmp");
        QDir().mkpath(folder);
        s.dialogs->saveAnswers << folder;
        s.messages->queueAnswer(MsgAnswer::Yes); // it exists: overwrite?
        trigger("mnuSaveAs");
        QCOMPARE(s.messages->last().icon, MsgIcon::Exclamation);
        QVERIFY(!s.messages->last().text.isEmpty());
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(doc().filePath().endsWith("keep.png"));
    }
};

SNAPLORN_TEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
