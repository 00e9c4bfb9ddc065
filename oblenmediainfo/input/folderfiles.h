#pragma once

#include <QString>
#include <QStringList>

// The files a folder stands for when it is dropped or opened: the files in it
// and in every folder below it, chosen and ordered as the `mediainfo` command
// does for a folder. Regular files only, through symbolic links too; FIFOs,
// devices and sockets are left out, since opening one can block for ever.
// Files whose names start with a dot are left out, folders whose names do are
// not. The order is that of the whole paths, compared byte by byte (the code
// points' order). A link back to a folder above it is not followed: the tree
// would never end. A folder that cannot be read is passed over.
QStringList filesBelow(const QString &folder);
