#include "subtitlesettings.h"

#include "state/playerstate.h"
#include "state/vbnumber.h"

#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace {
const QString minusOne = QStringLiteral("-1");
const QString zero = QStringLiteral("0");
const QString one = QStringLiteral("1");

bool markOf(const QString &text, bool start)
{
    const double value = vbVal(text);
    if (value == -1.0)
        return true;
    if (value == 0.0)
        return false;
    return start;
}

quint32 colourOf(const QString &text, quint32 start)
{
    const double value = vbVal(text);
    if (value < 0 || value > 0xffffff || value != std::floor(value))
        return start;
    return static_cast<quint32>(value);
}
} // namespace

SubtitleSettings SubtitleSettings::fromState(const PlayerState &state,
                                             const SubtitleSettings &start)
{
    SubtitleSettings s = start;
    s.fontName = state.value(Field::subFontNameField);
    s.fontSize = state.value(Field::subFontSizeField);
    s.bold = markOf(state.value(Field::subBoldField), start.bold);
    s.italic = markOf(state.value(Field::subItalicField), start.italic);
    s.marginV = state.value(Field::subMarginVField);
    s.outline = state.value(Field::subOutlineField);
    s.shadow = state.value(Field::subShadowField);
    s.textColour = colourOf(state.value(Field::subTextColourField), start.textColour);
    s.outlineColour = colourOf(state.value(Field::subOutlineColourField), start.outlineColour);
    s.shadowColour = colourOf(state.value(Field::subShadowColourField), start.shadowColour);
    s.useDefault = vbVal(state.value(Field::useDefaultSubtitleSettingsField)) == 1.0;
    s.fontPath = state.value(Field::subFontPathField);
    s.plainScale = state.value(Field::textSubScaleField);
    s.plainPosition = state.value(Field::textSubPositionField);
    s.plainOutline = state.value(Field::textSubOutlineField);
    s.plainBlur = state.value(Field::textSubBlurField);
    return s;
}

void SubtitleSettings::writeTo(PlayerState &state) const
{
    state.setValue(Field::subFontNameField, fontName);
    state.setValue(Field::subFontSizeField, fontSize);
    state.setValue(Field::subBoldField, bold ? minusOne : zero);
    state.setValue(Field::subItalicField, italic ? minusOne : zero);
    state.setValue(Field::subMarginVField, marginV);
    state.setValue(Field::subOutlineField, outline);
    state.setValue(Field::subShadowField, shadow);
    state.setValue(Field::subTextColourField, QString::number(textColour));
    state.setValue(Field::subOutlineColourField, QString::number(outlineColour));
    state.setValue(Field::subShadowColourField, QString::number(shadowColour));
    state.setValue(Field::useDefaultSubtitleSettingsField, useDefault ? one : zero);
    state.setValue(Field::subFontPathField, fontPath);
    state.setValue(Field::textSubScaleField, plainScale);
    state.setValue(Field::textSubPositionField, plainPosition);
    state.setValue(Field::textSubOutlineField, plainOutline);
    state.setValue(Field::textSubBlurField, plainBlur);
}

namespace SubtitleFonts {

QStringList engineFamilies(const QStringList &families)
{
    // Only a bracketed word at the very end is a foundry; brackets inside a
    // name belong to the name.
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\[\\]]*\\]$"));
    QStringList names;
    QSet<QString> seen;
    for (QString family : families) {
        family.remove(foundry);
        family = family.trimmed();
        if (family.isEmpty() || seen.contains(family))
            continue;
        seen.insert(family);
        names << family;
    }
    return names;
}

std::optional<double> previewPointSize(const QString &text)
{
    const std::optional<double> size = strictNumber(text);
    if (!size || !std::isfinite(*size) || *size <= 0 || *size > largestPointSize)
        return std::nullopt;
    return size;
}

} // namespace SubtitleFonts

namespace SubtitleNumbers {

Verdict judge(const QString &text, const Rule &rule)
{
    static const QRegularExpression wholeForm(QStringLiteral("^[0-9]*$"));
    static const QRegularExpression decimalForm(QStringLiteral("^[0-9]*(\\.[0-9]*)?$"));
    if (!(rule.whole ? wholeForm : decimalForm).match(text).hasMatch())
        return Verdict::refused;
    if (text.isEmpty() || text == QLatin1String("."))
        return Verdict::unfinished;
    // Only digits and a point: the text is a number in the C locale's form.
    const double value = text.toDouble();
    if (value > rule.highest)
        return Verdict::refused;
    return value < rule.lowest ? Verdict::unfinished : Verdict::acceptable;
}

QString need(const Rule &rule)
{
    return QString::number(rule.lowest) + QStringLiteral("에서 ") + QString::number(rule.highest) +
           (rule.whole ? QStringLiteral(" 사이의 정수") : QStringLiteral(" 사이의 숫자"));
}

} // namespace SubtitleNumbers
