// The suppressible message box: button sets, placement, plain text, long
// texts, the note on ticking, what is stored as "HideMsgID" and when, and
// which addresses Yes opens.
#include "TestSupport.h"

#include "settings/Registry.h"
#include "base/Texts.h"
#include "mainwindow/frmMsgBox.h"

#include <QCheckBox>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

using namespace snaplorn;

class TestMsgBox : public QObject
{
    Q_OBJECT

    test::StandIns s;
    std::unique_ptr<Registry> registry;
    QPointer<frmMsgBox> box;

    QString confPath() const { return test::scratchFolder() + "/msgbox.conf"; }
    std::optional<QString> hideMsgId() const
    {
        return registry->readString(QString::fromLatin1(SettingsKey), "HideMsgID");
    }
    QPushButton* button(const char* name) const { return box->findChild<QPushButton*>(name); }
    QCheckBox* chkBlock() const { return box->findChild<QCheckBox*>("chkBlock"); }

    void show(const QString& id, const QString& buttons, const QString& url = QString(),
              const QString& text = QStringLiteral("Hello"))
    {
        box = new frmMsgBox(*registry, *s.messages, *s.shell);
        box->ShowMsg(id, text, url, buttons, QStringLiteral("News "));
    }

private slots:
    void init()
    {
        s = test::makeStandIns();
        QFile::remove(confPath());
        registry = std::make_unique<Registry>(confPath());
    }
    void cleanup() { delete box; }

    void buttonSets_data()
    {
        QTest::addColumn<QString>("btn");
        QTest::addColumn<bool>("yesNo");
        QTest::newRow("YN") << "YN" << true;
        QTest::newRow("yn in lower case") << "yn" << true;
        QTest::newRow("mixed case") << "yN" << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("OK") << "OK" << false;
        QTest::newRow("YNC") << "YNC" << false;
    }
    void buttonSets()
    {
        QFETCH(QString, btn);
        QFETCH(bool, yesNo);
        show("1", btn);
        QCOMPARE(button("cmdYes")->isVisible(), yesNo);
        QCOMPARE(button("cmdNo")->isVisible(), yesNo);
        QCOMPARE(button("cmdClose")->isVisible(), !yesNo);
        QCOMPARE(button("cmdYes")->text(), QString("&Yes"));
        QCOMPARE(button("cmdNo")->text(), QString("&No"));
        QCOMPARE(button("cmdClose")->text(), QString("&OK"));
    }

