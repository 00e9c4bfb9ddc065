#include "batchdescriber.h"

#include "describehelper.h"
#include "library/MediaInfoDLLMOD.h"
#include "report.h"

#include <QThread>

#include <QLoggingCategory>

#include <algorithm>

Q_LOGGING_CATEGORY(lcDescriber, "oblenmediainfo.describer")

BatchDescriber::BatchDescriber(MediaInfoDLLMOD &library, QObject *parent)
    : QObject(parent), m_library(library)
{
    m_pool.setMaxThreadCount(defaultWorkerCount(QThread::idealThreadCount(), false));
}

BatchDescriber::~BatchDescriber()
{
    {
        // The files being read in processes are not waited for: their
        // processes are killed, which their workers notice at once.
        const std::lock_guard<std::mutex> lock(m_sharedLock);
        m_jobs.clear();
        m_ending = true;
        for (DescribeHelper *helper : m_busyHelpers)
            helper->abort();
    }
    m_pool.waitForDone();
}

void BatchDescriber::setHelperProgram(const QString &program)
{
    m_helperProgram = program;
    if (!m_workerCountSet)
        m_pool.setMaxThreadCount(defaultWorkerCount(QThread::idealThreadCount(), !program.isEmpty()));
}

void BatchDescriber::adoptHelper(std::unique_ptr<DescribeHelper> helper)
{
    if (!helper)
        return;
    const std::lock_guard<std::mutex> lock(m_sharedLock);
    m_idleHelpers.push_back(std::move(helper));
}

std::vector<pid_t> BatchDescriber::helperProcessIds() const
{
    std::vector<pid_t> ids;
    const std::lock_guard<std::mutex> lock(m_sharedLock);
    for (const auto &helper : m_idleHelpers)
        ids.push_back(helper->processId());
    for (const DescribeHelper *helper : m_busyHelpers)
        ids.push_back(helper->processId());
    return ids;
}

qint64 BatchDescriber::helperPeakMemoryKb() const
{
    qint64 total = m_endedHelpersPeakKb;
    const std::lock_guard<std::mutex> lock(m_sharedLock);
    for (const auto &helper : m_idleHelpers)
        total += helper->peakMemoryKb();
    for (const DescribeHelper *helper : m_busyHelpers)
        total += helper->peakMemoryKb();
    return total;
}

int BatchDescriber::defaultWorkerCount(int cores, bool ownProcesses)
{
    return std::min(std::max(cores, 1) + (ownProcesses ? 0 : 1), 8);
}

int BatchDescriber::add(const QString &path)
{
    // How many queued files make one more worker worth starting: a process
    // costs about as much to start as a few files cost to read.
    constexpr std::size_t filesPerWorker = 4;
    const int index = m_added++;
    bool startWorker = false;
    {
        const std::lock_guard<std::mutex> lock(m_sharedLock);
        m_jobs.push_back(Job{m_generation, index, path});
        if (m_workers < m_pool.maxThreadCount() &&
            m_jobs.size() > filesPerWorker * std::size_t(m_workers)) {
            ++m_workers;
            startWorker = true;
        }
    }
    if (startWorker)
        m_pool.start([this] { work(); });
    return index;
}

int BatchDescriber::addReady(const QString &path, const QString &report)
{
    const int index = m_added++;
    finished(Job{m_generation, index, path}, report);
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
    std::unique_ptr<DescribeHelper> helper;
    bool ownProcess = !m_helperProgram.isEmpty();
    for (;;) {
        Job job;
        {
            const std::lock_guard<std::mutex> lock(m_sharedLock);
            if (m_jobs.empty()) {
                --m_workers;
                if (helper) {
                    m_busyHelpers.erase(std::find(m_busyHelpers.begin(), m_busyHelpers.end(),
                                                  helper.get()));
                    // One process waits for the next file; more would only
                    // hold memory until the next large batch.
                    if (!m_ending && m_idleHelpers.empty())
                        m_idleHelpers.push_back(std::move(helper));
                }
                break;
            }
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        finished(job, describe(helper, ownProcess, job.path));
    }
    // A process not kept is ended here, off the owning thread.
    if (helper) {
        m_endedHelpersPeakKb += helper->peakMemoryKb();
        helper.reset();
    }
}

// On a worker: an idle process, or a new one; nothing when none can be
// started.
std::unique_ptr<DescribeHelper> BatchDescriber::takeHelper()
{
    std::unique_ptr<DescribeHelper> helper;
    {
        const std::lock_guard<std::mutex> lock(m_sharedLock);
        if (m_ending)
            return nullptr;
        if (!m_idleHelpers.empty()) {
            helper = std::move(m_idleHelpers.back());
            m_idleHelpers.pop_back();
        }
    }
    if (!helper)
        helper = DescribeHelper::spawn(m_helperProgram, m_library.LibraryName());
    if (!helper || !helper->ready())
        return nullptr;
    const std::lock_guard<std::mutex> lock(m_sharedLock);
    if (m_ending)
        return nullptr;
    m_busyHelpers.push_back(helper.get());
    return helper;
}

// On a worker: one file's report, from the worker's process while it has
// one, and in this process when none can be started.
QString BatchDescriber::describe(std::unique_ptr<DescribeHelper> &helper, bool &ownProcess,
                                 const QString &path)
{
    // A process that ends on a file is followed by a new one that tries the
    // file again: the first may have been ended from outside while it was
    // idle. A file that ends the second one too is one the library cannot
    // read.
    QString version;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (ownProcess && !helper) {
            helper = takeHelper();
            if (!helper) {
                const std::lock_guard<std::mutex> lock(m_sharedLock);
                // Nobody takes the report of a describer that is going.
                if (m_ending)
                    return QString();
            }
            // The program is missing or broken: this worker reads here from
            // now on, but not the file that has just ended a process.
            ownProcess = helper != nullptr;
            if (!helper && attempt > 0)
                break;
        }
        if (!helper)
            return report::describe(m_library, path);
        if (std::optional<QString> text = helper->describe(path))
            return std::move(*text);
        version = helper->versionText();
        bool ending = false;
        {
            const std::lock_guard<std::mutex> lock(m_sharedLock);
            m_busyHelpers.erase(
                std::find(m_busyHelpers.begin(), m_busyHelpers.end(), helper.get()));
            ending = m_ending;
        }
        helper.reset();
        if (ending)
            return QString();
    }
    qCWarning(lcDescriber) << "the describing process ended while reading" << path;
    return report::withoutLibraryPart(version);
}

// On a worker; on the owning thread for a report made already.
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
