#include "versioninfo.h"

#include <QtEndian>

namespace VersionInfo {

namespace {

struct Language
{
    const char *code;
    const char *name;
};

// Searched in this order; the first match wins. The names keep the
// spellings users of the earlier releases have seen.
const Language languages[] = {
    {"0436", "Afrikaans"},
    {"041C", "Albanian"},
    {"3801", "Arabic - U.A.E."},
    {"3C01", "Arabic - Bahrain"},
    {"1401", "Arabic - Algeria"},
    {"0C01", "Arabic - Egypt"},
    {"0801", "Arabic - Iraq"},
    {"2C01", "Arabic - Jordan"},
    {"3401", "Arabic - Kuwait"},
    {"3001", "Arabic - Lebanon"},
    {"1001", "Arabic - Libya"},
    {"1801", "Arabic - Morocco"},
    {"2001", "Arabic - Oman"},
    {"4001", "Arabic - Qatar"},
    {"0401", "Arabic - Saudia Arabia"},
    {"2801", "Arabic - Syria"},
    {"1C01", "Arabic - Tunisia"},
    {"2401", "Arabic - Yemen"},
    {"042D", "Basque"},
    {"0423", "Belarusian"},
    {"0402", "Bulgarian"},
    {"0403", "Catalan"},
    {"0804", "Chinese - PRC"},
    {"0C04", "Chinese - Hong Kong S.A.R."},
    {"1004", "Chinese - Singapore"},
    {"0404", "Chinese - Taiwan"},
    {"041A", "Croatian"},
    {"0405", "Czech"},
    {"0406", "Danish"},
    {"0413", "Dutch - Netherlands"},
    {"0813", "Dutch - Belgium"},
    {"0C09", "English - Australia"},
    {"2809", "English - Belize"},
    {"1009", "English - Canada"},
    {"1809", "English - Ireland"},
    {"2009", "English - Jamaica"},
    {"1409", "English - New Zealand"},
    {"1C09", "English - South Africa"},
    {"2C09", "English - Trinidad"},
    {"0809", "English - United Kingdom"},
    {"0409", "English - United States"},
    {"0425", "Estonian"},
    {"0429", "Farsi"},
    {"040B", "Finnish"},
    {"0438", "Faeroese"},
    {"040C", "French - France"},
    {"080C", "French - Belgium"},
    {"0C0C", "French - Canada"},
    {"140C", "French - Luxembourg"},
    {"100C", "French - Switzerland"},
    {"043C", "Gaelic - Scotland"},
    {"0407", "German - Germany"},
    {"0C07", "German - Austrian"},
    {"1407", "German - Lichtenstein"},
    {"1007", "German - Luxembourg"},
    {"0807", "German - Switzerland"},
    {"0408", "Greek"},
    {"040D", "Hebrew"},
    {"0439", "Hindi"},
    {"040E", "Hungarian"},
    {"040F", "Icelandic"},
    {"0421", "Indonesian"},
    {"0410", "Italian - Italy"},
    {"0810", "Italian - Switzerland"},
    {"0411", "Japanese"},
    {"0412", "Korean"},
    {"0426", "Latvian"},
    {"0427", "Lithuanian"},
    {"042F", "Macedonian"},
    {"043E", "Malay - Malaysia"},
    {"043A", "Maltese"},
    {"0414", "Norwegian - Bokmal"},
    {"0415", "Polish"},
    {"0816", "Portuguese - Portugal"},
    {"0416", "Portuguese - Brazil"},
    {"0417", "Raeto-Romance"},
    {"0418", "Romanian - Romania"},
    {"0818", "Romanian - Moldova"},
    {"0419", "Russian"},
    {"0819", "Russian - Moldova"},
    {"0C1A", "Serbian - Cyrillic"},
    {"0432", "Setsuana"},
    {"0424", "Slovenian"},
    {"041B", "Slovak"},
    {"042E", "Sorbian"},
    {"040A", "Spanish - Traditional Sort"},
    {"2C0A", "Spanish - Argentina"},
    {"400A", "Spanish - Bolivia"},
    {"340A", "Spanish - Chile"},
    {"240A", "Spanish - Columbia"},
    {"140A", "Spanish - Costa Rica"},
    {"1C0A", "Spanish - Dominican Republic"},
    {"300A", "Spanish - Ecuador"},
    {"100A", "Spanish - Guatemala"},
    {"480A", "Spanish - Honduras"},
    {"080A", "Spanish - Mexico"},
    {"4C0A", "Spanish - Nicaragua"},
    {"180A", "Spanish - Panama"},
    {"280A", "Spanish - Peru"},
    {"500A", "Spanish - Puerto Rico"},
    {"3C0A", "Spanish - Paraguay"},
    {"440A", "Spanish - El Salvador"},
    {"380A", "Spanish - Uruguay"},
    {"200A", "Spanish - Venezuela"},
    {"0430", "Sutu"},
    {"041D", "Swedish"},
    {"081D", "Swedish - Finland"},
    {"041E", "Thai"},
    {"041F", "Turkish"},
    {"0431", "Tsonga"},
    {"0422", "Ukranian"},
    {"0420", "Urdu"},
    {"042A", "Vietnamese"},
    {"0434", "Xhosa"},
    {"043D", "Yiddish"},
    {"0435", "Zulu"},
};

const QChar nul(u'\0');
// The type word of a text entry: it stands right before the entry's key.
const QChar textType(u'\x0001');

// The resource as the 16-bit characters it is made of.
QString words(const QByteArray &resource)
{
    QString text;
    text.reserve(resource.size() / 2);
    for (qsizetype i = 0; i + 1 < resource.size(); i += 2)
        text.append(QChar(qFromLittleEndian<quint16>(resource.constData() + i)));
    return text;
}

// The text from `from` up to the next zero character (or the end).
QString untilZero(const QString &text, qsizetype from)
{
    const qsizetype end = text.indexOf(nul, from);
    return text.mid(from, end < 0 ? -1 : end - from);
}

void appendWord(QByteArray &out, quint16 word)
{
    char bytes[2];
    qToLittleEndian(word, bytes);
    out.append(bytes, 2);
}

void appendText(QByteArray &out, const QString &text)
{
    for (const QChar c : text)
        appendWord(out, c.unicode());
    appendWord(out, 0);
}

void padToFour(QByteArray &out)
{
    while (out.size() % 4 != 0)
        out.append('\0');
}

// One entry of a version resource: its length, its value's length, its
// type, its key, then its value and its children, each on a 4-byte boundary.
QByteArray entry(const QString &key, const QString &value, quint16 type,
                 const QByteArray &children = QByteArray())
{
    QByteArray out(6, '\0');
    appendText(out, key);
    padToFour(out);
    if (type == 1 && !value.isNull())
        appendText(out, value);
    if (!children.isEmpty()) {
        padToFour(out);
        out.append(children);
    }
    qToLittleEndian<quint16>(quint16(out.size()), out.data());
    qToLittleEndian<quint16>(quint16(value.isNull() ? 0 : value.size() + 1), out.data() + 2);
    qToLittleEndian<quint16>(type, out.data() + 4);
    padToFour(out);
    return out;
}

} // namespace

QStringList fieldKeys()
{
    return QStringLiteral("CompanyName;FileDescription;FileVersion;InternalName;LegalCopyright;"
                          "OriginalFilename;ProductName;ProductVersion;Comments;LegalTrademarks;"
                          "PrivateBuild;SpecialBuild;Language")
        .split(QLatin1Char(';'));
}

QStringList FileVersionArray(const QByteArray &resource)
{
    if (resource.isEmpty())
        return {};
    const QString text = words(resource);
    const QStringList keys = fieldKeys();
    QStringList fields;
    for (qsizetype k = 0; k + 1 < keys.size(); ++k) {
        const QString &key = keys[k];
        const qsizetype at = text.indexOf(textType + key);
        if (at < 0) {
            fields << key + QStringLiteral(": Not specified");
            continue;
        }
        // p is the key's terminating zero; a second zero is filler up to the
        // value's 4-byte boundary.
        const qsizetype p = at + 1 + key.size();
        qsizetype start = p;
        if (p + 1 < text.size() && text[p + 1] == nul)
            start = p + 2;
        else if (p < text.size() && text[p] == nul)
            start = p + 1;
        fields << key + QStringLiteral(": ") + untilZero(text, start);
    }
    QString language = keys.last();
    const QString tables = textType + QStringLiteral("StringFileInfo");
    const qsizetype at = text.indexOf(tables);
    if (at >= 0) {
        const qsizetype table = text.indexOf(textType, at + tables.size());
        const QString name = table < 0 ? QString() : untilZero(text, table + 1);
        language += QStringLiteral(": ") + lookupLanguageName(name);
    }
    fields << language;
    return fields;
}

QString lookupLanguageName(const QString &code)
{
    const QString wanted = code.left(4).toUpper();
    for (const Language &l : languages) {
        if (wanted == QLatin1String(l.code))
            return QString::fromLatin1(l.name);
    }
    return QString();
}

QStringList languageCodes()
{
    QStringList codes;
    for (const Language &l : languages)
        codes << QString::fromLatin1(l.code);
    return codes;
}

QByteArray buildResource(const QList<QPair<QString, QString>> &strings, const QString &tableName)
{
    QByteArray table;
    for (const auto &[key, value] : strings)
        table.append(entry(key, value.isNull() ? QStringLiteral("") : value, 1));
    QByteArray body = table;
    if (!tableName.isEmpty())
        body = entry(QStringLiteral("StringFileInfo"), QString(), 1,
                     entry(tableName, QString(), 1, table));
    return entry(QStringLiteral("VS_VERSION_INFO"), QString(), 0, body);
}

QByteArray resourceFromBanner(const QString &banner)
{
    const QString line = banner.trimmed();
    const QStringList parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() < 2 || !parts[0].startsWith(QStringLiteral("MPlayer")))
        return {};
    const QString version = parts[1];
    const qsizetype afterVersion = line.indexOf(version, parts[0].size()) + version.size();
    const QString copyright = line.mid(afterVersion).trimmed();
    return buildResource({{QStringLiteral("FileVersion"), version},
                          {QStringLiteral("LegalCopyright"), copyright},
                          {QStringLiteral("ProductName"), QStringLiteral("MPlayer")},
                          {QStringLiteral("ProductVersion"), version}});
}

