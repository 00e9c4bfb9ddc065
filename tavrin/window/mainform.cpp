#include "mainform.h"

#include "bottomtoolbar.h"
#include "controls/transport.h"
#include "engine/commandlinetext.h"
#include "engine/commands.h"
#include "state/playbacktracker.h"
#include "statustoolbar.h"
#include "videowindow.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QThread>

namespace {
// Engine output keeps CR LF (the parsers search for it); a text widget shows
// each CR LF as one line break.
QString forDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
} // namespace

mainform::mainform(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mainform"));
    setWindowTitle(plainTitle);
    // The main window never takes text: keys arrive as plain key codes
    // whatever input method the desktop runs.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setFocusPolicy(Qt::StrongFocus);
    resize(524, 296);

    m_videoFrame = new QWidget(this);
    m_videoFrame->setObjectName(QStringLiteral("videoFrame"));
    m_videoFrame->setAutoFillBackground(true);
    QPalette framePalette = m_videoFrame->palette();
    framePalette.setColor(QPalette::Window, Qt::black);
    m_videoFrame->setPalette(framePalette);

    m_videoWindow = new VideoWindow(m_videoFrame);

    m_engineOutputBox = new QPlainTextEdit(this);
    m_engineOutputBox->setObjectName(QStringLiteral("engineOutputBox"));
    m_engineOutputBox->setReadOnly(true);
    m_engineOutputBox->hide();

    PlayerState &state = m_core.state();
    connect(&state, &PlayerState::outputAppended, this, [this](const QString &piece) {
        QTextCursor cursor(m_engineOutputBox->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(forDisplay(piece));
        m_engineOutputBox->moveCursor(QTextCursor::End);
    });
    connect(&state, &PlayerState::changed, this, [this](Field field, const QString &value) {
        if (field == Field::engineOutputBox)
            m_engineOutputBox->setPlainText(forDisplay(value));
    });

    connect(&m_core, &PlayerCore::engineRunningChanged, m_videoWindow,
            &VideoWindow::setEngineDrawing);
    connect(&m_core, &PlayerCore::openFileRequested, this, &mainform::openMediaFile);

    // Machine-dependent defaults: X11 output works on every X server, and the
    // engine runs below normal priority on a single processor.
    OptionStore &options = m_core.options();
    if (!options.checkedItem(Menu::videoOutputMenu))
        options.choose(Menu::videoOutputMenu, 1);
    if (!options.checkedItem(Menu::cpuPriorityMenu))
        options.choose(Menu::cpuPriorityMenu, QThread::idealThreadCount() == 1 ? 4 : 3);

    setUpTransportBars();
    layoutVideo();
}

mainform::~mainform() = default;

void mainform::launchEngine()
{
    m_core.setVideoWindow(m_videoWindow->windowIdText(), m_videoWindow->colourKeyText());
    m_core.launchEngine();
}

void mainform::setMediaTitle(const QString &path)
{
    setWindowTitle(QFileInfo(path).fileName() + titleSuffix);
}

void mainform::openCommandLineMedia(const QString &commandLine)
{
    if (commandLine.isEmpty())
        return;
    PlayerState &state = m_core.state();
    state.setValue(Field::parameterOpenedField, QStringLiteral("1"));
    state.setValue(Field::parameterInfoField, commandLine);
    const QString path = openPathFromCommandLine(commandLine);
    if (path.isEmpty())
        return;
    setMediaTitle(path);
    state.setValue(Field::mediaPathField, path);
    launchEngine();
}

void mainform::openMediaFile()
{
    const QString path = QFileDialog::getOpenFileName(this);
    if (path.isEmpty())
        return;
    m_core.state().setValue(Field::mediaPathField, path);
    setMediaTitle(path);
    launchEngine();
}

void mainform::layoutVideo()
{
    // The video lies between the status bar at the top and the bottom bar.
    const int top = m_statusToolbar->height();
    m_statusToolbar->setGeometry(0, 0, width(), top);
    m_bottomToolbar->setGeometry(0, height() - m_bottomToolbar->height(), width(),
                                 m_bottomToolbar->height());
    m_videoFrame->setGeometry(0, top, width(), qMax(0, height() - top - m_bottomToolbar->height()));
    applyAspect();
}

void mainform::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutVideo();
}

void mainform::keyPressEvent(QKeyEvent *event)
{
    Q_EMIT keyPressed(event->key());
    QWidget::keyPressEvent(event);
}

void mainform::closeEvent(QCloseEvent *event)
{
    m_core.sendCommand(EngineCommand::quit);
    event->accept();
}
