#include "mainform.h"

#include "core/statustext.h"
#include "core/transport.h"
#include "graph/gstgraph.h"
#include "window/controlbar.h"
#include "window/filtermenu.h"
#include "window/graphvideowindow.h"
#include "window/pinpropertyform.h"
#include "window/popupmenu.h"
#include "window/wheelvolume.h"

#include "common/filename.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QWindow>

namespace {

const QString crlf = QStringLiteral("\r\n");
// 4920 x 5190 twips, widened to the window's minimum width.
constexpr QSize startSize(328, 346);

// The video area: a native window the renderer's window is placed in.
class VideoAreaWidget : public QWidget
{
public:
    explicit VideoAreaWidget(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("picVideoWindow"));
        setAttribute(Qt::WA_NativeWindow);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, Qt::black);
        setPalette(p);
        setFocusPolicy(Qt::StrongFocus);
        setAttribute(Qt::WA_InputMethodEnabled, false);
    }
};

// Shown over the video area while nothing is loaded. Native as well, so it
// can lie above the native video area.
class VideoCover : public QWidget
{
public:
    explicit VideoCover(QWidget *parent) : QWidget(parent)
    {
        setObjectName(QStringLiteral("videoCover"));
        setAttribute(Qt::WA_NativeWindow);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        QLinearGradient gradient(0, 0, 0, height());
        gradient.setColorAt(0, QColor(0x20, 0x28, 0x38));
        gradient.setColorAt(1, QColor(0x08, 0x0a, 0x10));
        painter.fillRect(rect(), gradient);
        painter.setPen(QColor(0xc8, 0xd0, 0xe0));
        QFont font = painter.font();
        font.setPointSize(14);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(rect(), Qt::AlignCenter, PlayerCore::programTitle);
    }
};

} // namespace

QString mainform::openDialogFilter()
{
    // The player's "name|*.a;*.b;|" pieces as Qt filters, in the same order.
    // "All files" is "*" here: "*.*" would miss names without a dot. WebM,
    // Ogg video, MPEG-TS, M4V and Opus play as well, and are offered too.
    const QString video =
        QStringLiteral("*.3gp *.asf *.avi *.avs *.flv *.k3g *.mkv *.mov *.mpg *.mpeg *.mp4 "
                       "*.rm *.skm *.wmv *.webm *.ogv *.ts *.m4v");
    const QString audio =
        QStringLiteral("*.aac *.ac3 *.flac *.m4a *.mp2 *.mp3 *.ogg *.ra *.ram *.wav *.wma *.opus");
    const QString audioWithMp4 = QStringLiteral(
        "*.aac *.ac3 *.flac *.m4a *.mp2 *.mp3 *.mp4 *.ogg *.ra *.ram *.wav *.wma *.opus");
    return QStringLiteral("지원하는 파일 (%1 %2);;비디오 파일 (%1);;오디오 파일 (%3);;"
                          "모든 파일(*.*) (*)")
        .arg(video, audio, audioWithMp4);
}

mainform::mainform(GraphFactory factory, QWidget *parent) : QWidget(parent), m_core(GraphFactory{})
{
    setObjectName(QStringLiteral("mainform"));
    setWindowTitle(PlayerCore::programTitle);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);

    m_picVideoWindow = new VideoAreaWidget(this);
    m_videoCover = new VideoCover(this);
    m_controlBar = new ControlBar(this);
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_statusBar->setSizeGripEnabled(false);
    for (size_t i = 0; i < m_panels.size(); ++i) {
        m_panels[i] = new QLabel(m_statusBar);
        m_panels[i]->setObjectName(QStringLiteral("statusPanel%1").arg(i + 1));
        m_statusBar->addPermanentWidget(m_panels[i], i < 2 ? 3 : 2);
    }
    m_filterMenu = new FilterMenu(this);
    for (QWidget *w : findChildren<QWidget *>())
        w->setAttribute(Qt::WA_InputMethodEnabled, false);

    // The graph's window is made inside the video area, with the graph.
    if (!factory) {
        factory = [this]() -> std::unique_ptr<FilgraphManager> {
            return std::make_unique<GstFilgraphManager>(
                GraphVideoWindow::factory(m_picVideoWindow)());
        };
    }
    m_core.setGraphFactory(std::move(factory));

    wireControls();
    m_popupMenu = new PopupMenu(this);
    // Volume and balance give way to the transport in a narrow bar; the
    // window is never that narrow, so every control can be reached.
    setMinimumWidth(m_controlBar->widthForBothSides());
    resize(startSize);
    layoutWindow();
    showControls();
}

