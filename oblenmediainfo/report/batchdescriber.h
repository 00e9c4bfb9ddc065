#pragma once

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class DescribeHelper;
class MediaInfoDLLMOD;

// Describes files away from the user-interface thread, one library handle per
// file on whichever worker takes it, and hands the reports back in the order
// the files were added, each as soon as it and every earlier one are done.
// Reports arrive through queued signals on the thread that owns the describer.
//
// The workers take the files from one queue until it is empty, so a batch of
// a thousand files starts a few workers, not a thousand tasks. A worker starts
// only while the queue holds more files than the running ones take in a
// moment, so a few files are read by one worker.
//
// Each worker has the files read by a describing process of its own (see
// DescribeHelper) when the helper program is set: the library's process-wide
// locks then never make one worker wait for another. A worker whose process
// cannot be started reads its files in this process through the binding given
// here. A file that ends its process (the library crashed on it) gets a report
// with an empty library part, and the worker goes on with a new process.
class BatchDescriber : public QObject
{
    Q_OBJECT
public:
    explicit BatchDescriber(MediaInfoDLLMOD &library, QObject *parent = nullptr);
    // Waits only for the files being described at that moment; queued ones
    // are dropped.
    ~BatchDescriber() override;

    // The program that describes files in processes of its own; empty (the
    // default) to read every file in this process.
    void setHelperProgram(const QString &program);
    QString helperProgram() const { return m_helperProgram; }
    // Takes a process started early (while the application was starting),
    // for the first worker to use.
    void adoptHelper(std::unique_ptr<DescribeHelper> helper);
    // The describing processes running now, idle or busy.
    std::vector<pid_t> helperProcessIds() const;
    // The peak memory of every describing process so far, those ended at
    // the end of a batch included, added together, in KiB.
    qint64 helperPeakMemoryKb() const;

    // Queues one file; its report comes with the index returned here.
    int add(const QString &path);
    // Queues a report made already (one that needs no library), to be handed
    // back in its turn among the files.
    int addReady(const QString &path, const QString &report);
    // Forgets every queued and running file: none of their reports is handed
    // back, and indexes start again at 0.
    void clear();
    // Files added and not yet handed back.
    int pendingCount() const { return m_added - m_nextToDeliver; }
    // defaultWorkerCount() unless set otherwise.
    int maxThreadCount() const { return m_pool.maxThreadCount(); }
    void setMaxThreadCount(int count)
    {
        m_workerCountSet = true;
        m_pool.setMaxThreadCount(count);
    }

    // Workers for a machine with this many cores, at most eight. A worker
    // with a process of its own keeps one core busy, so one per core; the
    // window's thread takes what the reports cost it between their turns.
    // Workers that read in this process wait on the library's locks part of
    // each file, so one more than cores keeps the cores busy; beyond that
    // they only queue on those locks.
    static int defaultWorkerCount(int cores, bool ownProcesses);

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
    std::unique_ptr<DescribeHelper> takeHelper();
    QString describe(std::unique_ptr<DescribeHelper> &helper, bool &ownProcess,
                     const QString &path);
    void finished(const Job &job, QString report);
    void deliverFinished();

    MediaInfoDLLMOD &m_library;
    QString m_helperProgram;
    bool m_workerCountSet = false;
    QThreadPool m_pool;
    quint64 m_generation = 0;
    int m_added = 0;
    int m_nextToDeliver = 0;

    // Shared with the workers: the files not yet taken, and the reports the
    // workers have finished and the owning thread has not taken yet. One
    // wake-up of the owning thread takes all reports that are there, so a
    // long batch does not cost a queued call and a thread switch per file.
    mutable std::mutex m_sharedLock;
    std::deque<Job> m_jobs;
    int m_workers = 0;
    std::map<int, Done> m_finished;
    quint64 m_sharedGeneration = 0;
    bool m_wakeQueued = false;
    // The describing process kept for the next file between batches, and
    // those held by workers (to be killed when the describer goes while they
    // read).
    std::vector<std::unique_ptr<DescribeHelper>> m_idleHelpers;
    std::vector<DescribeHelper *> m_busyHelpers;
    bool m_ending = false;
    std::atomic<qint64> m_endedHelpersPeakKb{0};
};
