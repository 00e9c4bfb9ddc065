// The engine's version fields: the version-resource reader, the language
// table, the window's texts, and the engines the fields are read from.
#include "info/versioninfo.h"
#include "platform/versionresource.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <csignal>

using namespace VersionInfo;

namespace {

using Strings = QList<QPair<QString, QString>>;

// The Language line and the FileVersion, CompanyName and Comments lines
// stand for the whole list.
QString picked(const QStringList &fields)
{
    if (fields.isEmpty())
        return QStringLiteral("(none)");
    return QStringList{fields.value(0), fields.value(2), fields.value(8), fields.value(12)}.join(
        QLatin1Char('|'));
}

void put16(QByteArray &image, int at, quint16 value)
{
    qToLittleEndian(value, image.data() + at);
}

void put32(QByteArray &image, int at, quint32 value)
{
    qToLittleEndian(value, image.data() + at);
}

// A 32-bit Windows executable whose one section holds a version resource.
QByteArray peImage(const QByteArray &resource)
{
    const int pe = 0x40, optional = pe + 24, section = optional + 224, raw = 0x200;
    const quint32 rva = 0x1000;
    QByteArray image(raw + 0x58 + resource.size(), '\0');
    image[0] = 'M';
    image[1] = 'Z';
    put32(image, 0x3c, pe);
    image.replace(pe, 4, QByteArray("PE\0\0", 4));
    put16(image, pe + 4, 0x14c);
    put16(image, pe + 6, 1);
    put16(image, pe + 20, 224);
    put16(image, optional, 0x10b);
    put32(image, optional + 96 + 16, rva);
    put32(image, optional + 96 + 20, 0x58 + resource.size());
    image.replace(section, 5, ".rsrc");
    put32(image, section + 8, 0x58 + resource.size());
    put32(image, section + 12, rva);
    put32(image, section + 16, 0x58 + resource.size());
    put32(image, section + 20, raw);
    // Type 16 (version) -> name 1 -> language 0412 -> the data.
    put16(image, raw + 14, 1);
    put32(image, raw + 16, 16);
    put32(image, raw + 20, 0x80000000u | 0x18);
    put16(image, raw + 0x18 + 14, 1);
    put32(image, raw + 0x18 + 16, 1);
    put32(image, raw + 0x18 + 20, 0x80000000u | 0x30);
    put16(image, raw + 0x30 + 14, 1);
    put32(image, raw + 0x30 + 16, 0x412);
    put32(image, raw + 0x30 + 20, 0x48);
    put32(image, raw + 0x48, rva + 0x58);
    put32(image, raw + 0x48 + 4, resource.size());
    image.replace(raw + 0x58, resource.size(), resource);
    return image;
}

bool writeFile(const QString &path, const QByteArray &text, bool executable)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
        return false;
    f.close();
    return !executable || f.setPermissions(f.permissions() | QFile::ExeOwner);
}

} // namespace

class VersionInfoTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fieldsOfAResource_data();
    void fieldsOfAResource();
    void languageNames_data();
    void languageNames();
    void engineLabel_data();
    void engineLabel();
    void fieldsOfAnEngine_data();
    void fieldsOfAnEngine();
};