mainform::~mainform()
{
    // The graph's window lives in the video area: the graph goes first.
    m_core.unloadMedia();
}

VideoArea mainform::videoArea() const
{
    return {quintptr(m_picVideoWindow->winId()), m_picVideoWindow->width(),
            m_picVideoWindow->height()};
}

void mainform::wireControls()
{
    ControlBar *bar = m_controlBar;
    connect(&m_core, &PlayerCore::titleChanged, this, &QWidget::setWindowTitle);
    connect(&m_core, &PlayerCore::rendererMessage, this, &mainform::showRendererMessage);
    connect(&m_core, &PlayerCore::originalSizeRequested, this, &mainform::originalSize);
    connect(&m_core, &PlayerCore::focusVideoRequested, m_picVideoWindow,
            qOverload<>(&QWidget::setFocus));
    connect(&m_core, &PlayerCore::controlsChanged, this, &mainform::showControls);
    connect(&m_core, &PlayerCore::mediaClosed, this, [this]() {
        for (QLabel *panel : m_panels) {
            panel->clear();
            panel->setToolTip(QString());
            panel->show();
        }
    });
    // A quit asked for while a medium was being opened happens once it is open.
    connect(
        &m_core, &PlayerCore::openingFinished, this,
        [this]() {
            if (m_quitPending)
                close();
        },
        Qt::QueuedConnection);
    connect(&m_core.statusTimer, &QTimer::timeout, this, &mainform::refreshStatus);
    connect(&m_core.browser(), &FilterBrowser::filtersRefreshed, m_filterMenu,
            &FilterMenu::setFilters);
    connect(m_filterMenu, &FilterMenu::filterChosen, this, &mainform::showFilterProperties);
    connect(&m_core.layoutTimer, &QTimer::timeout, this, [this]() {
        m_controlBar->positionBar->resize(m_controlBar->width(),
                                          m_controlBar->positionBar->height());
    });

    connect(new WheelVolume(this), &WheelVolume::turned, &m_core, &PlayerCore::wheelVolume);

    connect(bar->openButton, &QPushButton::clicked, this, &mainform::openFile);
    connect(bar->playButton, &QPushButton::clicked, &m_core, &PlayerCore::play);
    connect(bar->pauseButton, &QPushButton::clicked, &m_core, &PlayerCore::pause);
    connect(bar->stopButton, &QPushButton::clicked, &m_core, &PlayerCore::stop);
    connect(bar->backButton, &QPushButton::clicked, this,
            [this]() { m_core.jump(-Transport::jumpSeconds); });
    connect(bar->forwardButton, &QPushButton::clicked, this,
            [this]() { m_core.jump(Transport::jumpSeconds); });
    connect(bar->slowerButton, &QPushButton::clicked, this,
            [this]() { m_core.changeRate(-Transport::rateStep); });
    connect(bar->fasterButton, &QPushButton::clicked, this,
            [this]() { m_core.changeRate(Transport::rateStep); });
    connect(bar->originalSizeButton, &QPushButton::clicked, this, &mainform::originalSize);
    connect(bar->volumeDownButton, &QPushButton::clicked, this,
            [this]() { m_core.changeVolume(-Transport::volumeStep); });
    connect(bar->volumeUpButton, &QPushButton::clicked, this,
            [this]() { m_core.changeVolume(Transport::volumeStep); });
    connect(bar->volumeBar, &QSlider::valueChanged, &m_core, &PlayerCore::setVolume);
    connect(bar->balanceBar, &QSlider::valueChanged, &m_core, &PlayerCore::setBalance);
    connect(bar->balanceLeftButton, &QPushButton::clicked, this,
            [this]() { m_core.setBalance(Transport::balanceMinimum); });
    connect(bar->balanceCenterButton, &QPushButton::clicked, this,
            [this]() { m_core.setBalance(0); });
    connect(bar->balanceRightButton, &QPushButton::clicked, this,
            [this]() { m_core.setBalance(Transport::balanceMaximum); });
    connect(bar->rendererOption, &QButtonGroup::idClicked, this, [this](int index) {
        m_core.setVideoArea(videoArea());
        m_core.selectRenderer(index);
    });
    connect(bar->positionBar, &SeekSlider::mousePressed, &m_core, &PlayerCore::seekSliderPressed);
    connect(bar->positionBar, &SeekSlider::mouseMoved, this, [this](int x, bool held) {
        m_core.seekSliderMoved(x, m_controlBar->positionBar->width(), held,
                               m_controlBar->positionBar->value());
    });
    connect(bar->positionBar, &SeekSlider::mouseReleased, &m_core, &PlayerCore::seekSliderReleased);
}

