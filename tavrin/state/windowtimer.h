#pragma once

// The window timer's rate: timers that should tick "as often as the window
// timer delivers" tick every 15 ms, as the window timer of the desktop the
// player was first written for did. Never 1 ms: on Linux that really is a
// thousand wake-ups a second.
inline constexpr int windowTimerInterval = 15;
