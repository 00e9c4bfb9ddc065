// The engine's version fields: the version-resource reader, the language
// table, the window's texts, and the programs the fields are read from (the
// real and the scripted engine are read in tst_infowindows).
#include "info/versioninfo.h"
#include "platform/versionresource.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>
#include <csignal>

using namespace VersionInfo;

namespace {

// The lines of the fields the resource has, the Language line last.
QString picked(const QStringList &fields)
{
    if (fields.isEmpty())
        return QStringLiteral("(none)");
    if (fields.size() != 13)
        return QStringLiteral("(%1 lines)").arg(fields.size());
    QStringList present;
    for (const QString &f : fields) {
        if (!f.endsWith(QLatin1String(": Not specified")))
            present << f;
    }
    return present.join(QLatin1Char('|'));
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
    const QList<QPair<QString, QString>> full{
        {QStringLiteral("CompanyName"), QStringLiteral("MPlayer Team")},
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
        << "FileVersion: 2.5|Language";
    QTest::newRow("banner of the engine")
        << resourceFromBanner(QStringLiteral("MPlayer UNKNOWN-12 (C) 2000-2023 MPlayer Team\n"))
        << "FileVersion: UNKNOWN-12|LegalCopyright: (C) 2000-2023 MPlayer Team|ProductName: "
           "MPlayer|ProductVersion: UNKNOWN-12|Language";
    QTest::newRow("a line that is no banner")
        << resourceFromBanner(QStringLiteral("Usage: x")) << "(none)";
    QTest::newRow("empty") << QByteArray() << "(none)";
}

void VersionInfoTest::fieldsOfAResource()
{
    QFETCH(QByteArray, resource);
    QFETCH(QString, expected);
    QCOMPARE(picked(FileVersionArray(resource)), expected);
}

void VersionInfoTest::languageNames_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    const QStringList rows =
        QStringLiteral(
            "0412=Korean;0409=English - United States;0804=Chinese - PRC;0C04=Chinese - Hong Kong "
            "S.A.R.;0401=Arabic - Saudia Arabia;1407=German - Lichtenstein;0C07=German - Austrian;"
            "240A=Spanish - Columbia;0432=Setsuana;0422=Ukranian;0430=Sutu;0417=Raeto-Romance;"
            "041B=Slovak;0424=Slovenian;042E=Sorbian;041204b0=Korean;0c0a04b0=;=")
            .split(QLatin1Char(';'));
    for (const QString &row : rows)
        QTest::newRow(qPrintable(row))
            << row.section(QLatin1Char('='), 0, 0) << row.section(QLatin1Char('='), 1);
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
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QString>("label");
    QTest::newRow("same") << QStringList{"FileVersion: 1, 0, 0, 1", "ProductVersion: 1, 0, 0, 1"}
                          << "MPlayer 버전: 1.0.0.1";
    QTest::newRow("different, file first")
        << QStringList{"FileVersion: 1, 0, 0, 1", "ProductVersion: 2, 0"}
        << "MPlayer 파일 버전: 1.0.0.1\r\nMPlayer 제품 버전: 2.0";
    QTest::newRow("none") << QStringList() << "MPlayer 버전: -";
}

void VersionInfoTest::engineLabel()
{
    QFETCH(QStringList, fields);
    QFETCH(QString, label);
    const QString text = versionText(fields);
    QCOMPARE(engineVersionLabel(fieldFromText(text, QStringLiteral("FileVersion"), QString()),
                                fieldFromText(text, QStringLiteral("ProductVersion"), QString())),
             label);
}

void VersionInfoTest::fieldsOfAnEngine_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("a program that is no engine") << "other"
                                                 << "(none)";
    QTest::newRow("never answers") << "hangs"
                                   << "(none)";
    QTest::newRow("windows executable")
        << "pe"
        << "FileVersion: 1, 5, 0, 1|ProductName: MPlayer|ProductVersion: 1, 5|Language: Korean";
}

void VersionInfoTest::fieldsOfAnEngine()
{
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString script = dir.filePath(QStringLiteral("engine"));
    if (kind == QLatin1String("other")) {
        QVERIFY(writeFile(script, "#!/bin/sh\necho 'Usage: other [file]'\n", true));
    } else if (kind == QLatin1String("hangs")) {
        QVERIFY(writeFile(script, "#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 600\n", true));
    } else if (kind == QLatin1String("pe")) {
        const QByteArray resource =
            buildResource({{QStringLiteral("FileVersion"), QStringLiteral("1, 5, 0, 1")},
                           {QStringLiteral("ProductName"), QStringLiteral("MPlayer")},
                           {QStringLiteral("ProductVersion"), QStringLiteral("1, 5")}},
                          QStringLiteral("041204b0"));
        QVERIFY(writeFile(script, peImage(resource), false));
    }

    QCOMPARE(picked(FileVersionArray(readVersionResource(script, 2000))), expected);
    if (kind == QLatin1String("hangs")) {
        // The engine that never answered was ended, not left behind.
        QFile pid(script + QStringLiteral(".pid"));
        QVERIFY(pid.open(QIODevice::ReadOnly));
        const pid_t id = pid_t(pid.readAll().trimmed().toLongLong());
        QVERIFY(id > 0);
        QVERIFY(QTest::qWaitFor([id] { return ::kill(id, 0) != 0; }, 15000));
    }
}

QTEST_GUILESS_MAIN(VersionInfoTest)
#include "tst_versioninfo.moc"
