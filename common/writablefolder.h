#pragma once

#include <QString>

// Where a program keeps the files it writes (Tavrin's setting/ files,
// OblenPlayer's qzconfig.ini). A copy that lives in a folder of its own, as
// the build tree or an unpacked archive, keeps them beside itself, where its
// users have always found them. An installed copy keeps them in userFolder,
// which is created when missing: one whose folder cannot be written, and one
// in the bin/ folder of an installation prefix (bin/ beside share/, as under
// /usr, /usr/local or ~/.local), which root or the owner of ~/.local could
// write, but where files the package manager does not know about must not appear.
QString folderForWrites(const QString &programFolder, const QString &userFolder);
