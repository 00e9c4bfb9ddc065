#include "batchdescriber.h"

#include "library/MediaInfoDLLMOD.h"
#include "report.h"

#include <QThread>

BatchDescriber::BatchDescriber(MediaInfoDLLMOD &library, QObject *parent)
    : QObject(parent), m_library(library)
{
    m_pool.setMaxThreadCount(QThread::idealThreadCount());
}

BatchDescriber::~BatchDescriber()
{
    m_pool.clear();
    m_pool.waitForDone();
}

int BatchDescriber::add(const QString &path)
{
    const int index = m_added++;
    const quint64 generation = m_generation;
    m_pool.start(QRunnable::create([this, generation, index, path] {
        const QString text = report::describe(m_library, path);
        // The describer outlives every task (its destructor waits for them),
        // so queuing the result on it is safe.
        QMetaObject::invokeMethod(
            this, [this, generation, index, path, text] { deliver(generation, index, path, text); },
            Qt::QueuedConnection);
    }));
    return index;
}

void BatchDescriber::clear()
{
    m_pool.clear();
    ++m_generation;
    m_added = 0;
    m_nextToDeliver = 0;
    m_waiting.clear();
}

void BatchDescriber::deliver(quint64 generation, int index, const QString &path,
                             const QString &report)
{
    if (generation != m_generation)
        return;
    m_waiting.emplace(index, std::make_pair(path, report));
    bool delivered = false;
    for (auto next = m_waiting.find(m_nextToDeliver); next != m_waiting.end();
         next = m_waiting.find(m_nextToDeliver)) {
        const auto [nextPath, nextReport] = next->second;
        m_waiting.erase(next);
        ++m_nextToDeliver;
        delivered = true;
        Q_EMIT reportReady(m_nextToDeliver - 1, nextPath, nextReport);
        // A receiver may have cleared the batch.
        if (generation != m_generation)
            return;
    }
    if (delivered && m_nextToDeliver == m_added)
        Q_EMIT idle();
}
