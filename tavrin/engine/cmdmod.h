#pragma once

#include <optional>

class cmdcls;
class PlayerState;

// Engine priority: the Windows priority classes that the CPU-priority menu
// speaks in, and the nice values that stand for them here.
namespace cmdmod {

constexpr int REALTIME_PRIORITY_CLASS = 0x100;
constexpr int HIGH_PRIORITY_CLASS = 0x80;
constexpr int ABOVE_NORMAL_PRIORITY_CLASS = 0x8000;
constexpr int NORMAL_PRIORITY_CLASS = 0x20;
constexpr int BELOW_NORMAL_PRIORITY_CLASS = 0x4000;
constexpr int IDLE_PRIORITY_CLASS = 0x40;

// The class of a cpuPriorityMenu item (0 "실시간" .. 5 "낮음"); 0 (the
// system default) when no item is checked.
int priorityClassForItem(std::optional<int> item);
// The nice value of a class; none for 0 or an unknown class.
std::optional<int> niceForPriorityClass(int priorityClass);

// Applies a class to the running engine. Returns 0 when processHandleField is
// empty, when no engine runs (an ended run's id may already belong to another
// process) or when the system refuses; nonzero when the change was made.
int setEnginePriority(const PlayerState &state, const cmdcls *engine, int priorityClass);

} // namespace cmdmod
