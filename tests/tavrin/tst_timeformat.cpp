// The number and time texts the player shows and sends, and the picture size
// inside the video frame: tables of rows.
#include "state/aspect.h"
#include "state/timeformat.h"
#include "state/vbnumber.h"

#include <QTest>
#include <limits>

class TimeFormatTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void formatTimeRows_data();
    void formatTimeRows();
    void formatTimeOfEngineTenthsAsOfAnyNumber();
    void valReadsTheLeadingNumber_data();
    void valReadsTheLeadingNumber();
    void wholeNumbersThatDoNotFitFail_data();
    void wholeNumbersThatDoNotFitFail();
    void fixedFormats();
    void frameNumbers();
    void aspectRows_data();
    void aspectRows();
};

void TimeFormatTest::formatTimeRows_data()
{
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("expected");
    QTest::newRow("whole seconds") << "5"
                                   << "00:00:05.0";
    QTest::newRow("cut, not rounded, under a minute") << "45.25"
                                                      << "00:00:45.2";
    QTest::newRow("rounded from a minute on") << "75.26"
                                              << "00:01:15.3";
    QTest::newRow("hours") << "3725.5"
                           << "01:02:05.5";
    QTest::newRow("whole hour and minutes") << "3640"
                                            << "01:00:40.0";
    QTest::newRow("between 59 and 60") << "59.5"
                                       << "00:00:59.5";
    QTest::newRow("zero") << "0"
                          << "00:00:00.0";
    QTest::newRow("empty") << ""
                           << "00:00:00.0";
    QTest::newRow("engine length") << "10.02"
                                   << "00:00:10.0";
    QTest::newRow("exactly 59") << "59"
                                << "00:00:59.0";
    QTest::newRow("tenth rounds up to the next minute") << "119.97"
                                                        << "00:02:00.0";
    QTest::newRow("just under ten hours") << "35999.9"
                                          << "09:59:59.9";
    QTest::newRow("over 100 hours keeps the hours whole") << "362405.5"
                                                          << "100:40:05.5";
    QTest::newRow("past 32767 seconds") << "40000"
                                        << "11:06:40.0";
    QTest::newRow("negative start reads as the start") << "-0.1"
                                                       << "00:00:00.0";
    // The engine's numbers are input: what is no time keeps the last text.
    QTest::newRow("not a number") << "abc"
                                  << "<none>";
    QTest::newRow("minutes beyond any integer") << "1e96"
                                                << "<none>";
    QTest::newRow("length beyond any integer") << "1e300"
                                               << "<none>";
    QTest::newRow("far below the start reads as the start") << "-1e300"
                                                            << "00:00:00.0";
    QTest::newRow("infinite") << "inf"
                              << "<none>";
    QTest::newRow("not a number at all") << "nan"
                                         << "<none>";
    QTest::newRow("beyond double") << "1e400"
                                   << "<none>";
}

void TimeFormatTest::formatTimeRows()
{
    QFETCH(QString, seconds);
    QFETCH(QString, expected);
    QCOMPARE(formatTime(seconds).value_or(QStringLiteral("<none>")), expected);
}

void TimeFormatTest::formatTimeOfEngineTenthsAsOfAnyNumber()
{
    // The engine's one-decimal texts ("75.3") are formatted by a shorter way
    // than other numbers ("75.30"): the two must agree on every tenth, across
    // the minute, hour and ten-hour steps and up to 100 hours.
    const auto same = [](qint64 tenths) {
        const QString engine = QString::number(tenths / 10) + QLatin1Char('.') +
                               QString::number(tenths % 10);
        const std::optional<QString> text = formatTime(engine);
        const std::optional<QString> other = formatTime(engine + QLatin1Char('0'));
        if (text && other && *text == *other)
            return true;
        qWarning() << engine << text.value_or(QStringLiteral("<none>"))
                   << other.value_or(QStringLiteral("<none>"));
        return false;
    };
    for (qint64 tenths = 0; tenths < 40000; ++tenths)
        QVERIFY(same(tenths));
    for (qint64 tenths = 40000; tenths < 3600000 + 20000; tenths += 7)
        QVERIFY(same(tenths));
    QCOMPARE(formatTime(QStringLiteral("3725.5")), QStringLiteral("01:02:05.5"));
    QCOMPARE(formatTime(QStringLiteral("359999.9")), QStringLiteral("99:59:59.9"));
    QCOMPARE(formatTime(QStringLiteral("360000.0")), QStringLiteral("100:00:00.0"));
}

