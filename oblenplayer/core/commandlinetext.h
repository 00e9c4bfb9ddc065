#pragma once

#include <QString>
#include <QStringList>

// The program's command line as one text, rebuilt from its arguments: they
// are joined by blanks, and an argument after "/open" that is not already in
// double quotes is put in them. So `oblenplayer /open "/a b/c.mkv"` from a
// shell, `oblenplayer '/open "/a b/c.mkv"'` and the desktop entry's
// `oblenplayer /open %f` all give `/open "/a b/c.mkv"`.
QString commandLineText(const QStringList &arguments);

// The path after the first "/open " and a double quote, up to the next
// double quote; empty when the marker or the closing quote is missing.
QString openPathFromCommandLine(const QString &text);
