// The font names and preview sizes the subtitle window offers, and the
// numbers its plain boxes take, checked against the real engine.
#include "adjust/subtitlesettings.h"

#include <QProcess>
#include <QTest>

namespace {
// Whether the real engine reads the value of its option: it parses its
// options before it looks for the file, which need not exist.
bool engineTakes(const QString &option, const QString &value)
{
    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    engine.start(QStringLiteral("mplayer"),
                 {QStringLiteral("-vo"), QStringLiteral("null"), QStringLiteral("-ao"),
                  QStringLiteral("null"), option, value, QStringLiteral("/nonexistent/file.mkv")});
    engine.closeWriteChannel();
    if (!engine.waitForFinished(10000))
        qFatal("the engine did not end");
    return !engine.readAll().contains("Error parsing option on the command line");
}
} // namespace

class SubtitleSettingsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void familiesAsTheEngineFindsThem_data();
    void familiesAsTheEngineFindsThem();
    void previewSizes_data();
    void previewSizes();
    void plainNumbersAsTheEngineTakesThem_data();
    void plainNumbersAsTheEngineTakesThem();
};

void SubtitleSettingsTest::familiesAsTheEngineFindsThem_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("foundries cut, each name once")
        << QStringList{"Nimbus Sans [urw]", "Nimbus Sans [UKWN]", "DejaVu Sans", "Nimbus Sans"}
        << QStringList{"Nimbus Sans", "DejaVu Sans"};
    QTest::newRow("Korean names kept") << QStringList{"나눔고딕", "NanumGothic", "나눔고딕 [NHN]"}
                                       << QStringList{"나눔고딕", "NanumGothic"};
    QTest::newRow("brackets inside a name are the name's")
        << QStringList{"Font [x] Sans", "Font [x] Sans [foundry]"} << QStringList{"Font [x] Sans"};
    QTest::newRow("nothing left of a name")
        << QStringList{"[urw]", "", "Sans"} << QStringList{"Sans"};
}

void SubtitleSettingsTest::familiesAsTheEngineFindsThem()
{
    QFETCH(QStringList, families);
    QFETCH(QStringList, expected);
    QCOMPARE(SubtitleFonts::engineFamilies(families), expected);
}

void SubtitleSettingsTest::previewSizes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("size"); // -1: none, the preview keeps its size
    QTest::newRow("listed") << "18" << 18.0;
    QTest::newRow("fraction") << "10.5" << 10.5;
    QTest::newRow("blanks around") << " 26 " << 26.0;
    QTest::newRow("largest") << "1638" << 1638.0;
    QTest::newRow("beyond the largest") << "1639" << -1.0;
    QTest::newRow("zero") << "0" << -1.0;
    QTest::newRow("negative") << "-12" << -1.0;
    QTest::newRow("not a number") << "big" << -1.0;
    QTest::newRow("number and text") << "12pt" << -1.0;
    QTest::newRow("empty") << "" << -1.0;
    QTest::newRow("infinite") << "1e999" << -1.0;
}

void SubtitleSettingsTest::previewSizes()
{
    QFETCH(QString, text);
    QFETCH(double, size);
    const std::optional<double> got = SubtitleFonts::previewPointSize(text);
    QCOMPARE(got.value_or(-1.0), size);
}

void SubtitleSettingsTest::plainNumbersAsTheEngineTakesThem_data()
{
    using SubtitleNumbers::Verdict;
    QTest::addColumn<QString>("option");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("verdict");
    const auto rows = [](const char *option,
                         std::initializer_list<std::pair<const char *, Verdict>> texts) {
        for (const auto &[text, verdict] : texts)
            QTest::addRow("%s %s", option, text)
                << QString::fromLatin1(option) << QString::fromLatin1(text) << int(verdict);
    };
    rows("-subfont-text-scale", {{"3", Verdict::acceptable},
                                 {"3a", Verdict::refused},
                                 {"2.5", Verdict::acceptable},
                                 {".5", Verdict::acceptable},
                                 {"100", Verdict::acceptable},
                                 {"100.5", Verdict::refused},
                                 {"-1", Verdict::refused},
                                 {"0", Verdict::acceptable},
                                 {"1e1", Verdict::refused},
                                 {"", Verdict::unfinished},
                                 {".", Verdict::unfinished}});
    rows("-subpos", {{"97", Verdict::acceptable},
                     {"97.5", Verdict::refused},
                     {"150", Verdict::acceptable},
                     {"151", Verdict::refused},
                     {"9x", Verdict::refused}});
    rows("-subfont-outline",
         {{"8", Verdict::acceptable}, {"8.1", Verdict::refused}, {"2 ", Verdict::refused}});
    rows("-subfont-blur",
         {{"1.5", Verdict::acceptable}, {"1.5x", Verdict::refused}, {"9", Verdict::refused}});
}

void SubtitleSettingsTest::plainNumbersAsTheEngineTakesThem()
{
    QFETCH(QString, option);
    QFETCH(QString, text);
    QFETCH(int, verdict);
    const QHash<QString, SubtitleNumbers::Rule> rules = {
        {QStringLiteral("-subfont-text-scale"), SubtitleNumbers::textScale},
        {QStringLiteral("-subpos"), SubtitleNumbers::position},
        {QStringLiteral("-subfont-outline"), SubtitleNumbers::outline},
        {QStringLiteral("-subfont-blur"), SubtitleNumbers::blur}};
    QCOMPARE(int(SubtitleNumbers::judge(text, rules.value(option))), verdict);
    // Whatever a box accepts, the engine takes; what the box refuses and
    // the engine would take too is only a form the box keeps simple.
    if (verdict == int(SubtitleNumbers::Verdict::acceptable))
        QVERIFY(engineTakes(option, text));
}

QTEST_GUILESS_MAIN(SubtitleSettingsTest)
#include "tst_subtitlesettings.moc"
