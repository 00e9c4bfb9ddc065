#pragma once

#include <QByteArray>
#include <QString>

// The version resource of a program file: the raw VS_VERSIONINFO block of a
// Windows (PE) executable, or for any other program one made from the banner
// line it prints when run without arguments. Empty when the file is missing,
// has neither, or prints nothing within `timeoutMs`; a program still running
// then is killed. Blocks for up to the time-out: call it off the UI thread.
QByteArray readVersionResource(const QString &program, int timeoutMs);

// The version block of a PE image, empty when it is not one or has none.
QByteArray peVersionResource(const QByteArray &image);