void mainform::showControls()
{
    const PlayerControls &c = m_core.controls();
    ControlBar *bar = m_controlBar;
    const QSignalBlocker volumeBlock(bar->volumeBar);
    const QSignalBlocker balanceBlock(bar->balanceBar);
    bar->volumeBar->setValue(c.volumeBar);
    bar->volumeLabel->setText(Transport::doubleText(c.volumeBar / 100.0));
    bar->balanceBar->setValue(c.balanceBar);
    bar->volumeBar->setEnabled(c.audioEnabled);
    for (QPushButton *b :
         {bar->balanceLeftButton, bar->balanceCenterButton, bar->balanceRightButton})
        b->setEnabled(c.audioEnabled);
    if (QAbstractButton *option = bar->rendererOption->button(c.rendererOption))
        option->setChecked(true);
    bar->positionBar->setMaximum(c.positionBarMaximum);
    if (!bar->positionBar->isSliderDown())
        bar->positionBar->setValue(c.positionBarValue);
    bar->positionBar->setEnabled(c.positionBarEnabled);
    if (c.videoCoverVisible) {
        m_videoCover->setGeometry(m_picVideoWindow->geometry());
        m_videoCover->show();
        m_videoCover->raise();
    } else {
        m_videoCover->hide();
    }
}

void mainform::layoutWindow()
{
    const int statusHeight = m_statusBar->sizeHint().height();
    const int controlHeight = m_controlBar->height();
    const int videoHeight = std::max(0, height() - statusHeight - controlHeight);
    m_picVideoWindow->setGeometry(0, 0, width(), videoHeight);
    m_videoCover->setGeometry(m_picVideoWindow->geometry());
    m_controlBar->setGeometry(0, videoHeight, width(), controlHeight);
    m_statusBar->setGeometry(0, videoHeight + controlHeight, width(), statusHeight);
    m_controlBar->layoutSides();
    m_core.setVideoArea(videoArea());
    if (FilgraphManager *graph = m_core.graph()) {
        graph->SetWidth(m_picVideoWindow->width());
        graph->SetHeight(m_picVideoWindow->height());
    }
}

void mainform::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutWindow();
}

void mainform::refreshStatus()
{
    m_controlBar->layoutSides();
    const PlayerFields &f = m_core.fields();
    FilgraphManager *graph = m_core.graph();
    const std::optional<StatusText::Problem> problem =
        graph ? StatusText::problem(graph->Problem()) : std::nullopt;
    // A medium that cannot play has no times, size, volume or rate to show:
    // what failed gets the whole bar. When only a part of it is missing,
    // balance and rate make room for the message beside the time and the
    // panel of the part that plays.
    const bool failed = problem && problem->panel == 1;
    for (size_t i = 1; i < m_panels.size(); ++i)
        m_panels[i]->setVisible(!failed && !(problem && i >= 3));
    m_panels[0]->setText(StatusText::playTime(f.positionTextField, f.durationTextField));
    m_panels[1]->setText(StatusText::size(m_picVideoWindow->width(), m_picVideoWindow->height()));
    for (QLabel *panel : m_panels)
        panel->setToolTip(QString());
    if (problem) {
        QLabel *panel = m_panels[size_t(problem->panel - 1)];
        panel->setText(problem->text);
        panel->setToolTip(problem->text);
    }
    if (!graph)
        return;
    if (const std::optional<long> volume = graph->Volume())
        m_panels[2]->setText(StatusText::volume(*volume));
    if (const std::optional<long> balance = graph->Balance())
        m_panels[3]->setText(StatusText::balance(*balance));
    if (const std::optional<double> rate = graph->Rate())
        m_panels[4]->setText(StatusText::rate(*rate));
}

