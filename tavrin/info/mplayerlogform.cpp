#include "mplayerlogform.h"

#include "engine/playercore.h"
#include "info/smallwindow.h"
#include "window/outputmirror.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QVBoxLayout>

mplayerlogform::mplayerlogform(PlayerCore &core, QWidget *owner)
    : QWidget(owner), m_logBox(new QPlainTextEdit(this))
{
    prepareSmallWindow(this, core);
    setWindowTitle(QStringLiteral("MPlayer 기록"));

    // Read-only, yet the user can select and copy what the engine said.
    m_logBox->setReadOnly(true);
    m_logBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(m_logBox);
    resize(600, 400);

    // The text box lays out new lines after the mirror put the caret at the
    // end, and the range it scrolls through grows later than the caret moved:
    // keep the newest line in view while the caret stays at the end.
    connect(m_logBox->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
        if (m_logBox->textCursor().atEnd())
            m_logBox->verticalScrollBar()->setValue(max);
    });

    // The mirror follows the engine output from here on; it starts from
    // what the output holds now.
    auto *mirror = new OutputMirror(core.state(), m_logBox, this);
    mirror->showWhole();
}