QString versionText(const QStringList &fields)
{
    QString text;
    for (const QString &field : fields)
        text += field + endMarker + QStringLiteral("\r\n");
    return text;
}

QString fieldFromText(const QString &text, const QString &key, const QString &current)
{
    const QString label = key + QStringLiteral(": ");
    const qsizetype at = text.indexOf(label);
    if (at < 0)
        return current;
    const qsizetype end = text.indexOf(endMarker, at);
    QString value = text.mid(at + label.size(), end < 0 ? -1 : end - at - label.size());
    return value.replace(QStringLiteral(", "), QStringLiteral("."));
}

QString engineVersionLabel(const QString &fileVersion, const QString &productVersion)
{
    if (fileVersion != productVersion)
        return QStringLiteral("MPlayer 파일 버전: ") + fileVersion +
               QStringLiteral("\r\nMPlayer 제품 버전: ") + productVersion;
    if (!fileVersion.isEmpty())
        return QStringLiteral("MPlayer 버전: ") + fileVersion;
    return QStringLiteral("MPlayer 버전: -");
}

QString programVersionCaption(int major, int minor, int revision)
{
    return QStringLiteral("Tavrin - TEST Ver %1.%2 Build %3").arg(major).arg(minor).arg(revision);
}

} // namespace VersionInfo