void mainform::openFile()
{
    // Read as an address, the answer keeps the bytes of a name that is not UTF-8.
    const QString path = fileNameFromUrl(
        QFileDialog::getOpenFileUrl(this, QStringLiteral("열기"), QUrl(), openDialogFilter()));
    if (path.isEmpty())
        return;
    m_core.setVideoArea(videoArea());
    m_core.openMedia(path);
}

void mainform::openFromCommandLine(const ProgramCommandLine &commandLine)
{
    m_core.setVideoArea(videoArea());
    m_core.openFromCommandLine(commandLine);
}

namespace {

bool isOneLocalFile(const QList<QUrl> &urls)
{
    return urls.size() == 1 && urls.front().isLocalFile();
}

} // namespace

bool mainform::openDropped(const QList<QUrl> &urls)
{
    if (!isOneLocalFile(urls))
        return false;
    m_core.setVideoArea(videoArea());
    m_core.openMedia(fileNameFromUrl(urls.front()));
    return true;
}

void mainform::originalSize()
{
    FilgraphManager *graph = m_core.graph();
    const std::optional<int> width = graph ? graph->SourceWidth() : std::nullopt;
    const std::optional<int> height = graph ? graph->SourceHeight() : std::nullopt;
    if (!isMaximized() && width && height) {
        // One source pixel on one device pixel.
        const qreal ratio = devicePixelRatioF();
        const int w = qRound(*width / ratio);
        const int h = qRound(*height / ratio);
        resize(w, h + m_statusBar->sizeHint().height() + m_controlBar->height());
        layoutWindow();
    }
    m_picVideoWindow->setFocus();
}

void mainform::showFilterProperties(int index)
{
    PinPropertyForm form(m_core.browser(), this);
    form.load(index);
    form.exec();
}

void mainform::showRendererMessage(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, PlayerCore::programTitle, text, QMessageBox::Ok, this);
    box.exec();
}

void mainform::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_F2:
        openFile();
        break;
    case Qt::Key_F4:
        m_core.closeMedia();
        break;
    case Qt::Key_F5:
        m_core.setVideoArea(videoArea());
        m_core.rebuildKeepingState();
        break;
    case Qt::Key_2:
        originalSize();
        break;
    case Qt::Key_C:
        m_core.changeRate(Transport::rateStep);
        break;
    case Qt::Key_X:
        m_core.changeRate(-Transport::rateStep);
        break;
    case Qt::Key_Z:
        m_core.normalSpeed();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

// A drop anywhere in the window opens the file, as in other players; the
// cursor says so only for what a drop would open: one local file.
void mainform::dragEnterEvent(QDragEnterEvent *event)
{
    if (isOneLocalFile(event->mimeData()->urls()))
        event->acceptProposedAction();
}

void mainform::dropEvent(QDropEvent *event)
{
    if (openDropped(event->mimeData()->urls()))
        event->acceptProposedAction();
}

bool mainform::endOnRequest()
{
    // Asked from outside (a signal) there may be nobody to answer a question:
    // the request is the answer.
    m_endRequested = true;
    if (m_core.isApplying()) {
        m_quitPending = true;
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        return false;
    }
    return close();
}

void mainform::closeEvent(QCloseEvent *event)
{
    if (m_core.isOpening() && !m_endRequested) {
        const QString text = QStringLiteral("주의: 미디어를 여는중 Oblen Player v1.0.3를 "
                                            "종료하시면 오류가 발생할 수 있습니다.") +
                             crlf + crlf + QStringLiteral("계속 하시겠습니까?");
        const auto answer = QMessageBox::question(this, PlayerCore::programTitle, text,
                                                  QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    // The graph being taken into use is below a dialog (the renderer
    // message): quit once that is done. A graph still being built is simply
    // dropped.
    if (m_core.isOpening() && m_core.isApplying()) {
        m_quitPending = true;
        event->ignore();
        return;
    }
    // Saved before the window is set back to normal: the restored position is
    // known now, the window manager moves the window later.
    m_popupMenu->saveSettings();
    if (isMaximized() || isMinimized())
        showNormal();
    m_core.setVideoArea(videoArea());
    m_core.prepareQuit();
    event->accept();
}
