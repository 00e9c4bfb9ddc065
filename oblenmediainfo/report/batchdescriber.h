#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <map>

class MediaInfoDLLMOD;

// Describes files away from the user-interface thread, one library handle per
// file on whichever worker takes it, and hands the reports back in the order
// the files were added, each as soon as it and every earlier one are done.
// Reports arrive through queued signals on the thread that owns the describer.
class BatchDescriber : public QObject
{
    Q_OBJECT
public:
    explicit BatchDescriber(MediaInfoDLLMOD &library, QObject *parent = nullptr);
    // Waits only for the files being described at that moment; queued ones
    // are dropped.
    ~BatchDescriber() override;

    // Queues one file; its report comes with the index returned here.
    int add(const QString &path);
    // Forgets every queued and running file: none of their reports is handed
    // back, and indexes start again at 0.
    void clear();
    // Files added and not yet handed back.
    int pendingCount() const { return m_added - m_nextToDeliver; }
    // As many workers as the machine has cores unless set otherwise.
    int maxThreadCount() const { return m_pool.maxThreadCount(); }
    void setMaxThreadCount(int count) { m_pool.setMaxThreadCount(count); }

Q_SIGNALS:
    void reportReady(int index, const QString &path, const QString &report);
    // Every file added so far has been handed back.
    void idle();

private:
    void deliver(quint64 generation, int index, const QString &path, const QString &report);

    MediaInfoDLLMOD &m_library;
    QThreadPool m_pool;
    quint64 m_generation = 0;
    int m_added = 0;
    int m_nextToDeliver = 0;
    std::map<int, std::pair<QString, QString>> m_waiting;
};
