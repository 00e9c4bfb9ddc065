#pragma once

#include <QProcess>
#include <functional>

// Makes a child process end with the program, even when the program is
// killed and has no chance to end it: the child asks for SIGKILL when its
// parent goes (an engine may ignore SIGTERM, or be stuck writing output that
// nobody reads any more). The request follows the thread that starts the
// process, so start it from a thread that outlives it. `inChild` runs in the
// child too, after that request and before the program is executed.
void endWithProgram(QProcess &process, std::function<void()> inChild = {});
