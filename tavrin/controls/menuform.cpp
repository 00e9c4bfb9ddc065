#include "menuform.h"

#include "controls/transport.h"
#include "window/mainform.h"
#include "window/screenmodes.h"

#include <QAction>
#include <QMenu>

namespace {
// Set on the entries whose check mark mirrors the store.
constexpr char markProperty[] = "tavrinMark";

// The jump entries are only switched on and off; they carry no mark.
bool carriesMark(Menu menu)
{
    switch (menu) {
    case Menu::back10Menu:
    case Menu::forward10Menu:
    case Menu::back60Menu:
    case Menu::forward60Menu:
    case Menu::back600Menu:
    case Menu::forward600Menu:
        return false;
    default:
        return true;
    }
}
} // namespace

menuform::menuform(mainform &window)
    : QObject(&window), m_window(window), m_choices(window.core(), window.opener())
{
    setObjectName(QStringLiteral("menuform"));
    build();
    OptionStore &options = m_window.core().options();
    connect(&options, &OptionStore::entryChanged, this, &menuform::sync);
    connect(&options, &OptionStore::itemsChanged, this, &menuform::rebuildList);
}

void menuform::build()
{
    m_popupMenu = new QMenu(MenuTree::rootCaption, &m_window);
    m_popupMenu->setObjectName(MenuTree::rootName);
    // The menu at each depth that the rows below it go into.
    QList<QMenu *> at{m_popupMenu};
    for (const MenuNode &node : MenuTree::nodes()) {
        at.resize(node.depth + 1);
        QMenu *menu = at.last();
        const QString name =
            node.name ? QString::fromLatin1(node.name) : OptionStore::nameOf(*node.store);
        const QString label = QString::fromUtf8(node.label);
        switch (node.kind) {
        case MenuNode::Kind::submenu: {
            QMenu *sub = menu->addMenu(label);
            sub->setObjectName(name);
            // Only entries given a tip have one to show.
            sub->setToolTipsVisible(true);
            sub->menuAction()->setObjectName(name);
            m_named.insert(name, sub->menuAction());
            at.append(sub);
            break;
        }
        case MenuNode::Kind::separator:
            menu->addSeparator();
            break;
        case MenuNode::Kind::command: {
            QAction *action =
                menu->addAction(MenuTree::entryText(label, QString::fromUtf8(node.hint)));
            action->setObjectName(name);
            m_named.insert(name, action);
            const MenuCommand command = node.command;
            const std::optional<Menu> store = node.store;
            connect(action, &QAction::triggered, this, [this, command, store] {
                run(command);
                // Qt flipped the mark before the choice: the store decides it.
                if (store)
                    sync(*store, 0);
            });
            if (store) {
                action->setProperty(markProperty, carriesMark(*store));
                bind(action, *store, 0);
            }
            break;
        }
        case MenuNode::Kind::option: {
            QAction *action = menu->addAction(label);
            action->setObjectName(name);
            action->setProperty(markProperty, true);
            if (*node.tip) {
                action->setToolTip(QString::fromUtf8(node.tip));
                action->setStatusTip(action->toolTip());
            }
            m_named.insert(name, action);
            const Menu store = *node.store;
            connect(action, &QAction::triggered, this, [this, store] {
                m_choices.toggleOption(store);
                sync(store, 0);
            });
            bind(action, store, 0);
            break;
        }
        case MenuNode::Kind::list: {
            Place place;
            place.menu = menu;
            place.end = menu->addSeparator();
            place.end->setVisible(false);
            m_lists.insert(static_cast<int>(*node.store), place);
            rebuildList(*node.store);
            break;
        }
        }
    }
}

void menuform::bind(QAction *action, Menu menu, int index)
{
    m_bound.insert(key(menu, index), action);
    sync(menu, index);
}

void menuform::sync(Menu menu, int index)
{
    QAction *action = m_bound.value(key(menu, index));
    if (!action)
        return;
    const MenuEntry e = m_window.core().options().entry(menu, index);
    if (m_lists.contains(static_cast<int>(menu)))
        action->setText(MenuTree::literalCaption(e.caption));
    // Only a checked entry is checkable: an unchecked one shows no empty box,
    // as in the popup menus of other desktops.
    if (action->property(markProperty).toBool()) {
        action->setCheckable(e.checked);
        action->setChecked(e.checked);
    }
    action->setEnabled(e.enabled);
    action->setVisible(e.visible);
}

