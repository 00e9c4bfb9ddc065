#include "infotextbox.h"

#include "common/filename.h"


#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QMimeData>
#include <QUrl>

InfoTextBox::InfoTextBox(QWidget *parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Nothing is ever edited here: an undo history would only hold a second
    // copy of every report appended.
    document()->setUndoRedoEnabled(false);
    // A read-only text edit refuses drops by itself; this box takes files.
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
}

QStringList InfoTextBox::localFiles(const QMimeData *data)
{
    // The names keep their bytes: one that is not UTF-8 still opens.
    return droppedFileNames(data);
}

void InfoTextBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (localFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void InfoTextBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (localFiles(event->mimeData()).isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

void InfoTextBox::dropEvent(QDropEvent *event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Q_EMIT filesDropped(paths);
}