    void shownModelessOnTopAtAThirdOfTheScreen()
    {
        show("1", "OK");
        QVERIFY(box->isVisible());
        QVERIFY(!box->isModal());
        QVERIFY(box->windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(box->windowTitle(), QString("News "));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(box->pos(), QPoint(screen.width() / 3, screen.height() / 3));
        QCOMPARE(box->findChild<QLabel*>("Label1")->text(),
                 QString("Don't show me this message again"));
    }

    void messageIsPlainText()
    {
        const QString markup = "<b>bold</b> <img src=\"file:///etc/passwd\"> <a href=x>link</a>";
        show("1", "OK", QString(), markup);
        auto* label = box->findChild<QLabel*>("lblMsg");
        QCOMPARE(label->textFormat(), Qt::PlainText);
        QCOMPARE(label->text(), markup);
        QCOMPARE(label->openExternalLinks(), false);
    }

    // The box grows with its text up to half the screen, then scrolls: the
    // last line can always be read, and the box stays on the screen.
    void longMessageGrowsThenScrolls_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("eight lines") << 8 << false;
        QTest::newRow("three hundred lines") << 300 << true;
    }
    void longMessageGrowsThenScrolls()
    {
        QFETCH(int, lines);
        QFETCH(bool, scrolls);
        QStringList text;
        for (int i = 1; i <= lines; ++i)
            text << QString("Line %1 of the news, long enough to need a fair part of the box.")
                        .arg(i);
        show("1", "OK", QString(), text.join('\n'));
        QVERIFY(QTest::qWaitForWindowExposed(box.data()));
        auto* label = box->findChild<QLabel*>("lblMsg");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.contains(box->geometry()));
        QVERIFY(label->height() >= label->heightForWidth(label->width())); // nothing cut off
        auto* area = box->findChild<QScrollArea*>();
        if (area)
            area->verticalScrollBar()->setValue(area->verticalScrollBar()->maximum());
        const QPoint lastLine(label->width() / 2, label->height() - 2);
        QVERIFY(label->visibleRegion().contains(lastLine));
        const QPoint firstLine(label->width() / 2, 2);
        QCOMPARE(label->visibleRegion().contains(firstLine), !scrolls);
    }

    void tickingShowsTheNoteOnce()
    {
        show("1", "OK");
        chkBlock()->click();
        QCOMPARE(s.messages->count(), 1);
        QCOMPARE(s.messages->last().icon, MsgIcon::Information);
        QCOMPARE(s.messages->last().text,
                 QString("You can turn this back on by going to 'Tools-->Options' menu\r\n and "
                         "checking 'Show me important messages'."));
        chkBlock()->click(); // unticking says nothing
        QCOMPARE(s.messages->count(), 1);
        QTest::mouseClick(box->findChild<QLabel*>("Label1"), Qt::LeftButton);
        QVERIFY(chkBlock()->isChecked());
        QCOMPARE(s.messages->count(), 2);
    }

    void buttonsStoreTheIdWhenTicked_data()
    {
        QTest::addColumn<QString>("btn");
        QTest::addColumn<QString>("press");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<bool>("stored");
        QTest::newRow("No ticked") << "YN"
                                   << "cmdNo" << true << true;
        QTest::newRow("Yes ticked") << "YN"
                                    << "cmdYes" << true << true;
        QTest::newRow("OK ticked") << "OK"
                                   << "cmdClose" << true << true;
        QTest::newRow("OK unticked") << "OK"
                                     << "cmdClose" << false << false;
        QTest::newRow("No unticked") << "YN"
                                     << "cmdNo" << false << false;
        QTest::newRow("close box ticked") << "OK" << QString() << true << false;
    }
    void buttonsStoreTheIdWhenTicked()
    {
        QFETCH(QString, btn);
        QFETCH(QString, press);
        QFETCH(bool, ticked);
        QFETCH(bool, stored);
        show("42", btn, "https://www.quorvex.example/news");
        chkBlock()->setChecked(ticked);
        if (press.isEmpty())
            box->close();
        else
            button(qPrintable(press))->click();
        QTRY_VERIFY(!box); // gone once closed
        if (stored)
            QCOMPARE(hideMsgId(), QString("42")); // the key is created when missing
        else
            QVERIFY(!hideMsgId());
    }

    void escapeStoresNothing()
    {
        show("42", "OK");
        chkBlock()->setChecked(true);
        QTest::keyClick(box, Qt::Key_Escape);
        QTRY_VERIFY(!box);
        QVERIFY(!hideMsgId());
    }

    void onlyTheLastBlockedIdStays()
    {
        show("42", "OK");
        chkBlock()->setChecked(true);
        button("cmdClose")->click();
        show("43", "YN");
        chkBlock()->setChecked(true);
        button("cmdNo")->click();
        QCOMPARE(hideMsgId(), QString("43"));
    }

    void yesOpensOnlyWebAddresses_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("opened");
        QTest::newRow("https") << "https://www.quorvex.example/new" << true;
        QTest::newRow("http") << " http://127.0.0.1:8000/x " << true;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("local path") << "/usr/bin/xterm" << false;
        QTest::newRow("mailto") << "mailto:a@b.example" << false;
        QTest::newRow("empty") << QString() << false;
    }
    void yesOpensOnlyWebAddresses()
    {
        QFETCH(QString, url);
        QFETCH(bool, opened);
        show("7", "YN", url);
        button("cmdYes")->click();
        QTRY_VERIFY(!box);
        QCOMPARE(s.shell->opened.size(), opened ? 1 : 0);
        if (opened) {
            QCOMPARE(s.shell->opened.first(), QUrl(url.trimmed()));
            QCOMPARE(s.messages->count(), 0);
        } else {
            QCOMPARE(s.messages->count(), 1);
            QCOMPARE(s.messages->last().text,
                     QString("The address \"%1\" is not a web page and was not opened.").arg(url));
        }
    }
};

SNAPLORN_TEST_MAIN(TestMsgBox)
#include "tst_msgbox.moc"
