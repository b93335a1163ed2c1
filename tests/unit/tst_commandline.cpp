#include "TestSupport.h"

#include "base/CommandLine.h"

using namespace snaplorn;

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void argumentsJoinWithSingleSpaces()
    {
        QCOMPARE(commandLineFromArguments({}), QString());
        QCOMPARE(commandLineFromArguments({"/tmp/a b.png"}), QString("/tmp/a b.png"));
        QCOMPARE(commandLineFromArguments({"\"/tmp/a", "b.png\""}), QString("\"/tmp/a b.png\""));
    }

    void unquoting_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty stays empty") << "" << "";
        QTest::newRow("only spaces count as empty") << "    " << "";
        QTest::newRow("plain path is trimmed") << "  /tmp/x.bmp  " << "/tmp/x.bmp";
        QTest::newRow("quoted path with spaces loses its quotes")
            << "\"/tmp/my shots/a.png\"" << "/tmp/my shots/a.png";
        QTest::newRow("quotes inside spaces are removed after trimming")
            << "  \"/tmp/a.png\"  " << "/tmp/a.png";
        QTest::newRow("leading quote without closing one is removed alone, last char kept")
            << "\"/tmp/a.png" << "/tmp/a.png";
        QTest::newRow("a lone quote leaves nothing") << "\"" << "";
        QTest::newRow("two quotes leave nothing") << "\"\"" << "";
        QTest::newRow("a closing quote alone is kept") << "/tmp/a.png\"" << "/tmp/a.png\"";
    }
    void unquoting()
    {
        QFETCH(QString, raw);
        QFETCH(QString, expected);
        QCOMPARE(unquotedCommandLine(raw), expected);
    }
};

SNAPLORN_TEST_MAIN_CORE(TestCommandLine)
#include "tst_commandline.moc"
