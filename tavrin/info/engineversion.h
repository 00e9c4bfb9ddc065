#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

class QThread;

// The engine's version fields, read once per run of the program. Reading runs
// the engine (when it is no Windows executable) and may take long or never
// end, so it happens on a thread of its own and gives up after timeoutMs;
// the windows show "-" until the fields are known, and for good when the
// engine is missing, tells nothing or hangs.
class EngineVersion : public QObject
{
    Q_OBJECT
public:
    static constexpr int timeoutMs = 2000;

    explicit EngineVersion(QObject *parent = nullptr);
    // Waits for a read still under way (at most its time-out).
    ~EngineVersion() override;

    // Starts reading the engine at `program` the first time; any later
    // call, for whatever program, does nothing.
    void request(const QString &program);
    bool isKnown() const { return m_known; }
    // The version lines (VersionInfo::FileVersionArray); empty when the
    // engine gave none.
    QStringList fields() const { return m_fields; }

Q_SIGNALS:
    void known();

private:
    void finish(const QByteArray &resource);

    std::unique_ptr<QThread> m_reader;
    QStringList m_fields;
    bool m_known = false;
};
