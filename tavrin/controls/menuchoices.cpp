#include "menuchoices.h"

#include "engine/cmdmod.h"
#include "engine/commands.h"
#include "engine/openpaths.h"
#include "engine/playercore.h"
#include "state/identifyparser.h"

MenuChoices::MenuChoices(PlayerCore &core, MediaOpener &opener) : m_core(core), m_opener(opener) {}

bool MenuChoices::restartsEngine(Menu menu)
{
    switch (menu) {
    case Menu::videoOutputMenu:
    case Menu::deinterlaceMenu:
    case Menu::scalerMenu:
    case Menu::sampleRateMenu:
    case Menu::channelsMenu:
    case Menu::stereoModeMenu:
    case Menu::decodingThreadsMenu:
        return true;
    default:
        return false;
    }
}

void MenuChoices::toggleOption(Menu menu)
{
    OptionStore &options = m_core.options();
    options.setChecked(menu, !options.isChecked(menu));
    m_opener.restartAtPosition();
}

void MenuChoices::chooseItem(Menu menu, int index)
{
    OptionStore &options = m_core.options();
    if (!options.hasItem(menu, index))
        return;
    switch (menu) {
    case Menu::deblockingMenu:
        // Any number of deblocking filters may be on: each item flips alone.
        options.setChecked(menu, index, !options.isChecked(menu, index));
        m_opener.restartAtPosition();
        return;
    case Menu::cpuPriorityMenu:
        options.choose(menu, index);
        // Without a running engine there is nothing to apply it to; the
        // next run starts with it.
        m_core.setEnginePriority(cmdmod::priorityClassForItem(index));
        return;
    case Menu::dvdDriveMenu:
        m_opener.playDvdDrive(options.caption(menu, index));
        return;
    case Menu::audioTrackMenu:
        chooseAudioTrack(index);
        return;
    case Menu::subtitleFileMenu:
        chooseSubtitleFile(index);
        return;
    case Menu::embeddedSubtitleMenu:
        chooseEmbeddedSubtitle(index);
        return;
    default:
        options.choose(menu, index);
        if (restartsEngine(menu))
            m_opener.restartAtPosition();
        return;
    }
}

void MenuChoices::setPlaying()
{
    // The engine resumes a paused stream on these commands: the state says so.
    m_core.state().setValue(Field::playStateField, PlayState::playing);
}

void MenuChoices::chooseAudioTrack(int index)
{
    OptionStore &options = m_core.options();
    options.choose(Menu::audioTrackMenu, index);
    const QString id = MediaOpener::trackNumberOf(options.caption(Menu::audioTrackMenu, index));
    m_core.sendCommand(EngineCommand::switchAudio(id));
    setPlaying();
    // The new track plays at the engine's own volume until it is told ours.
    m_core.sendCommand(EngineCommand::volume(m_core.state().value(Field::volumeField)));
    setPlaying();
}

void MenuChoices::uncheckSubtitleLists()
{
    OptionStore &options = m_core.options();
    for (const Menu menu : {Menu::subtitleFileMenu, Menu::embeddedSubtitleMenu}) {
        for (const int i : options.indices(menu))
            options.setChecked(menu, i, false);
    }
}

void MenuChoices::chooseSubtitleFile(int index)
{
    m_core.sendCommand(EngineCommand::subFile(index));
    uncheckSubtitleLists();
    OptionStore &options = m_core.options();
    options.setChecked(Menu::subtitleFileMenu, index, true);
    options.setChecked(Menu::subtitleNoneMenu, false);
    setPlaying();
}

void MenuChoices::chooseEmbeddedSubtitle(int index)
{
    OptionStore &options = m_core.options();
    m_core.sendCommand(EngineCommand::subDemux(
        embeddedStreamIdOf(options.caption(Menu::embeddedSubtitleMenu, index))));
    uncheckSubtitleLists();
    options.setChecked(Menu::embeddedSubtitleMenu, index, true);
    options.setChecked(Menu::subtitleNoneMenu, false);
    // "sub_demux" resumes a paused engine like its sibling commands do.
    setPlaying();
}

void MenuChoices::chooseNoSubtitles()
{
    m_core.sendCommand(EngineCommand::subSourceNone);
    uncheckSubtitleLists();
    m_core.options().setChecked(Menu::subtitleNoneMenu, true);
    setPlaying();
}

QString MenuChoices::embeddedStreamIdOf(const QString &caption)
{
    const qsizetype at = caption.indexOf(embeddedSubtitlePrefix);
    QString id = at < 0 ? caption : caption.mid(at + embeddedSubtitlePrefix.size());
    const qsizetype blank = id.indexOf(QLatin1Char(' '));
    return blank < 0 ? id : id.left(blank);
}
