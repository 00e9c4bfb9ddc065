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

QString mediainfoCommandReport(const QString &path)
{
    QProcess process;
    // The command itself needs a UTF-8 locale for non-ASCII names.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral("mediainfo"), {path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QString();
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    return text;
}

QString displayed(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace mediafiles
