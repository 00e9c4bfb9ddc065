#pragma once

#include "optionstore.h"

#include <QString>

class MediaOpener;
class PlayerCore;

// What choosing an option or an item of a menu array does, without the
// menus themselves: the option store is changed first, then the engine is
// told (a stream command, a new priority) or restarted at the current
// position so that its next command line carries the choice. Choices made
// while no engine runs only change the check marks.
class MenuChoices
{
public:
    MenuChoices(PlayerCore &core, MediaOpener &opener);

    // Flips an on/off option and restarts the engine.
    void toggleOption(Menu menu);
    // Item `index` of a menu array chosen. Arrays whose choice is applied by
    // the window (the ratio, always on top) only change their marks here.
    void chooseItem(Menu menu, int index);

    void chooseAudioTrack(int index);
    void chooseSubtitleFile(int index);
    void chooseEmbeddedSubtitle(int index);
    void chooseNoSubtitles();

    // The stream id of an embeddedSubtitleMenu caption: the text after
    // "내장 자막: " up to the first blank.
    static QString embeddedStreamIdOf(const QString &caption);
    // Whether choosing an item of the array restarts the engine.
    static bool restartsEngine(Menu menu);

private:
    void uncheckSubtitleLists();
    void setPlaying();

    PlayerCore &m_core;
    MediaOpener &m_opener;
};