void VersionInfoTest::fieldsOfAResource_data()
{
    QTest::addColumn<QByteArray>("resource");
    QTest::addColumn<QString>("expected");
    const Strings full{{QStringLiteral("CompanyName"), QStringLiteral("MPlayer Team")},
                       {QStringLiteral("FileVersion"), QStringLiteral("1, 0, 0, 1")},
                       {QStringLiteral("Comments"), QStringLiteral("")}};
    QTest::newRow("korean table, empty comment")
        << buildResource(full, QStringLiteral("041204b0"))
        << "CompanyName: MPlayer Team|FileVersion: 1, 0, 0, 1|Comments: |Language: Korean";
    QTest::newRow("table compared as 0C0A, not in the list")
        << buildResource(full, QStringLiteral("0c0a04b0"))
        << "CompanyName: MPlayer Team|FileVersion: 1, 0, 0, 1|Comments: |Language: ";
    QTest::newRow("no string table")
        << buildResource({{QStringLiteral("FileVersion"), QStringLiteral("2.5")}})
        << "CompanyName: Not specified|FileVersion: 2.5|Comments: Not specified|Language";
    QTest::newRow("banner of the engine")
        << resourceFromBanner(QStringLiteral("MPlayer UNKNOWN-12 (C) 2000-2023 MPlayer Team\n"))
        << "CompanyName: Not specified|FileVersion: UNKNOWN-12|Comments: Not specified|Language";
    QTest::newRow("a line that is no banner") << resourceFromBanner(QStringLiteral("Usage: x"))
                                              << "(none)";
    QTest::newRow("empty") << QByteArray() << "(none)";
}

void VersionInfoTest::fieldsOfAResource()
{
    QFETCH(QByteArray, resource);
    QFETCH(QString, expected);
    const QStringList fields = FileVersionArray(resource);
    QCOMPARE(picked(fields), expected);
    if (!fields.isEmpty())
        QCOMPARE(fields.size(), 13);
}

void VersionInfoTest::languageNames_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    const char *rows[][2] = {
        {"0412", "Korean"},
        {"0409", "English - United States"},
        {"0804", "Chinese - PRC"},
        {"0C04", "Chinese - Hong Kong S.A.R."},
        {"0401", "Arabic - Saudia Arabia"},
        {"1407", "German - Lichtenstein"},
        {"0C07", "German - Austrian"},
        {"240A", "Spanish - Columbia"},
        {"0432", "Setsuana"},
        {"0422", "Ukranian"},
        {"0430", "Sutu"},
        {"0417", "Raeto-Romance"},
        {"041B", "Slovak"},
        {"0424", "Slovenian"},
        {"042E", "Sorbian"},
        {"041204b0", "Korean"},
        {"0c04", "Chinese - Hong Kong S.A.R."},
        {"0c0a04b0", ""},
        {"", ""},
    };
    for (const auto &row : rows)
        QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromLatin1(row[1]);
}

void VersionInfoTest::languageNames()
{
    QFETCH(QString, code);
    QFETCH(QString, name);
    QCOMPARE(lookupLanguageName(code), name);
    // The whole table: 116 identifiers, each once, each with a name.
    const QStringList codes = languageCodes();
    QCOMPARE(codes.size(), 116);
    QCOMPARE(QSet<QString>(codes.begin(), codes.end()).size(), 116);
    for (const QString &c : codes)
        QVERIFY2(!lookupLanguageName(c).isEmpty(), qPrintable(c));
}

void VersionInfoTest::engineLabel_data()
{
    QTest::addColumn<QString>("fileVersion");
    QTest::addColumn<QString>("productVersion");
    QTest::addColumn<QString>("label");
    QTest::newRow("same") << "1, 0, 0, 1"
                          << "1, 0, 0, 1"
                          << "MPlayer 버전: 1.0.0.1";
    QTest::newRow("different, file first")
        << "1, 0, 0, 1"
        << "2, 0"
        << "MPlayer 파일 버전: 1.0.0.1\r\nMPlayer 제품 버전: 2.0";
    QTest::newRow("none") << QString() << QString() << "MPlayer 버전: -";
}

void VersionInfoTest::engineLabel()
{
    QFETCH(QString, fileVersion);
    QFETCH(QString, productVersion);
    QFETCH(QString, label);
    Strings strings;
    if (!fileVersion.isNull())
        strings << qMakePair(QStringLiteral("FileVersion"), fileVersion);
    if (!productVersion.isNull())
        strings << qMakePair(QStringLiteral("ProductVersion"), productVersion);
    // No version at all is no resource at all.
    const QByteArray resource = strings.isEmpty() ? QByteArray() : buildResource(strings);
    const QString text = versionText(FileVersionArray(resource));
    // Without a resource the fields keep what they held.
    const QString kept = strings.isEmpty() ? QString() : QStringLiteral("old");
    const QString file = fieldFromText(text, QStringLiteral("FileVersion"), kept);
    const QString product = fieldFromText(text, QStringLiteral("ProductVersion"), kept);
    QCOMPARE(engineVersionLabel(file, product), label);
}