void TimeFormatTest::valReadsTheLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("word") << "abc" << 0.0;
    QTest::newRow("decimal") << "10.02" << 10.02;
    QTest::newRow("unit after") << "128kbps" << 128.0;
    QTest::newRow("negative") << "-0.1" << -0.1;
    QTest::newRow("blanks skipped") << " 1 2.5" << 12.5;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("exponent") << "2e3x" << 2000.0;
    QTest::newRow("lone exponent mark") << "7e" << 7.0;
}

void TimeFormatTest::valReadsTheLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(vbVal(text), expected);
}

void TimeFormatTest::wholeNumbersThatDoNotFitFail_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("asInt64");
    QTest::addColumn<QString>("asInt");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("fraction cut towards zero") << 2.9 << "2"
                                               << "2";
    QTest::newRow("negative fraction cut towards zero") << -2.9 << "-2"
                                                        << "-2";
    QTest::newRow("largest int") << 2147483647.9 << "2147483647"
                                 << "2147483647";
    QTest::newRow("one past the largest int") << 2147483648.0 << "2147483648"
                                              << "<none>";
    QTest::newRow("smallest int") << -2147483648.9 << "-2147483648"
                                  << "-2147483648";
    QTest::newRow("one below the smallest int") << -2147483649.0 << "-2147483649"
                                                << "<none>";
    // 2^63 - 1024 is the largest double below 2^63.
    QTest::newRow("largest int64 a double holds") << 9223372036854774784.0 << "9223372036854774784"
                                                  << "<none>";
    QTest::newRow("2^63") << 9223372036854775808.0 << "<none>"
                          << "<none>";
    QTest::newRow("-2^63") << -9223372036854775808.0 << "-9223372036854775808"
                           << "<none>";
    QTest::newRow("the engine's 9999999999999999999") << 9999999999999999999.0 << "<none>"
                                                      << "<none>";
    QTest::newRow("1e300") << 1e300 << "<none>"
                           << "<none>";
    QTest::newRow("-1e300") << -1e300 << "<none>"
                            << "<none>";
    QTest::newRow("infinite") << inf << "<none>"
                              << "<none>";
    QTest::newRow("minus infinite") << -inf << "<none>"
                                    << "<none>";
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << "<none>"
                         << "<none>";
}

void TimeFormatTest::wholeNumbersThatDoNotFitFail()
{
    QFETCH(double, value);
    QFETCH(QString, asInt64);
    QFETCH(QString, asInt);
    const auto text = [](const auto &whole) {
        return whole ? QString::number(*whole) : QStringLiteral("<none>");
    };
    QCOMPARE(text(wholeInt64(value)), asInt64);
    QCOMPARE(text(wholeInt(value)), asInt);
}

void TimeFormatTest::fixedFormats()
{
    // Speeds: one decimal, never locale dependent, never "-0.0".
    QCOMPARE(formatOneDecimal(1.0 - 0.1), QStringLiteral("0.9"));
    QCOMPARE(formatOneDecimal(99.9 + 0.1), QStringLiteral("100.0"));
    QCOMPARE(formatOneDecimal(0.1 - 0.1), QStringLiteral("0.0"));
    QCOMPARE(formatOneDecimal(-0.04), QStringLiteral("0.0"));
    QCOMPARE(formatOneDecimal(12.25), QStringLiteral("12.3"));
    // Delays: the shortest decimal, no binary tails, no exponent.
    QCOMPARE(shortestDecimal(0.1 + 0.1 + 0.1), QStringLiteral("0.3"));
    QCOMPARE(shortestDecimal(0.0 - 0.1), QStringLiteral("-0.1"));
    QCOMPARE(shortestDecimal(1.1 + 0.1), QStringLiteral("1.2"));
    QCOMPARE(shortestDecimal(-0.0), QStringLiteral("0"));
    QCOMPARE(shortestDecimal(0.00001), QStringLiteral("0.00001"));
    QCOMPARE(shortestDecimal(42), QStringLiteral("42"));
    // "#": whole numbers, nothing for zero.
    QCOMPARE(formatWholeOrEmpty(0.4), QString());
    QCOMPARE(formatWholeOrEmpty(250.5), QStringLiteral("251"));
    QCOMPARE(strictNumber(QStringLiteral("12abc")), std::nullopt);
    QCOMPARE(strictNumber(QStringLiteral(" 3.5 ")), std::optional<double>(3.5));
}

