#pragma once

#include <QString>
#include <QStringList>

// What the open dialog returned, in the dialog's own form: one path when one
// file was chosen; otherwise the folder followed by the chosen names, all
// separated by NUL characters. Empty when the dialog was cancelled.
struct OpenSelection
{
    // The highest part index: 0 for one file, the number of names for
    // several, -1 for none.
    int highestIndex = -1;
    QStringList paths;
};

OpenSelection openSelectionFromDialogText(const QString &returned);

// The dialog's text for a choice of files: the lone path, or the folder and
// the names relative to it.
QString dialogTextForFiles(const QString &folder, const QStringList &absolutePaths);
