#include "batchdescriber.h"

#include "library/MediaInfoDLLMOD.h"
#include "report.h"

#include <QThread>

#include <algorithm>

BatchDescriber::BatchDescriber(MediaInfoDLLMOD &library, QObject *parent)
    : QObject(parent), m_library(library)
{
    m_pool.setMaxThreadCount(defaultWorkerCount(QThread::idealThreadCount()));
}

BatchDescriber::~BatchDescriber()
{
    {
        const std::lock_guard<std::mutex> lock(m_sharedLock);
        m_jobs.clear();
    }
    m_pool.waitForDone();
}

int BatchDescriber::defaultWorkerCount(int cores)
{
    return std::max(cores, 1) + 1;
}

int BatchDescriber::add(const QString &path)
{
    const int index = m_added++;
    bool startWorker = false;
    {
        const std::lock_guard<std::mutex> lock(m_sharedLock);
        m_jobs.push_back(Job{m_generation, index, path});
        if (m_workers < m_pool.maxThreadCount()) {
            ++m_workers;
            startWorker = true;
        }
    }
    if (startWorker)
        m_pool.start([this] { work(); });
    return index;
}

void BatchDescriber::clear()
{
    ++m_generation;
    m_added = 0;
    m_nextToDeliver = 0;
    const std::lock_guard<std::mutex> lock(m_sharedLock);
    m_jobs.clear();
    m_finished.clear();
    m_sharedGeneration = m_generation;
}

// On a worker, until the queue is empty.
void BatchDescriber::work()
{
    for (;;) {
        Job job;
        {
            const std::lock_guard<std::mutex> lock(m_sharedLock);
            if (m_jobs.empty()) {
                --m_workers;
                return;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        finished(job, report::describe(m_library, job.path));
    }
}

// On a worker.
void BatchDescriber::finished(const Job &job, QString report)
{
    const std::lock_guard<std::mutex> lock(m_sharedLock);
    // A report of a cleared batch is dropped here, before it can take the
    // place of the new batch's report with the same index.
    if (job.generation != m_sharedGeneration)
        return;
    m_finished.emplace(job.index, Done{job.path, std::move(report)});
    if (m_wakeQueued)
        return;
    m_wakeQueued = true;
    // The describer outlives every worker (its destructor waits for them),
    // so queuing the call on it is safe.
    QMetaObject::invokeMethod(this, &BatchDescriber::deliverFinished, Qt::QueuedConnection);
}

void BatchDescriber::deliverFinished()
{
    std::map<int, Done> taken;
    {
        const std::lock_guard<std::mutex> lock(m_sharedLock);
        m_wakeQueued = false;
        taken.swap(m_finished);
    }
    const quint64 generation = m_generation;
    bool delivered = false;
    for (auto next = taken.find(m_nextToDeliver); next != taken.end();
         next = taken.find(m_nextToDeliver)) {
        const Done done = std::move(next->second);
        taken.erase(next);
        ++m_nextToDeliver;
        delivered = true;
        Q_EMIT reportReady(m_nextToDeliver - 1, done.path, done.report);
        // A receiver may have cleared the batch.
        if (generation != m_generation)
            return;
    }
    // Reports waiting for an earlier one go back, to be taken with it.
    if (!taken.empty()) {
        const std::lock_guard<std::mutex> lock(m_sharedLock);
        m_finished.merge(taken);
    }
    if (delivered && m_nextToDeliver == m_added)
        Q_EMIT idle();
}
