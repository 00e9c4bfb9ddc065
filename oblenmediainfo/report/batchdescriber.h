#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <deque>
#include <map>
#include <mutex>

class MediaInfoDLLMOD;

// Describes files away from the user-interface thread, one library handle per
// file on whichever worker takes it, and hands the reports back in the order
// the files were added, each as soon as it and every earlier one are done.
// Reports arrive through queued signals on the thread that owns the describer.
//
// The workers take the files from one queue until it is empty, so a batch of
// a thousand files starts a few workers, not a thousand tasks.
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
    // defaultWorkerCount() unless set otherwise.
    int maxThreadCount() const { return m_pool.maxThreadCount(); }
    void setMaxThreadCount(int count) { m_pool.setMaxThreadCount(count); }

    // Workers for a machine with this many cores. A worker spends part of
    // each file waiting (reading the file, and on the library's own global
    // lock that every handle takes), so one more worker than cores keeps the
    // cores busy; beyond that the workers only queue on that lock.
    static int defaultWorkerCount(int cores);

Q_SIGNALS:
    void reportReady(int index, const QString &path, const QString &report);
    // Every file added so far has been handed back.
    void idle();

private:
    struct Job
    {
        quint64 generation = 0;
        int index = 0;
        QString path;
    };
    struct Done
    {
        QString path;
        QString report;
    };

    void work();
    void finished(const Job &job, QString report);
    void deliverFinished();

    MediaInfoDLLMOD &m_library;
    QThreadPool m_pool;
    quint64 m_generation = 0;
    int m_added = 0;
    int m_nextToDeliver = 0;

    // Shared with the workers: the files not yet taken, and the reports the
    // workers have finished and the owning thread has not taken yet. One
    // wake-up of the owning thread takes all reports that are there, so a
    // long batch does not cost a queued call and a thread switch per file.
    std::mutex m_sharedLock;
    std::deque<Job> m_jobs;
    int m_workers = 0;
    std::map<int, Done> m_finished;
    quint64 m_sharedGeneration = 0;
    bool m_wakeQueued = false;
};
