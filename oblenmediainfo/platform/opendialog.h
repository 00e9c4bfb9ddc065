#pragma once

#include <QString>

class QWidget;

// The open dialog, behind an interface a test can replace. ShowOpen returns
// the chosen files in the dialog's own form (see openselection.h): one path,
// or the folder and the names separated by NUL characters; empty on cancel.
class OpenDialog
{
public:
    virtual ~OpenDialog() = default;
    virtual QString ShowOpen(QWidget *owner) = 0;
};

// QFileDialog, multiple selection, titled "열기", every file shown.
class FileOpenDialog : public OpenDialog
{
public:
    QString ShowOpen(QWidget *owner) override;

private:
    // Each opening starts where the last choice was made.
    QString m_lastFolder;
};