void VersionInfoTest::fieldsOfAnEngine_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("the real engine") << "real"
                                     << "FileVersion: UNKNOWN-12|LegalCopyright: (C) 2000-2023 "
                                        "MPlayer Team|ProductName: MPlayer|ProductVersion: "
                                        "UNKNOWN-12";
    QTest::newRow("scripted engine") << "scripted"
                                     << "FileVersion: FAKE-1|LegalCopyright: (C) 2000-2023 "
                                        "MPlayer Team|ProductName: MPlayer|ProductVersion: FAKE-1";
    QTest::newRow("a program that is no engine") << "other"
                                                 << "";
    QTest::newRow("missing") << "missing"
                             << "";
    QTest::newRow("never answers") << "hangs"
                                   << "";
    QTest::newRow("windows executable")
        << "pe"
        << "FileVersion: 1, 5, 0, 1|LegalCopyright: Not specified|ProductName: MPlayer|"
           "ProductVersion: 1, 5";
}

void VersionInfoTest::fieldsOfAnEngine()
{
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("engine"));
    const QString pidFile = dir.filePath(QStringLiteral("pid"));
    QString program = script;
    if (kind == QLatin1String("real")) {
        program = QStringLiteral("/usr/bin/mplayer");
        if (!QFile::exists(program))
            QSKIP("no /usr/bin/mplayer");
    } else if (kind == QLatin1String("scripted")) {
        program = QStringLiteral(FAKE_MPLAYER_PATH);
    } else if (kind == QLatin1String("other")) {
        QVERIFY(writeFile(script, "#!/bin/sh\necho 'Usage: other [file]'\n", true));
    } else if (kind == QLatin1String("missing")) {
        program = dir.filePath(QStringLiteral("nothing-here"));
    } else if (kind == QLatin1String("hangs")) {
        QVERIFY(writeFile(script, "#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 600\n", true));
    } else if (kind == QLatin1String("pe")) {
        const QByteArray resource = buildResource(
            {{QStringLiteral("FileVersion"), QStringLiteral("1, 5, 0, 1")},
             {QStringLiteral("ProductName"), QStringLiteral("MPlayer")},
             {QStringLiteral("ProductVersion"), QStringLiteral("1, 5")}},
            QStringLiteral("041204b0"));
        QVERIFY(writeFile(script, peImage(resource), false));
    }

    const QStringList fields = FileVersionArray(readVersionResource(program, 2000));
    QStringList shown;
    for (const QString &f : fields) {
        if (f.startsWith(QLatin1String("FileVersion")) || f.startsWith(QLatin1String("LegalCopyright")) ||
            f.startsWith(QLatin1String("Product")))
            shown << f;
    }
    QCOMPARE(shown.join(QLatin1Char('|')), expected);
    if (kind == QLatin1String("pe"))
        QCOMPARE(fields.value(12), QStringLiteral("Language: Korean"));

    if (kind == QLatin1String("hangs")) {
        // The engine that never answered was ended, not left behind.
        QFile pid(script + QStringLiteral(".pid"));
        QVERIFY(pid.open(QIODevice::ReadOnly));
        const pid_t id = pid_t(pid.readAll().trimmed().toLongLong());
        QVERIFY(id > 0);
        QVERIFY(QTest::qWaitFor([id] { return ::kill(id, 0) != 0; }, 2000));
    }
}

QTEST_GUILESS_MAIN(VersionInfoTest)
#include "tst_versioninfo.moc"
