// The subtitle window's values without the window: how the record's texts
// become marks and colours, and the font names and preview sizes it offers.
#include "adjust/subtitlesettings.h"
#include "state/playerstate.h"

#include <QTest>

class SubtitleSettingsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordTextsAsMarksAndColours_data();
    void recordTextsAsMarksAndColours();
    void familiesAsTheEngineFindsThem_data();
    void familiesAsTheEngineFindsThem();
    void previewSizes_data();
    void previewSizes();
};

void SubtitleSettingsTest::recordTextsAsMarksAndColours_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    // What the window held before: every mark ticked, every colour 0x123456.
    QTest::addColumn<bool>("fromTicked");
    QTest::addColumn<QVariant>("expected");
    const auto row = [](const char *name, Field f, const char *text, bool fromTicked,
                        const QVariant &expected) {
        QTest::newRow(name) << int(f) << QString::fromUtf8(text) << fromTicked << expected;
    };
    row("bold -1 ticks", Field::subBoldField, "-1", false, true);
    row("bold 0 clears", Field::subBoldField, "0", true, false);
    row("bold 1 keeps ticked", Field::subBoldField, "1", true, true);
    row("bold 1 keeps cleared", Field::subBoldField, "1", false, false);
    row("bold text reads 0", Field::subBoldField, "yes", true, false);
    row("bold -1 with text", Field::subBoldField, "-1 ", false, true);
    row("italic -1 ticks", Field::subItalicField, "-1", false, true);
    row("italic 2 keeps", Field::subItalicField, "2", true, true);
    row("plain 1", Field::useDefaultSubtitleSettingsField, "1", false, true);
    row("plain 1.0", Field::useDefaultSubtitleSettingsField, "1.0", false, true);
    row("plain 0", Field::useDefaultSubtitleSettingsField, "0", true, false);
    row("plain -1", Field::useDefaultSubtitleSettingsField, "-1", true, false);
    row("plain empty", Field::useDefaultSubtitleSettingsField, "", true, false);
    row("yellow", Field::subTextColourField, "65535", false, 0x00ffffu);
    row("white", Field::subOutlineColourField, "16777215", false, 0xffffffu);
    row("not a number reads 0", Field::subShadowColourField, "red", false, 0u);
    row("negative keeps", Field::subTextColourField, "-5", false, 0x123456u);
    row("beyond a colour keeps", Field::subTextColourField, "99999999999", false, 0x123456u);
    row("fraction keeps", Field::subTextColourField, "255.5", false, 0x123456u);
}

void SubtitleSettingsTest::recordTextsAsMarksAndColours()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(bool, fromTicked);
    QFETCH(QVariant, expected);
    SubtitleSettings start;
    start.bold = start.italic = start.useDefault = fromTicked;
    start.textColour = start.outlineColour = start.shadowColour = 0x123456;
    PlayerState state;
    state.setValue(Field(field), text);
    const SubtitleSettings s = SubtitleSettings::fromState(state, start);

    QVariant got;
    switch (Field(field)) {
    case Field::subBoldField: got = s.bold; break;
    case Field::subItalicField: got = s.italic; break;
    case Field::useDefaultSubtitleSettingsField: got = s.useDefault; break;
    case Field::subTextColourField: got = s.textColour; break;
    case Field::subOutlineColourField: got = s.outlineColour; break;
    case Field::subShadowColourField: got = s.shadowColour; break;
    default: QFAIL("no such row");
    }
    QCOMPARE(got.toString(), expected.toString());

    // Written back, a mark is "-1"/"0" or "1"/"0" and a colour its decimal value.
    s.writeTo(state);
    const QString back = state.value(Field(field));
    if (Field(field) == Field::useDefaultSubtitleSettingsField)
        QCOMPARE(back, got.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    else if (got.typeId() == QMetaType::Bool)
        QCOMPARE(back, got.toBool() ? QStringLiteral("-1") : QStringLiteral("0"));
    else
        QCOMPARE(back, QString::number(got.toUInt()));
}

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
        << QStringList{"Font [x] Sans", "Font [x] Sans [foundry]"}
        << QStringList{"Font [x] Sans"};
    QTest::newRow("nothing left of a name") << QStringList{"[urw]", "", "Sans"}
                                            << QStringList{"Sans"};
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
