#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// The load of every processor core, measured from the kernel's time counters
// (/proc/stat): a core's load over an interval is the share of its ticks that
// were not idle, so 1 - (idle + iowait) / total, each counted between two
// readings.
namespace CpuLoad {

// The failure the user is told about when the counters cannot be read at all.
inline const QString failureMessage = QStringLiteral("CPU 사용률 추출 실패");
// The average's text while no core has a valid value.
inline const QString noLoad = QStringLiteral("-");
// The counter table holds processors 0 to 99; cores beyond are not shown.
inline constexpr int maxCounters = 100;

struct CoreTicks
{
    quint64 idle = 0;  // idle + iowait
    quint64 total = 0; // every state but the guest times (user already has them)
};

// The per-core rows ("cpuN ...") of a /proc/stat text, by core number. The
// summary row "cpu" and rows too short to hold the idle time are left out.
QMap<int, CoreTicks> parseStat(const QString &text);

// Each core's load in percent over the interval between two readings, for
// cores 0 to processors - 1 (at most maxCounters). A core without a row in
// both readings, or whose counters did not advance, has no valid value.
QList<std::optional<double>> coreLoads(const QMap<int, CoreTicks> &previous,
                                       const QMap<int, CoreTicks> &current, int processors);

struct Texts
{
    QString perCore; // "코어1: 12%, 코어2: 30%", empty without a valid value
    QString average; // "21%", or noLoad
};

// The two labels' texts: every valid value rounded to a whole percent, the
// core named by its number (counted from 1) whatever the cores before it
// gave; the average is the sum of the rounded values over all processors,
// rounded again.
Texts format(const QList<std::optional<double>> &loads, int processors);

} // namespace CpuLoad

// Successive readings of the counters, each turned into the labels' texts.
// The first reading has nothing to compare with and shows no load.
class CpuLoadMeter
{
public:
    explicit CpuLoadMeter(int processors) : m_processors(processors) {}

    // One reading; nothing (an unreadable counter file) gives no load and
    // makes the next reading start afresh.
    CpuLoad::Texts sample(const std::optional<QString> &statText);

private:
    int m_processors;
    std::optional<QMap<int, CpuLoad::CoreTicks>> m_previous;
};
