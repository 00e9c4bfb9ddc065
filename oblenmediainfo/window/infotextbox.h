#pragma once

#include <QPlainTextEdit>
#include <QStringList>

// The report text box: read-only, fixed-pitch so the library's columns line
// up, and a drop target for local files.
class InfoTextBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit InfoTextBox(QWidget *parent = nullptr);

    // The local files a drag carries, in its order; empty when it carries
    // none.
    static QStringList localFiles(const QMimeData *data);

Q_SIGNALS:
    void filesDropped(const QStringList &paths);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
