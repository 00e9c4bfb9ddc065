#include "cpuload.h"

#include <QStringList>
#include <cmath>

namespace CpuLoad {

namespace {
// VB's Format(value, "0"): halves away from zero.
qint64 wholePercent(double value)
{
    return static_cast<qint64>(std::round(value));
}
} // namespace

QMap<int, CoreTicks> parseStat(const QString &text)
{
    QMap<int, CoreTicks> cores;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("cpu")))
            continue;
        const QStringList columns = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        bool isCore = false;
        const int core = columns.first().mid(3).toInt(&isCore);
        // user nice system idle are the least a kernel gives; iowait and
        // the rest came later.
        if (!isCore || core < 0 || columns.size() < 5)
            continue;
        CoreTicks ticks;
        bool valid = true;
        // Columns 1 to 8: user nice system idle iowait irq softirq steal;
        // guest and guest_nice are counted in user and nice already.
        for (int column = 1; column < columns.size() && column <= 8; ++column) {
            bool ok = false;
            const quint64 value = columns.at(column).toULongLong(&ok);
            valid = valid && ok;
            ticks.total += value;
            if (column == 4 || column == 5)
                ticks.idle += value;
        }
        if (valid)
            cores.insert(core, ticks);
    }
    return cores;
}

QList<std::optional<double>> coreLoads(const QMap<int, CoreTicks> &previous,
                                       const QMap<int, CoreTicks> &current, int processors)
{
    QList<std::optional<double>> loads;
    const int count = qBound(0, processors, maxCounters);
    for (int core = 0; core < count; ++core) {
        const auto before = previous.constFind(core);
        const auto now = current.constFind(core);
        std::optional<double> load;
        // A core taken off line and back on restarts its counters: a reading
        // that went backwards is no interval.
        if (before != previous.cend() && now != current.cend() && now->total > before->total &&
            now->idle >= before->idle) {
            const double idle = double(now->idle - before->idle);
            const double total = double(now->total - before->total);
            load = qBound(0.0, 100.0 * (1.0 - idle / total), 100.0);
        }
        loads << load;
    }
    return loads;
}

Texts format(const QList<std::optional<double>> &loads, int processors)
{
    QStringList parts;
    qint64 total = 0;
    for (int core = 0; core < loads.size(); ++core) {
        if (!loads.at(core))
            continue;
        const qint64 rounded = wholePercent(*loads.at(core));
        parts << QStringLiteral("코어%1: %2").arg(core + 1).arg(rounded);
        total += rounded;
    }
    if (parts.isEmpty() || processors <= 0) // no valid core, or nothing to divide by
        return {QString(), noLoad};
    // The separator stands between values only, so a core without a value
    // leaves no stray "%, " behind.
    return {parts.join(QStringLiteral("%, ")) + QLatin1Char('%'),
            QString::number(wholePercent(double(total) / processors)) + QLatin1Char('%')};
}

} // namespace CpuLoad

CpuLoad::Texts CpuLoadMeter::sample(const std::optional<QString> &statText)
{
    if (!statText) {
        m_previous.reset();
        return CpuLoad::format({}, m_processors);
    }
    QMap<int, CpuLoad::CoreTicks> current = CpuLoad::parseStat(*statText);
    CpuLoad::Texts texts;
    if (m_previous)
        texts =
            CpuLoad::format(CpuLoad::coreLoads(*m_previous, current, m_processors), m_processors);
    else
        texts = CpuLoad::format({}, m_processors);
    m_previous = std::move(current);
    return texts;
}
