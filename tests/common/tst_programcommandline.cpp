// The command line the three programs read: the text kept as the program's
// parameter information and the medium "/open" names, from the arguments a
// shell, a desktop entry or a launcher that hands over one text gives.
#include "common/commandlinetext.h"

#include <QTest>

class CommandLineTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readsTheArguments_data();
    void readsTheArguments();
};

void CommandLineTest::readsTheArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path");

    QTest::newRow("shell, path with blanks")
        << QStringList{"/open", "/a b/c d.mkv"} << R"(/open "/a b/c d.mkv")"
        << "/a b/c d.mkv";
    QTest::newRow("one argument already quoted")
        << QStringList{R"(/open "/a b/c.mkv")"} << R"(/open "/a b/c.mkv")"
        << "/a b/c.mkv";
    QTest::newRow("desktop entry %f with Hangul")
        << QStringList{"/open", "/home/사용자/영상 1.mp4"} << R"(/open "/home/사용자/영상 1.mp4")"
        << "/home/사용자/영상 1.mp4";
    QTest::newRow("argument after /open already quoted")
        << QStringList{"/open", "\"/x.mkv\""} << R"(/open "/x.mkv")"
        << "/x.mkv";
    QTest::newRow("no marker") << QStringList{"/x y.mkv"} << "/x y.mkv"
                               << "";
    QTest::newRow("no arguments") << QStringList{} << ""
                                  << "";
    QTest::newRow("marker is case-sensitive") << QStringList{"/OPEN", "/x.mkv"} << "/OPEN /x.mkv"
                                              << "";
    QTest::newRow("no closing quote") << QStringList{"/open \"/x.mkv"} << "/open \"/x.mkv"
                                      << "";
    QTest::newRow("empty quoted path") << QStringList{"/open \"\""} << "/open \"\""
                                       << "";
    QTest::newRow("marker without a path") << QStringList{"/open"} << "/open"
                                           << "";
    QTest::newRow("only the path after the marker counts")
        << QStringList{"-v", "/open", "/x.mkv", "extra"} << R"(-v /open "/x.mkv" extra)"
        << "/x.mkv";
    QTest::newRow("the first marker decides")
        << QStringList{"/open", "/m/a.mp4", "/open", "/m/b.mp4"}
        << R"(/open "/m/a.mp4" /open "/m/b.mp4")"
        << "/m/a.mp4";
    QTest::newRow("one text after other arguments")
        << QStringList{"-v", R"(/open "/a b.mkv")", "/open", "/c.mkv"}
        << R"(-v /open "/a b.mkv" /open "/c.mkv")"
        << "/a b.mkv";

    // A double quote is a legal character of a file name: as its own
    // argument the path is taken whole, never cut at the quote (which would
    // open a file named "/m/dq" if there is one).
    QTest::newRow("quote inside a separate path")
        << QStringList{"/open", R"(/m/dq"uote.mkv)"} << R"(/open "/m/dq"uote.mkv")"
        << R"(/m/dq"uote.mkv)";
    QTest::newRow("path ending in a quote")
        << QStringList{"/open", R"(/m/a b".mkv")"} << R"(/open "/m/a b".mkv"")"
        << R"(/m/a b".mkv")";
    QTest::newRow("path that starts with a quote")
        << QStringList{"/open", R"("x/y.mkv)"} << R"(/open "x/y.mkv)"
        << R"("x/y.mkv)";
    // One text keeps the text rule: the path ends at the next quote.
    QTest::newRow("quote inside one text")
        << QStringList{R"(/open "/m/dq"uote.mkv")"} << R"(/open "/m/dq"uote.mkv")"
        << "/m/dq";
}

void CommandLineTest::readsTheArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, text);
    QFETCH(QString, path);
    const ProgramCommandLine line = readCommandLine(arguments);
    QCOMPARE(line.text, text);
    QCOMPARE(commandLineText(arguments), text);
    QCOMPARE(line.openPath, path);
    // Handed over as one text, the same command line reads by the text rule.
    QCOMPARE(ProgramCommandLine(text).openPath, openPathFromCommandLine(text));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_programcommandline.moc"
