// The font names and preview sizes the subtitle window offers.
#include "adjust/subtitlesettings.h"

#include <QTest>

class SubtitleSettingsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void familiesAsTheEngineFindsThem_data();
    void familiesAsTheEngineFindsThem();
    void previewSizes_data();
    void previewSizes();
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

QTEST_GUILESS_MAIN(SubtitleSettingsTest)
#include "tst_subtitlesettings.moc"
