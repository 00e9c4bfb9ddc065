#include "popupmenu.h"

#include "settings/profileini.h"
#include "window/controlbar.h"
#include "window/filtermenu.h"
#include "window/mainform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <map>

namespace {

using Kind = PopupMenu::Entry::Kind;

// Twips per logical pixel.
constexpr int twipsPerPixel = 15;

bool isNormalState(const QWidget *window)
{
    return !(window->windowState() &
             (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
}

// From the frame's top left to the inside's, as the window manager gives the
// border now. Not the widget's frame: a widget reads its border again only
// when it moves, and openbox may set the border after its last move (when it
// frames, maximizes or restores the window), which leaves the old one.
QPoint frameOffset(const QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    const QMargins border = handle ? handle->frameMargins() : QMargins();
    return {border.left(), border.top()};
}

// The menu opens where the right button is released, and that release is
// the menu's only way to open; a second press must not take it away. Qt
// closes a menu on a press outside it and drops that press's release, and
// counts a press on the menu's corner pixel as outside: so the pointer lies a
// pixel inside the menu, and a right press on the picture outside it moves
// the menu there rather than only closing it. A right press inside it at the
// place it opened is the picture's too (see mousePressEvent).
const QPoint menuOverlap(1, 1);

} // namespace

const std::vector<PopupMenu::Entry> &PopupMenu::entries()
{
    // The captions keep their full-width spaces: they line the shortcut
    // texts up.
    static const std::vector<Entry> tree{
        {Kind::Action, "", "openMenu", "파일 열기　　　F2"},
        {Kind::Action, "", "closeMenu", "닫기　　　　　 F4"},
        {Kind::Separator, "", "", ""},
        {Kind::Submenu, "", "playbackMenu", "재생"},
        {Kind::Action, "playbackMenu", "playMenu", "재생"},
        {Kind::Action, "playbackMenu", "pauseMenu", "일시정지"},
        {Kind::Action, "playbackMenu", "stopMenu", "정지"},
        {Kind::Separator, "playbackMenu", "", ""},
        {Kind::Action, "playbackMenu", "slowerMenu", "배속감소　X"},
        {Kind::Action, "playbackMenu", "fasterMenu", "배속증가　C"},
        {Kind::Separator, "playbackMenu", "", ""},
        {Kind::Submenu, "playbackMenu", "moveMenu", "이동"},
        {Kind::Action, "moveMenu", "backMenu", "5초 뒤로 "},
        {Kind::Action, "moveMenu", "forwardMenu", "5초 앞으로"},
        {Kind::Submenu, "", "videoMenu", "영상"},
        {Kind::Submenu, "videoMenu", "rendererDeviceMenu", "영상 렌더러 장치"},
        {Kind::Action, "videoMenu", "originalSizeMenu", "원본크기　　　2"},
        {Kind::Submenu, "", "audioMenu", "음성"},
        {Kind::Action, "audioMenu", "volumeDownMenu", "-10dB 감소"},
        {Kind::Action, "audioMenu", "volumeUpMenu", "+10dB 증가"},
        {Kind::Separator, "audioMenu", "", ""},
        {Kind::Action, "audioMenu", "balanceLeftMenu", "좌측만"},
        {Kind::Action, "audioMenu", "balanceRightMenu", "우측만"},
        {Kind::Action, "audioMenu", "balanceCenterMenu", "양쪽모두"},
        {Kind::Submenu, "", "filterMenu", "필터"},
        {Kind::Action, "filterMenu", "filterMenu0", "(비어 있음)"},
        {Kind::Submenu, "", "settingsMenu", "환경설정"},
        {Kind::Check, "settingsMenu", "topmostMenu", "항상 위"},
        {Kind::Check, "settingsMenu", "avsAudioMenu", "AviSynth Script(AVS)파일 재생시 음성듣기"},
        {Kind::Separator, "", "", ""},
        {Kind::Action, "", "aboutMenu", "프로그램 정보"},
        {Kind::Action, "", "homePageMenu", "오블렌의 연구소"},
        {Kind::Action, "", "quitMenu", "종료"},
    };
    return tree;
}

PopupMenu::PopupMenu(mainform *owner) : QMenu(owner), m_owner(owner)
{
    setObjectName(QStringLiteral("popupMenu"));
    m_frameWait.setInterval(PlayerCore::timerInterval);
    connect(&m_frameWait, &QTimer::timeout, this, &PopupMenu::placeFrame);
    build();
    wire();
    owner->picVideoWindow()->installEventFilter(this);
    owner->videoCover()->installEventFilter(this);
    owner->installEventFilter(this);
}

QAction *PopupMenu::entry(const QString &name) const
{
    for (QAction *action : findChildren<QAction *>(name))
        return action;
    if (QMenu *menu = findChild<QMenu *>(name))
        return menu->menuAction();
    return nullptr;
}

void PopupMenu::build()
{
    std::map<QString, QMenu *> menus{{QString(), this}};
    for (const Entry &e : entries()) {
        const QString parentName = QString::fromUtf8(e.parent);
        // The filter menu is the window's own, kept in step with the graph;
        // its placeholder entry is the window's too.
        if (parentName == QLatin1String("filterMenu"))
            continue;
        QMenu *parent = menus.at(parentName);
        const QString caption = QString::fromUtf8(e.caption);
        if (e.kind == Kind::Submenu && qstrcmp(e.name, "filterMenu") == 0) {
            QMenu *filters = m_owner->filterMenu();
            parent->addMenu(filters);
            menus[QLatin1String(e.name)] = filters;
            continue;
        }
        switch (e.kind) {
        case Kind::Separator:
            parent->addSeparator();
            break;
        case Kind::Submenu: {
            QMenu *menu = parent->addMenu(caption);
            menu->setObjectName(QLatin1String(e.name));
            menus[QLatin1String(e.name)] = menu;
            break;
        }
        case Kind::Action:
        case Kind::Check: {
            // Parented to this menu so that entry() finds it by name.
            auto *action = new QAction(caption, this);
            action->setObjectName(QLatin1String(e.name));
            action->setCheckable(e.kind == Kind::Check);
            parent->addAction(action);
            break;
        }
        }
    }
    QMenu *devices = menus.at(QStringLiteral("rendererDeviceMenu"));
    for (int i = 0; i < ProgramSettings::rendererCount; ++i) {
        auto *action = new QAction(PlayerCore::rendererCaption(i), this);
        action->setObjectName(QStringLiteral("rendererMenu%1").arg(i));
        action->setCheckable(true);
        devices->addAction(action);
        rendererMenu[size_t(i)] = action;
    }
    // The window's state before any file is read.
    const ProgramSettings initial;
    for (int i = 0; i < ProgramSettings::rendererCount; ++i)
        rendererMenu[size_t(i)]->setChecked(initial.rendererMenu[size_t(i)]);
    topmostMenu = entry(QStringLiteral("topmostMenu"));
    topmostMenu->setChecked(initial.topmost);
    avsAudioMenu = entry(QStringLiteral("avsAudioMenu"));
    avsAudioMenu->setChecked(initial.avsAudio);
    audioMenu = menus.at(QStringLiteral("audioMenu"));
    filterMenu = menus.at(QStringLiteral("filterMenu"));
}

void PopupMenu::wire()
{
    ControlBar *bar = m_owner->controlBar();
    PlayerCore &core = m_owner->core();
    // These only press the window's own buttons.
    const std::map<QString, QPushButton *> buttons{
        {QStringLiteral("playMenu"), bar->playButton},
        {QStringLiteral("pauseMenu"), bar->pauseButton},
        {QStringLiteral("stopMenu"), bar->stopButton},
        {QStringLiteral("slowerMenu"), bar->slowerButton},
        {QStringLiteral("fasterMenu"), bar->fasterButton},
        {QStringLiteral("backMenu"), bar->backButton},
        {QStringLiteral("forwardMenu"), bar->forwardButton},
        {QStringLiteral("originalSizeMenu"), bar->originalSizeButton},
        {QStringLiteral("volumeDownMenu"), bar->volumeDownButton},
        {QStringLiteral("volumeUpMenu"), bar->volumeUpButton},
        {QStringLiteral("balanceLeftMenu"), bar->balanceLeftButton},
        {QStringLiteral("balanceRightMenu"), bar->balanceRightButton},
        {QStringLiteral("balanceCenterMenu"), bar->balanceCenterButton},
    };
    for (const auto &[name, button] : buttons)
        connect(entry(name), &QAction::triggered, button, &QAbstractButton::click);

    connect(entry(QStringLiteral("openMenu")), &QAction::triggered, m_owner, &mainform::openFile);
    connect(entry(QStringLiteral("closeMenu")), &QAction::triggered, &core,
            &PlayerCore::closeMedia);
    connect(entry(QStringLiteral("quitMenu")), &QAction::triggered, m_owner, &QWidget::close);
    connect(entry(QStringLiteral("aboutMenu")), &QAction::triggered, this, [this]() {
        QMessageBox box(QMessageBox::NoIcon, PlayerCore::programTitle, makerCredit, QMessageBox::Ok,
                        m_owner);
        box.exec();
    });
    connect(entry(QStringLiteral("homePageMenu")), &QAction::triggered, this,
            []() { QDesktopServices::openUrl(QUrl(homePage)); });

    for (int i = 0; i < ProgramSettings::rendererCount; ++i)
        connect(rendererMenu[size_t(i)], &QAction::triggered, this,
                [this, i]() { chooseRenderer(i); });
    connect(topmostMenu, &QAction::triggered, this, [this](bool on) {
        setAlwaysOnTop(on);
        saveSettings();
    });
    connect(avsAudioMenu, &QAction::triggered, this, [this](bool on) {
        m_owner->core().setAvsAudio(on);
        saveSettings();
    });
    // A renderer picked with the option buttons moves the menu's check too.
    connect(bar->rendererOption, &QButtonGroup::idClicked, this, &PopupMenu::followRendererOption);
    connect(&core, &PlayerCore::controlsChanged, this,
            [this]() { audioMenu->setEnabled(m_owner->core().controls().audioEnabled); });
}

void PopupMenu::followRendererOption()
{
    const int selected = m_owner->core().controls().rendererOption;
    for (int i = 0; i < ProgramSettings::rendererCount; ++i)
        rendererMenu[size_t(i)]->setChecked(i == selected);
}

void PopupMenu::chooseRenderer(int index)
{
    if (index < 0 || index >= ProgramSettings::rendererCount)
        return;
    if (QAbstractButton *option = m_owner->controlBar()->rendererOption->button(index))
        option->click();
    for (int i = 0; i < ProgramSettings::rendererCount; ++i)
        rendererMenu[size_t(i)]->setChecked(i == index);
    saveSettings();
}

void PopupMenu::setAlwaysOnTop(bool on)
{
    // On the window handle: a widget flag would re-create the native window
    // the renderer draws into.
    if (QWindow *handle = m_owner->windowHandle())
        handle->setFlag(Qt::WindowStaysOnTopHint, on);
}

void PopupMenu::startUp()
{
    if (QFileInfo::exists(m_settingsPath))
        loadSettings();
    else
        saveSettings();
    // Always on top is the window manager's: applied once the window is shown.
    if (m_owner->isVisible())
        setAlwaysOnTop(topmostMenu->isChecked());
    else
        m_showPending = true;
}

void PopupMenu::placeFrame()
{
    const QWindow *handle = m_owner->windowHandle();
    const bool framed = handle && !handle->frameMargins().isNull();
    // Without a window manager there is no frame, and the window is in place.
    if (framed || ++m_frameWaitTicks >= frameWaitLimit) {
        m_frameWait.stop();
        if (framed && m_framePosition)
            m_owner->setGeometry(QRect(*m_framePosition + frameOffset(m_owner), m_owner->size()));
        m_framePosition.reset();
    } else if (m_frameWaitTicks == frameWaitQuickTicks) {
        // A busy machine's window manager may be slow; without one, waiting
        // costs a few wake-ups.
        m_frameWait.setInterval(frameWaitSlowInterval);
    }
}

void PopupMenu::loadSettings()
{
    if (m_settingsPath.isEmpty())
        return;
    ProgramSettings s = currentSettings();
    s.read(ProfileIni::fromFile(m_settingsPath));

    // An option group keeps one selection: the last option read as set. With
    // none set the selection stays as it was.
    if (const int selected = s.selectedRenderer(); selected >= 0)
        m_owner->core().selectRenderer(selected);
    for (int i = 0; i < ProgramSettings::rendererCount; ++i)
        rendererMenu[size_t(i)]->setChecked(s.rendererMenu[size_t(i)]);

    // A position on no screen (a monitor since removed) would hide the
    // window: it goes onto the nearest one.
    const QPoint wanted(qRound(s.left / twipsPerPixel), qRound(s.top / twipsPerPixel));
    QList<QRect> screens;
    for (const QScreen *screen : QGuiApplication::screens())
        screens << screen->geometry();
    const QPoint at = placeOnScreens(wanted, m_owner->frameGeometry().size(), screens);
    m_owner->move(at);
    // Before the window is shown its frame is unknown and the move places
    // the inside of the window there: once the window manager has framed it
    // the frame is moved there, or every run would creep by the title bar.
    if (!m_owner->isVisible())
        m_framePosition = at;

    m_owner->core().setVolume(s.volume);
    topmostMenu->setChecked(s.topmost);
    avsAudioMenu->setChecked(s.avsAudio);
    m_owner->core().setAvsAudio(s.avsAudio);
}

ProgramSettings PopupMenu::currentSettings() const
{
    ProgramSettings s;
    const int selected = m_owner->core().controls().rendererOption;
    for (int i = 0; i < ProgramSettings::rendererCount; ++i) {
        s.rendererOption[size_t(i)] = i == selected;
        s.rendererMenu[size_t(i)] = rendererMenu[size_t(i)]->isChecked();
    }
    // The restored position of a maximized or minimized window: its frame
    // then is not the one it is restored with (a maximized window loses its
    // border), so the restored frame is the one taken off.
    QPoint at = m_owner->geometry().topLeft() - frameOffset(m_owner);
    if (!isNormalState(m_owner))
        at = m_owner->normalGeometry().topLeft() -
             m_normalFrameOffset.value_or(frameOffset(m_owner));
    s.left = float(at.x() * twipsPerPixel);
    s.top = float(at.y() * twipsPerPixel);
    s.volume = m_owner->core().controls().volumeBar;
    s.topmost = topmostMenu->isChecked();
    s.avsAudio = avsAudioMenu->isChecked();
    return s;
}

void PopupMenu::saveSettings()
{
    if (m_settingsPath.isEmpty())
        return;
    ProfileIni ini = ProfileIni::fromFile(m_settingsPath);
    currentSettings().write(ini);
    ini.save(m_settingsPath);
}

void PopupMenu::openAt(const QPoint &pointer)
{
    m_openedAt = pointer;
    m_pointerStill = true;
    m_rightPressTaken = false;
    popup(pointer - menuOverlap);
}

bool PopupMenu::isOverPicture(const QPoint &pointer) const
{
    QWidget *under = QApplication::widgetAt(pointer);
    QWidget *area = m_owner->picVideoWindow();
    return under && (under == m_owner->videoCover() || under == area || area->isAncestorOf(under));
}

void PopupMenu::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        const QPoint at = event->globalPosition().toPoint();
        const bool inside = rect().contains(event->position().toPoint());
        // The second click of a double click (or any right click before the
        // pointer has left the place where the menu opened) lands on the
        // menu's corner, over its first entry: the user clicked the picture
        // again, and QMenu would trigger that entry or close the menu on the
        // release. A double click's press comes here too, from
        // mouseDoubleClickEvent.
        const bool again = inside && m_pointerStill &&
                           (at - m_openedAt).manhattanLength() <= QApplication::startDragDistance();
        if (again || (!inside && isOverPicture(at))) {
            openAt(at);
            m_rightPressTaken = true;
            return;
        }
    }
    m_rightPressTaken = false;
    QMenu::mousePressEvent(event);
}

