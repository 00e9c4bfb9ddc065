#include "engineversion.h"

#include "info/versioninfo.h"
#include "platform/versionresource.h"

#include <QThread>

EngineVersion::EngineVersion(QObject *parent) : QObject(parent) {}

EngineVersion::~EngineVersion()
{
    if (m_reader)
        m_reader->wait();
}

void EngineVersion::request(const QString &program)
{
    if (m_reader)
        return;
    m_reader.reset(QThread::create([this, program] {
        const QByteArray resource = readVersionResource(program, timeoutMs);
        QMetaObject::invokeMethod(
            this, [this, resource] { finish(resource); }, Qt::QueuedConnection);
    }));
    m_reader->start();
}

void EngineVersion::finish(const QByteArray &resource)
{
    m_fields = VersionInfo::FileVersionArray(resource);
    m_known = true;
    Q_EMIT known();
}
