#include "enginecommandlist.h"

#include "platform/childprocess.h"

#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

Q_DECLARE_LOGGING_CATEGORY(lcEngine)

EngineCommandList::EngineCommandList(QObject *parent) : QObject(parent) {}

EngineCommandList::~EngineCommandList()
{
    if (m_worker)
        m_worker->wait(answerTimeoutMs + 1000);
}

void EngineCommandList::query(const QString &enginePath)
{
    if (m_asked || m_known)
        return;
    m_asked = true;
    m_worker.reset(QThread::create([this, enginePath] {
        const QStringList names = parse(fetch(enginePath));
        QMetaObject::invokeMethod(
            this, [this, names] { setNames(names); }, Qt::QueuedConnection);
    }));
    m_worker->start();
}

QStringList EngineCommandList::names() const
{
    QStringList sorted(m_names.cbegin(), m_names.cend());
    sorted.sort();
    return sorted;
}

void EngineCommandList::setNames(const QStringList &names)
{
    m_names = QSet<QString>(names.cbegin(), names.cend());
    m_known = true;
    qCDebug(lcEngine) << "the engine lists" << m_names.size() << "commands";
    Q_EMIT answered();
}

QStringList EngineCommandList::parse(const QByteArray &output)
{
    static const QRegularExpression name(QStringLiteral("^([a-z][a-z0-9_]*)(\\s|$)"));
    QStringList names;
    for (const QByteArray &line : output.split('\n')) {
        const QRegularExpressionMatch match = name.match(QString::fromLatin1(line.trimmed()));
        if (match.hasMatch())
            names << match.captured(1);
    }
    return names;
}

QByteArray EngineCommandList::fetch(const QString &enginePath)
{
    QProcess engine;
    engine.setProcessChannelMode(QProcess::SeparateChannels);
    endWithProgram(engine);
    engine.start(enginePath, {QStringLiteral("-input"), QStringLiteral("cmdlist")});
    // The list needs no input; an engine that waits for some gets its end.
    engine.closeWriteChannel();
    if (!engine.waitForFinished(answerTimeoutMs)) {
        qCWarning(lcEngine) << "no command list from" << enginePath;
        engine.kill();
        engine.waitForFinished(1000);
    }
    return engine.readAllStandardOutput();
}