void menuform::rebuildList(Menu menu)
{
    const auto found = m_lists.find(static_cast<int>(menu));
    if (found == m_lists.end())
        return;
    Place &place = *found;
    for (QAction *old : std::as_const(place.items)) {
        m_bound.remove(m_bound.key(old));
        m_named.remove(old->objectName());
        place.menu->removeAction(old);
        old->deleteLater();
    }
    place.items.clear();
    for (const int index : m_window.core().options().indices(menu)) {
        auto *action = new QAction(place.menu);
        action->setObjectName(OptionStore::nameOf(menu) + QLatin1Char('_') +
                              QString::number(index));
        m_named.insert(action->objectName(), action);
        action->setProperty(markProperty, true);
        place.menu->insertAction(place.end, action);
        place.items.append(action);
        connect(action, &QAction::triggered, this,
                [this, menu, index] { chooseItem(menu, index); });
        bind(action, menu, index);
    }
}

void menuform::chooseItem(Menu menu, int index)
{
    m_choices.chooseItem(menu, index);
    // Choosing the checked item again changes nothing in the store, but Qt
    // has taken the mark off.
    sync(menu, index);
    if (menu == Menu::aspectMenu)
        m_window.screenModes().applyAspect();
    else if (menu == Menu::alwaysOnTopMenu)
        m_window.screenModes().applyAlwaysOnTopRule();
}

QAction *menuform::entry(const QString &name) const
{
    return m_named.value(name);
}

QList<QAction *> menuform::items(Menu menu) const
{
    return m_lists.value(static_cast<int>(menu)).items;
}

void menuform::run(MenuCommand command)
{
    Transport &transport = m_window.transport();
    OptionStore &options = m_window.core().options();
    using C = MenuCommand;
    switch (command) {
    case C::none:
        break;
    case C::openMediaFile:
        m_window.openActions().openMediaFile();
        break;
    case C::openWithAviSynth:
        m_window.openActions().openWithAviSynth();
        break;
    case C::openUrl:
        m_window.openActions().openUrl();
        break;
    case C::closeCurrentMedia:
        m_window.opener().closeCurrentMedia();
        break;
    case C::togglePlayPause:
        transport.togglePlayPause();
        break;
    case C::stopPlayback:
        transport.stopPlayback();
        break;
    case C::frameStep:
        transport.frameStep();
        break;
    case C::back10:
        transport.jump(-10);
        break;
    case C::forward10:
        transport.jump(10);
        break;
    case C::back60:
        transport.jump(-60);
        break;
    case C::forward60:
        transport.jump(60);
        break;
    case C::back600:
        transport.jump(-600);
        break;
    case C::forward600:
        transport.jump(600);
        break;
    case C::resetSpeed:
        transport.resetSpeed();
        break;
    case C::speedDown:
        transport.speedDown();
        break;
    case C::speedUp:
        transport.speedUp();
        break;
    case C::volumeDown:
        transport.stepVolume(-5);
        break;
    case C::volumeUp:
        transport.stepVolume(5);
        break;
    case C::toggleMute:
        transport.toggleMute();
        break;
    case C::audioSyncReset:
        transport.resetAudioDelay();
        break;
    case C::audioDelayDown:
        transport.stepAudioDelay(-0.1);
        break;
    case C::audioDelayUp:
        transport.stepAudioDelay(0.1);
        break;
    case C::toggleSubtitles:
        transport.toggleSubtitleVisibility();
        break;
    case C::noSubtitles:
        m_choices.chooseNoSubtitles();
        break;
    case C::subSyncReset:
        transport.resetSubDelay();
        break;
    case C::subDelayDown:
        transport.stepSubDelay(-0.1);
        break;
    case C::subDelayUp:
        transport.stepSubDelay(0.1);
        break;
    case C::previousSubtitle:
        transport.subtitleStep(-1);
        break;
    case C::nextSubtitle:
        transport.subtitleStep(1);
        break;
    case C::subtitleSmaller:
        transport.subtitleSmaller();
        break;
    case C::subtitleLarger:
        transport.subtitleLarger();
        break;
    case C::halfSize:
        m_window.setWindowSizeFactor(0.5);
        break;
    case C::originalSize:
        m_window.setWindowSizeFactor(1.0);
        break;
    case C::oneAndHalfSize:
        m_window.setWindowSizeFactor(1.5);
        break;
    case C::doubleSize:
        m_window.setWindowSizeFactor(2.0);
        break;
    case C::fullScreen:
        m_window.externalFullScreen();
        break;
    case C::fillScreen:
        m_window.externalFillScreen();
        break;
    case C::toggleBars:
        if (options.isChecked(Menu::showBarsMenu)) {
            options.setChecked(Menu::showBarsMenu, false);
            m_window.minimalMode();
        } else {
            options.setChecked(Menu::showBarsMenu, true);
            m_window.normalMode();
        }
        break;
    case C::exitProgram:
        m_window.close();
        break;
    case C::showVideoAdjust:
    case C::showEqualizer:
    case C::showSubtitleSettings:
    case C::showEngineLog:
    case C::showPlaybackInfo:
    case C::showProgramInfo:
        Q_EMIT windowRequested(command);
        break;
    }
}
