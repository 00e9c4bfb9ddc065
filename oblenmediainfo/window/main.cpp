#include "main.h"

#include "info.h"
#include "infotextbox.h"
#include "input/folderfiles.h"
#include "input/openselection.h"
#include "common/freedmemory.h"
#include "platform/opendialog.h"
#include "report/describehelper.h"
#include "report/report.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QTextCursor>

#include <algorithm>
#include <ctime>

// The moment the first report is on the screen, for the start-up figure of
// bench/oblenmediainfo.sh; off unless asked for.
Q_LOGGING_CATEGORY(lcTiming, "oblenmediainfo.timing", QtWarningMsg)

namespace oblenmediainfo {

namespace {

// The text box shows each CR LF of a report as one line break.
QString displayed(QString text)
{
    return text.replace(report::lineBreak, QStringLiteral("\n"));
}

} // namespace

main::main(const QString &libraryName, QWidget *parent)
    : QMainWindow(parent), m_library(libraryName), m_describer(m_library),
      m_openDialog(std::make_unique<FileOpenDialog>())
{
    keepLargeBuffersReturnable();
    setWindowTitle(report::programTitle);
    resize(720, 560);
    m_describer.setHelperProgram(DescribeHelper::installedProgram());

    m_infoText = new InfoTextBox(this);
    m_infoText->setPlainText(report::initialText);
    setCentralWidget(m_infoText);

    m_openAction = menuBar()->addAction(QStringLiteral("열기"));
    m_aboutAction = menuBar()->addAction(QStringLiteral("프로그램 정보"));
    connect(m_openAction, &QAction::triggered, this, &main::openFiles);
    connect(m_aboutAction, &QAction::triggered, this, &main::showAbout);
    connect(m_infoText, &InfoTextBox::filesDropped, this, &main::describeDroppedFiles);

    connect(&m_describer, &BatchDescriber::reportReady, this,
            [this](int, const QString &, const QString &text) { showReport(text); });
    m_showTimer.setSingleShot(true);
    connect(&m_showTimer, &QTimer::timeout, this, &main::showUnshownReports);
}

main::~main() = default;

void main::setOpenDialog(std::unique_ptr<OpenDialog> dialog)
{
    m_openDialog = std::move(dialog);
}

void main::describeFile()
{
    queue(true);
}

void main::describeNextFile()
{
    queue(false);
}

void main::queue(bool replaces, const QString &readyText)
{
    setWindowTitle(replaces ? report::fileTitle(fileOrUrlField)
                            : report::batchTitle(fileCountField));
    m_replaces.push_back(replaces);
    if (readyText.isNull())
        m_describer.add(fileOrUrlField);
    else
        m_describer.addReady(fileOrUrlField, readyText);
}

void main::describeGiven(const QStringList &paths)
{
    struct Entry
    {
        QString path;
        bool emptyFolder = false;
    };
    std::vector<Entry> entries;
    int fileCount = 0;
    bool folders = false;
    for (const QString &path : paths) {
        if (!QFileInfo(path).isDir()) {
            entries.push_back({path});
            ++fileCount;
            continue;
        }
        folders = true;
        const QStringList files = filesBelow(path);
        // A folder with nothing to describe says so in its place.
        if (files.isEmpty())
            entries.push_back({path, true});
        for (const QString &file : files)
            entries.push_back({file});
        fileCount += int(files.size());
    }
    // The title counts the files described, not the folders given.
    if (folders)
        fileCountField = QString::number(fileCount);
    const bool one = entries.size() == 1;
    for (const Entry &entry : entries) {
        fileOrUrlField = entry.path;
        queue(one, entry.emptyFolder ? report::emptyFolderText(entry.path) : QString());
    }
}

void main::showReport(const QString &text)
{
    const bool replace = m_replaces.empty() || m_replaces.front();
    if (!m_replaces.empty())
        m_replaces.pop_front();
    // Reports that land together go into the text box in one edit: a long
    // batch then costs a few edits of the document instead of one per file.
    // The first report of a text is shown at once.
    if (replace) {
        m_unshown = text;
        m_unshownReplaces = true;
    } else {
        const bool textEmpty =
            m_unshown.isEmpty() && (m_unshownReplaces || m_infoText->document()->isEmpty());
        if (!textEmpty)
            m_unshown += report::lineBreak + report::lineBreak;
        m_unshown += text;
    }
    if (!m_showQueued) {
        m_showQueued = true;
        const qint64 sinceShown = m_sinceShown.isValid() ? m_sinceShown.elapsed() : showInterval;
        m_showTimer.start(int(std::max<qint64>(0, showInterval - sinceShown)));
    }
}

void main::showUnshownReports()
{
    m_showQueued = false;
    if (m_unshownReplaces) {
        m_infoText->setPlainText(displayed(m_unshown));
    } else if (!m_unshown.isEmpty()) {
        // Appending at the end: the text already shown is not set again.
        QTextCursor end(m_infoText->document());
        end.movePosition(QTextCursor::End);
        end.insertText(displayed(m_unshown));
    }
    m_unshown.clear();
    m_unshownReplaces = false;
    m_sinceShown.start();
    if (!m_firstShownLogged && lcTiming().isDebugEnabled()) {
        m_firstShownLogged = true;
        m_infoText->viewport()->repaint();
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        qCDebug(lcTiming, "first report shown at %lld ns",
                static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec);
    }
    if (!isDescribing()) {
        releaseFreedMemory();
        Q_EMIT describingFinished();
    }
}

void main::dropUnshownReports()
{
    m_unshown.clear();
    m_unshownReplaces = false;
    m_showTimer.stop();
    m_showQueued = false;
    m_sinceShown.invalidate();
}

void main::startNewText()
{
    // Reports of an earlier batch still on their way must not land in the new
    // text.
    m_describer.clear();
    m_replaces.clear();
    dropUnshownReports();
    m_infoText->clear();
    releaseFreedMemory();
}

void main::openCommandLine(const ProgramCommandLine &commandLine)
{
    parameterInfoField = commandLine.text;
    const QString &path = commandLine.openPath;
    if (path.isEmpty())
        return;
    // The start-up text goes at once: a folder's reports are appended.
    startNewText();
    describeGiven({path});
}

void main::openFiles()
{
    const OpenSelection selection = openSelectionFromDialogText(m_openDialog->ShowOpen(this));
    // A cancelled dialog leaves the reports, the title and a batch still
    // being read as they were.
    if (selection.highestIndex < 0)
        return;
    startNewText();
    fileCountField = QString::number(selection.highestIndex);
    describeGiven(selection.paths);
}

void main::describeDroppedFiles(const QStringList &paths)
{
    startNewText();
    fileCountField = QString::number(paths.size());
    describeGiven(paths);
}

void main::showAbout()
{
    info about(this);
    about.exec();
}

void main::closeEvent(QCloseEvent *event)
{
    // Closing in the middle of a batch drops the files not yet started; the
    // describer waits only for those being read at this moment.
    m_describer.clear();
    m_replaces.clear();
    dropUnshownReports();
    event->accept();
}

} // namespace oblenmediainfo
