#pragma once

#include <QString>

// A memory figure of a running process from /proc/<process>/status, in KiB:
// "VmRSS" (resident now) or "VmHWM" (the peak so far). process is a process
// id or "self". 0 when the process is gone or the figure is not there.
qint64 processMemoryKb(const QString &process, const char *figure);
