#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// One engine start: the program and its arguments (started without a shell,
// so no character of a file name can become an option or a command), and
// the text the log shows for it.
struct EngineLaunch
{
    QString program;
    QStringList arguments;
    QString displayText;
    // Nice value to start the engine with; none keeps the system default.
    std::optional<int> niceValue;
};
