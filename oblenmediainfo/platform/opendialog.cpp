#include "opendialog.h"

#include "input/openselection.h"

#include "common/filename.h"

#include <QFileDialog>
#include <QUrl>

QString FileOpenDialog::ShowOpen(QWidget *owner)
{
    QFileDialog dialog(owner, QStringLiteral("열기"), m_lastFolder);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // "*.*" means every file on Windows; here files without a dot must be
    // listed too, so the pattern is "*" and only the caption is shown.
    dialog.setNameFilter(QStringLiteral("모든 파일(*.*) (*)"));
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.selectFile(QString());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    // Read as addresses, the answers keep the bytes of names that are not UTF-8.
    QStringList files;
    for (const QUrl &url : dialog.selectedUrls())
        files << fileNameFromUrl(url);
    if (files.isEmpty())
        return QString();
    // The files' own folder, in the same bytes as their names: the dialog's
    // folder reads a name that is not UTF-8 as U+FFFD, and the names would
    // then not be found relative to it.
    const qsizetype slash = files.first().lastIndexOf(QLatin1Char('/'));
    m_lastFolder = slash > 0 ? files.first().left(slash) : QStringLiteral("/");
    return dialogTextForFiles(m_lastFolder, files);
}
