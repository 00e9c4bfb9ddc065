#pragma once

class PlayerCore;
class QWidget;

// The small windows the main window opens (program information, engine
// log): a top-level window of its own that the main window owns, so the
// window manager keeps it above the main window, and on top of all others
// when the always-on-top choice wants it as the window loads: always,
// only while playing (and something plays), or never.
void prepareSmallWindow(QWidget *window, const PlayerCore &core);
