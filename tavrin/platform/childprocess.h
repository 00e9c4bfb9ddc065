#pragma once

#include <QProcess>
#include <functional>
#include <memory>
#include <vector>

// Makes a child process end with the program, even when the program is
// killed and has no chance to end it: the child asks for SIGKILL when its
// parent goes (an engine may ignore SIGTERM, or be stuck writing output that
// nobody reads any more). The request follows the thread that starts the
// process, so start it from a thread that outlives it. `inChild` runs in the
// child too, after that request and before the program is executed.
class ExactCommandLine;
// With `exact`, the child is replaced by that command line at the end.
void endWithProgram(QProcess &process, std::function<void()> inChild = {},
                    std::shared_ptr<const ExactCommandLine> exact = {});

// The program and its arguments as the exact bytes of the names they hold
// (common/filename.h), made before the start: QProcess passes arguments
// through QFile::encodeName, which turns a file name's bytes that are not
// UTF-8 into '?', and the child may not build anything once forked.
class ExactCommandLine
{
public:
    ExactCommandLine(const QString &program, const QStringList &arguments);
    // In the child: replaces it with the program; returns only on failure,
    // leaving QProcess's own start to report it.
    void exec() const;

private:
    std::vector<QByteArray> m_bytes;
    std::vector<char *> m_argv;
};
