#include "cmdmod.h"

#include "cmdcls.h"
#include "state/playerstate.h"

#include <sys/resource.h>

namespace cmdmod {

namespace {
struct PriorityRow
{
    int priorityClass;
    int nice;
};

// Indexed by the cpuPriorityMenu item.
constexpr PriorityRow priorityTable[] = {
    {REALTIME_PRIORITY_CLASS, -20},     {HIGH_PRIORITY_CLASS, -10},
    {ABOVE_NORMAL_PRIORITY_CLASS, -5},  {NORMAL_PRIORITY_CLASS, 0},
    {BELOW_NORMAL_PRIORITY_CLASS, 5},   {IDLE_PRIORITY_CLASS, 19},
};
constexpr int rows = sizeof(priorityTable) / sizeof(priorityTable[0]);
} // namespace

int priorityClassForItem(std::optional<int> item)
{
    if (!item || *item < 0 || *item >= rows)
        return 0;
    return priorityTable[*item].priorityClass;
}

std::optional<int> niceForPriorityClass(int priorityClass)
{
    for (const PriorityRow &row : priorityTable) {
        if (row.priorityClass == priorityClass)
            return row.nice;
    }
    return std::nullopt;
}

int setEnginePriority(const PlayerState &state, const cmdcls *engine, int priorityClass)
{
    const QString handle = state.value(Field::processHandleField);
    if (handle.isEmpty() || !engine || !engine->isRunning())
        return 0;
    if (handle != QString::number(engine->processId()))
        return 0;
    const std::optional<int> nice = niceForPriorityClass(priorityClass);
    if (!nice)
        return 0;
    return setpriority(PRIO_PROCESS, static_cast<id_t>(engine->processId()), *nice) == 0 ? 1 : 0;
}

} // namespace cmdmod
