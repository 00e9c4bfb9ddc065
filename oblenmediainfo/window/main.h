#pragma once

#include "common/commandlinetext.h"
#include "library/MediaInfoDLLMOD.h"
#include "report/batchdescriber.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>

#include <deque>
#include <memory>

class InfoTextBox;
class OpenDialog;
class QAction;

namespace oblenmediainfo {

// The main window: the report text box over the whole client area, the two
// menu-bar entries, and the procedures that describe files. The library is
// asked away from this thread; the text box takes each report as it lands, in
// the order the files were given.
class main : public QMainWindow
{
    Q_OBJECT
public:
    explicit main(const QString &libraryName = MediaInfoDLLMOD::defaultLibraryName,
                  QWidget *parent = nullptr);
    ~main() override;

    InfoTextBox *infoText() const { return m_infoText; }
    QAction *openAction() const { return m_openAction; }
    QAction *aboutAction() const { return m_aboutAction; }
    BatchDescriber &describer() { return m_describer; }
    // Replaces the open dialog (a test names the files it would return).
    void setOpenDialog(std::unique_ptr<OpenDialog> dialog);

    QString fileOrUrlField;
    QString fileCountField;
    QString parameterInfoField;

    // Describes the file in fileOrUrlField; its report replaces the text.
    void describeFile();
    // Describes the file in fileOrUrlField; its report is appended.
    void describeNextFile();
    // Describes the file named by "/open" on the program's command line; a
    // command line without one does nothing.
    void openCommandLine(const ProgramCommandLine &commandLine);
    // The open dialog's choice (the "열기" menu).
    void openFiles();
    // Files dropped on the text box, in drop order.
    void describeDroppedFiles(const QStringList &paths);
    // Describes the files given, each folder among them standing for the
    // files below it (see input/folderfiles.h); one file replaces the text,
    // several are appended. fileCountField counts the files when folders
    // were given; otherwise the caller has set it.
    void describeGiven(const QStringList &paths);
    void showAbout();

    // Files given and not yet in the text box.
    bool isDescribing() const { return m_describer.pendingCount() > 0 || m_showQueued; }

Q_SIGNALS:
    // Every file given so far is in the text box.
    void describingFinished();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // Queues the file or folder in fileOrUrlField: its report (or, when
    // readyText is given, that text) replaces the text or is appended.
    void queue(bool replaces, const QString &readyText = QString());
    void startNewText();
    void showReport(const QString &report);
    void showUnshownReports();
    void dropUnshownReports();

    MediaInfoDLLMOD m_library;
    BatchDescriber m_describer;
    std::unique_ptr<OpenDialog> m_openDialog;
    InfoTextBox *m_infoText = nullptr;
    QAction *m_openAction = nullptr;
    QAction *m_aboutAction = nullptr;
    // For each file still being described: whether its report replaces the
    // text (describeFile) or is appended (describeNextFile).
    std::deque<bool> m_replaces;
    // Reports handed back and not yet put into the text box, already joined
    // as the text box will take them.
    QString m_unshown;
    bool m_unshownReplaces = false;
    bool m_showQueued = false;
    // The text box takes the reports that landed meanwhile at most once per
    // showInterval: every edit of it costs a layout and a repaint of the
    // view, which on a long batch would cost more than reading the files.
    static constexpr int showInterval = 100;
    QTimer m_showTimer;
    QElapsedTimer m_sinceShown;
    bool m_firstShownLogged = false;
};

} // namespace oblenmediainfo
