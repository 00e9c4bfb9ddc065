#pragma once

#include "engine/commands.h"
#include "fakesystem.h"
#include "window/mainform.h"

#include <QTest>
#include <memory>

// The main window as the tests on the real engine use it: the engine found
// on the PATH, a machine of fixed answers with a Korean subtitle font, at
// 640 x 360, shown and started. False when it did not show.
inline bool showRealEngineWindow(std::unique_ptr<mainform> &window, FakeSystem &system)
{
    qunsetenv("TAVRIN_MPLAYER");
    system.font = QStringLiteral(KOREAN_FONT);
    window = std::make_unique<mainform>(&system);
    window->resize(640, 360);
    window->show();
    return QTest::qWaitForWindowExposed(window.get()) && window->start(QString());
}

// Ends a run that still goes, then the window: the next test starts with no
// engine of this one's.
inline void closeRealEngineWindow(std::unique_ptr<mainform> &window)
{
    if (window && window->core().isEngineRunning()) {
        window->sendCommand(EngineCommand::quit);
        window->opener().waitForEngineEnd();
    }
    window.reset();
}