void PopupMenu::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pointerStill && (event->globalPosition().toPoint() - m_openedAt).manhattanLength() >
                              QApplication::startDragDistance())
        m_pointerStill = false;
    QMenu::mouseMoveEvent(event);
}

void PopupMenu::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_rightPressTaken && event->button() == Qt::RightButton) {
        // As on the picture, the menu ends up where the button is released.
        const QPoint at = event->globalPosition().toPoint();
        if (at != m_openedAt)
            openAt(at);
        m_rightPressTaken = false;
        return;
    }
    QMenu::mouseReleaseEvent(event);
}

bool PopupMenu::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_owner) {
        switch (event->type()) {
        case QEvent::Show:
            if (m_showPending) {
                m_showPending = false;
                QTimer::singleShot(0, this, [this]() { setAlwaysOnTop(topmostMenu->isChecked()); });
                if (m_framePosition)
                    m_frameWait.start();
            }
            break;
        case QEvent::Move:
        case QEvent::Resize:
            if (isNormalState(m_owner) && m_owner->windowHandle() &&
                !m_owner->windowHandle()->frameMargins().isNull())
                m_normalFrameOffset = frameOffset(m_owner);
            break;
        default:
            break;
        }
        return false;
    }
    if (event->type() == QEvent::MouseButtonRelease) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::RightButton) {
            openAt(mouse->globalPosition().toPoint());
            return true;
        }
    }
    return QMenu::eventFilter(watched, event);
}
