#pragma once

// A medium under a name given as bytes (not UTF-8, or reading as an
// address), as the three programs' tests open it: a link in a folder of its
// own, which is the current folder while the link lives.
#include "common/commandlinetext.h"
#include "common/filename.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <unistd.h>

class ByteNamedLink
{
public:
    // "@" in the name stands for the folder; a name without it is relative.
    ByteNamedLink(const QString &target, QByteArray name) : m_previous(QDir::currentPath())
    {
        const QByteArray here = QFile::encodeName(m_folder.path());
        m_name = name.replace('@', here);
        m_file = name.startsWith('/') ? name : here + '/' + name;
        m_made = QDir::setCurrent(m_folder.path()) &&
                 QDir().mkpath(QString::fromUtf8(m_file.left(m_file.lastIndexOf('/')))) &&
                 ::symlink(QFile::encodeName(target).constData(), m_file.constData()) == 0;
    }
    ~ByteNamedLink()
    {
        // QTemporaryDir could not remove what QDir cannot list.
        ::unlink(m_file.constData());
        QDir::setCurrent(m_previous);
    }

    bool made() const { return m_made; }
    QByteArray folder() const { return QFile::encodeName(m_folder.path()); }
    // The name as given, and the whole path of the link.
    const QByteArray &name() const { return m_name; }
    const QByteArray &file() const { return m_file; }
    // The program started with "/open" and the name, as a shell passes it.
    ProgramCommandLine commandLine() const
    {
        QByteArray program("program"), open("/open"), name(m_name);
        char *argv[] = {program.data(), open.data(), name.data(), nullptr};
        return readCommandLine(programArguments(3, argv));
    }
    // A file manager's drop of the link: its "text/uri-list" bytes.
    QByteArray uriList() const { return "file://" + m_file.toPercentEncoding("/") + "\r\n"; }

private:
    QTemporaryDir m_folder;
    QString m_previous;
    QByteArray m_name;
    QByteArray m_file;
    bool m_made = false;
};
