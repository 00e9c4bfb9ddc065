#include "mediafiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace mediafiles {

QString sample(const QString &name)
{
    return QDir(qEnvironmentVariable("SAMPLE_MEDIA_DIR")).filePath(name);
}

QString copyAs(const QString &sampleName, const QString &folder, const QString &name)
{
    QDir().mkpath(folder);
    const QString target = QDir(folder).filePath(name);
    QFile::remove(target);
    QFile::copy(sample(sampleName), target);
    return target;
}

QStringList mediainfoCommandReports(const QStringList &paths)
{
    QProcess process;
    // The command itself needs a UTF-8 locale for non-ASCII names.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("mediainfo"), paths);
    if (!process.waitForFinished(120000) || process.exitCode() != 0)
        return {};
    // Each report starts with its "General" section and ends with a blank
    // line; the output ends with one more line break.
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    QStringList reports;
    // "General" is each report's first section, and only that.
    const QString start = QStringLiteral("General\n");
    for (qsizetype at = text.startsWith(start) ? 0 : -1; at >= 0;) {
        const qsizetype next = text.indexOf(QStringLiteral("\n\n") + start, at);
        reports << text.mid(at, next < 0 ? -1 : next + 2 - at);
        at = next < 0 ? -1 : next + 2;
    }
    return reports;
}

QString mediainfoCommandReport(const QString &path)
{
    return mediainfoCommandReports({path}).value(0);
}

QString displayed(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace mediafiles
