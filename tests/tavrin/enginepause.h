#pragma once

#include "engine/playercore.h"

#include <QTest>

// Waits until the real engine has taken a pause in. It answers a question
// asked after the pause, and answers in order: once that answer is in its
// output, every earlier one has arrived too, and the frame it shows is the one
// it stays on. (The engine may show a frame or two more after "pause ".)
inline bool waitForEnginePause(PlayerCore &core)
{
    const QString answer = QStringLiteral("ANS_pause=yes");
    auto answers = [&] { return core.state().value(Field::engineOutputBox).count(answer); };
    const qsizetype before = answers();
    if (!core.cm())
        return false;
    core.cm()->WriteData(QStringLiteral("pausing_keep_force get_property pause"));
    return QTest::qWaitFor([&] { return answers() > before; }, 15000);
}