void TimeFormatTest::frameNumbers()
{
    QCOMPARE(frameNumberText(4.0, QStringLiteral("25.000")), QStringLiteral("100"));
    QCOMPARE(frameNumberText(0.0, QStringLiteral("25.000")), QString());
    QCOMPARE(frameNumberText(1.3, QStringLiteral("29.970")), QStringLiteral("39"));
    QCOMPARE(frameNumberText(4.0, QString()), QString());
}

void TimeFormatTest::aspectRows_data()
{
    QTest::addColumn<QString>("width");
    QTest::addColumn<QString>("height");
    QTest::addColumn<QString>("fullScreen");
    QTest::addColumn<QString>("fillFlag");
    QTest::addColumn<int>("item");
    QTest::addColumn<QSize>("frame");
    QTest::addColumn<QSize>("expected");
    QTest::addColumn<bool>("stretched");
    const QSize frame(524, 234);
    QTest::newRow("no source size fills the frame") << ""
                                                    << "360"
                                                    << ""
                                                    << "0" << 0 << frame << frame << false;
    QTest::newRow("wide frame: full height") << "640"
                                             << "360"
                                             << ""
                                             << "0" << 0 << frame << QSize(416, 234) << false;
    QTest::newRow("tall frame: full width")
        << "640"
        << "360"
        << ""
        << "0" << 0 << QSize(400, 400) << QSize(400, 224) << false;
    QTest::newRow("same ratio fills") << "640"
                                      << "360"
                                      << ""
                                      << "0" << 0 << QSize(640, 360) << QSize(640, 360) << false;
    QTest::newRow("4:3 chosen") << "640"
                                << "360"
                                << ""
                                << "0" << 1 << frame << QSize(312, 234) << false;
    QTest::newRow("16:9 chosen") << "640"
                                 << "480"
                                 << ""
                                 << "0" << 2 << frame << QSize(416, 234) << false;
    QTest::newRow("2.35:1 chosen") << "640"
                                   << "360"
                                   << ""
                                   << "0" << 4 << frame << QSize(524, 224) << false;
    QTest::newRow("1.85:1 chosen") << "640"
                                   << "360"
                                   << ""
                                   << "0" << 3 << frame << QSize(432, 234) << false;
    QTest::newRow("keep no ratio stretches") << "640"
                                             << "360"
                                             << ""
                                             << "0" << 5 << frame << frame << true;
    QTest::newRow("fill screen stretches") << "640"
                                           << "360"
                                           << "꽉찬 화면"
                                           << "0" << 0 << frame << frame << true;
    QTest::newRow("fill request stretches") << "640"
                                            << "360"
                                            << ""
                                            << "1" << 0 << frame << frame << true;
    QTest::newRow("full screen keeps the ratio")
        << "640"
        << "360"
        << "전체 화면"
        << "0" << 0 << QSize(1280, 800) << QSize(1280, 720) << false;
    QTest::newRow("zero source size fills") << "0"
                                            << "0"
                                            << ""
                                            << "0" << 0 << frame << frame << false;
    // Source sizes the engine printed absurdly: the picture still gets a
    // size, or the frame stays as it is.
    QTest::newRow("absurdly wide source") << "1e300"
                                          << "360"
                                          << ""
                                          << "0" << 0 << frame << QSize(524, 0) << false;
    QTest::newRow("absurdly tall source") << "640"
                                          << "1e300"
                                          << ""
                                          << "0" << 0 << frame << QSize(0, 234) << false;
    QTest::newRow("absurd ratio both ways") << "1e300"
                                            << "1e-300"
                                            << ""
                                            << "0" << 0 << frame << QSize(524, 0) << false;
    QTest::newRow("width past any integer") << "9999999999999999999"
                                            << "1"
                                            << ""
                                            << "0" << 0 << frame << QSize(524, 0) << false;
    QTest::newRow("collapsed frame") << "640"
                                     << "360"
                                     << ""
                                     << "0" << 0 << QSize(300, 0) << QSize(300, 0) << false;
}

void TimeFormatTest::aspectRows()
{
    QFETCH(QString, width);
    QFETCH(QString, height);
    QFETCH(QString, fullScreen);
    QFETCH(QString, fillFlag);
    QFETCH(int, item);
    QFETCH(QSize, frame);
    QFETCH(QSize, expected);
    QFETCH(bool, stretched);
    const AspectResult result = applyAspect({width, height, fullScreen, fillFlag, item, frame});
    QCOMPARE(result.size, expected);
    QCOMPARE(result.stretched, stretched);
}

QTEST_GUILESS_MAIN(TimeFormatTest)
#include "tst_timeformat.moc"
