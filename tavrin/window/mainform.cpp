#include "mainform.h"

#include "adjust/subtitleform.h"
#include "bottomtoolbar.h"
#include "controls/transport.h"
#include "engine/commands.h"
#include "engine/startup.h"
#include "outputmirror.h"
#include "screenmodes.h"
#include "state/playbacktracker.h"
#include "statustoolbar.h"
#include "videowindow.h"

#include "common/filename.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {
// The bytes of the names are kept: a name that is not UTF-8 still opens.
QStringList localFiles(const QMimeData *data)
{
    return droppedFileNames(data);
}
} // namespace

mainform::mainform(SystemServices *services, QWidget *parent)
    : QWidget(parent), m_core(services), m_opener(m_core), m_openActions(m_opener, m_core, this)
{
    setObjectName(QStringLiteral("mainform"));
    setWindowTitle(MediaOpener::plainTitle);
    // The main window never takes text: keys arrive as plain key codes
    // whatever input method the desktop runs.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    resize(524, 296);

    m_videoFrame = new QWidget(this);
    m_videoFrame->setObjectName(QStringLiteral("videoFrame"));
    m_videoFrame->setAutoFillBackground(true);
    QPalette framePalette = m_videoFrame->palette();
    framePalette.setColor(QPalette::Window, Qt::black);
    m_videoFrame->setPalette(framePalette);

    m_videoWindow = new VideoWindow(m_videoFrame);
    m_core.setVideoWindow([this] { return m_videoWindow->windowIdForRun(); },
                          m_videoWindow->colourKeyText());

    m_fontCacheNotice = new QLabel(
        QStringLiteral("자막 글꼴 캐시를 만드는 중입니다.\n처음 한 번은 재생이 시작되기까지 "
                       "시간이 걸릴 수 있습니다."),
        m_videoFrame);
    m_fontCacheNotice->setObjectName(QStringLiteral("fontCacheNotice"));
    m_fontCacheNotice->setAlignment(Qt::AlignCenter);
    // A palette and a margin rather than a style sheet: the sheet's style
    // costs milliseconds to build, and nothing runs before the engine starts
    // that need not.
    QPalette noticePalette = m_fontCacheNotice->palette();
    noticePalette.setColor(QPalette::Window, QColor(240, 240, 240));
    noticePalette.setColor(QPalette::WindowText, Qt::black);
    m_fontCacheNotice->setPalette(noticePalette);
    m_fontCacheNotice->setAutoFillBackground(true);
    m_fontCacheNotice->setMargin(12);
    m_fontCacheNotice->hide();

    connect(&m_core, &PlayerCore::engineRunningChanged, m_videoWindow,
            &VideoWindow::setEngineDrawing);
    connect(&m_core, &PlayerCore::openFileRequested, &m_openActions, &OpenActions::openMediaFile);
    connect(&m_core, &PlayerCore::fontCacheNoticeRequested, this, &mainform::showFontCacheNotice);
    connect(&m_opener, &MediaOpener::windowTitleChanged, this, &QWidget::setWindowTitle);

    setUpTransportBars();
    setUpScreen();
}

mainform::~mainform() = default;

QPlainTextEdit *mainform::engineOutputBox()
{
    // Built on first use, with what the engine has printed so far: a text
    // box costs milliseconds to make, and the engine should not wait for one
    // that nobody may look at.
    if (!m_engineOutputBox) {
        m_engineOutputBox = new QPlainTextEdit(this);
        m_engineOutputBox->setObjectName(QStringLiteral("engineOutputBox"));
        m_engineOutputBox->setReadOnly(true);
        m_engineOutputBox->hide();
        (new OutputMirror(m_core.state(), m_engineOutputBox, this))->showWhole();
    }
    return m_engineOutputBox;
}

bool mainform::start(const ProgramCommandLine &commandLine)
{
    if (!m_core.services().isSupportedSystem()) {
        // A plain notice with an OK button; the program ends after it.
        QMessageBox refusal(QMessageBox::NoIcon, QApplication::applicationName(),
                            Startup::unsupportedSystemMessage, QMessageBox::Ok, this);
        refusal.exec();
        return false;
    }
    Startup::chooseMachineDefaults(m_core);
    // The frame's width beside the client area, for the minimum window size.
    m_widthProbe = QString::number(frameGeometry().width() - width());
    if (m_core.options().isChecked(Menu::showBarsMenu))
        normalMode();
    else
        minimalMode();
    openCommandLineMedia(commandLine);
    return true;
}

void mainform::launchEngine()
{
    m_core.launchEngine();
}

void mainform::openCommandLineMedia(const ProgramCommandLine &commandLine)
{
    m_opener.openCommandLineMedia(commandLine);
}

void mainform::normalMode()
{
    m_modes->normalMode();
}

void mainform::minimalMode()
{
    m_modes->minimalMode();
}

void mainform::toggleFullScreen()
{
    m_modes->toggleFullScreen();
}

void mainform::externalFullScreen()
{
    m_modes->externalFullScreen();
}

void mainform::externalFillScreen()
{
    m_modes->externalFillScreen();
}

bool mainform::setWindowSizeFactor(double factor)
{
    return m_modes->setWindowSizeFactor(factor);
}

void mainform::applyAspect()
{
    m_modes->applyAspect();
}

void mainform::showSubtitleSettings()
{
    if (m_subtitleForm && m_subtitleForm->isVisible()) {
        m_subtitleForm->raise();
        m_subtitleForm->activateWindow();
        return;
    }
    m_subtitleForm = new subtitleform(m_core, m_opener, this);
    m_subtitleForm->setAttribute(Qt::WA_DeleteOnClose);
    m_subtitleForm->show();
}

subtitleform *mainform::subtitleSettingsWindow() const
{
    return m_subtitleForm.data();
}

void mainform::showFontCacheNotice(bool show)
{
    if (!show) {
        m_fontCacheNotice->hide();
        return;
    }
    // Make room for the notice, then centre it over the picture.
    const QSize notice = m_fontCacheNotice->sizeHint();
    if (width() < notice.width())
        resize(notice.width(), height());
    if (m_videoFrame->height() < notice.height())
        resize(width(), notice.height() + (height() - m_videoFrame->height()));
    m_fontCacheNotice->resize(notice);
    m_fontCacheNotice->move(m_videoFrame->width() / 2 - notice.width() / 2,
                            m_videoFrame->height() / 2 - notice.height() / 2);
    m_fontCacheNotice->show();
    m_fontCacheNotice->raise();
}

void mainform::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_modes->layOut();
}

bool mainform::overVideo(const QPoint &position) const
{
    return m_videoFrame->geometry().contains(position);
}

void mainform::dragEnterEvent(QDragEnterEvent *event)
{
    if (overVideo(event->position().toPoint()) && !localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void mainform::dropEvent(QDropEvent *event)
{
    if (!overVideo(event->position().toPoint()))
        return;
    const QString file = MediaOpener::singleDroppedFile(localFiles(event->mimeData()));
    event->acceptProposedAction();
    if (!file.isEmpty())
        m_opener.openAndPlay(file, MediaOpener::displayNameOf(file));
}

void mainform::closeEvent(QCloseEvent *event)
{
    m_core.applyBackground(QString());
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    m_opener.closeEngine();
    QFile::remove(m_core.subtitleStylePath());
    event->accept();
}
