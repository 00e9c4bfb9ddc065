#pragma once

#include <QString>
#include <QStringList>

// The command line of each program of the suite: "/open" followed by the path
// of the medium to open at start-up.

// The program's command line as one text, rebuilt from its arguments: they
// are joined by blanks, and an argument after "/open" that is not already in
// double quotes is put in them. So `tavrin /open "/a b/c.mkv"` from a shell,
// `tavrin '/open "/a b/c.mkv"'` and a desktop entry `tavrin /open %f` all
// give `/open "/a b/c.mkv"`.
QString commandLineText(const QStringList &arguments);

// The path named by "/open " and a double quote (case-sensitive) up to the
// next double quote; empty when the marker or the closing quote is missing.
QString openPathFromCommandLine(const QString &text);

struct ProgramCommandLine
{
    ProgramCommandLine() = default;
    ProgramCommandLine(const QString &text, const QString &openPath)
        : text(text), openPath(openPath)
    {
    }
    // A command line handed over as one text: the path is read by the text rule.
    ProgramCommandLine(const QString &text) : text(text), openPath(openPathFromCommandLine(text)) {}

    QString text;     // the arguments as one text, kept as the program was given it
    QString openPath; // the medium to open, empty for none
};

// The command line read from the program's arguments. When "/open" and the
// path arrive as separate arguments (a shell, the desktop entry's %f) the path
// is that argument whole, so a double quote inside a file name stays part of
// the name; only a pair of quotes around the whole argument is taken off.
// A single argument that holds both ('/open "/a b.mkv"') is read from the text.
ProgramCommandLine readCommandLine(const QStringList &arguments);
