#include "outputmirror.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace {
// Engine output keeps CR LF (the parsers search for it); a text widget shows
// each CR LF as one line break.
QString forDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}
} // namespace

OutputMirror::OutputMirror(PlayerState &state, QPlainTextEdit *view, QObject *parent)
    : QObject(parent), m_state(state), m_view(view)
{
    m_resyncTimer.setSingleShot(true);
    connect(&m_resyncTimer, &QTimer::timeout, this, &OutputMirror::resync);
    connect(&state, &PlayerState::outputAppended, this, &OutputMirror::onAppended);
    connect(&state, &PlayerState::changed, this, &OutputMirror::onChanged);
}

void OutputMirror::onAppended(const QString &piece)
{
    if (m_stale)
        return;
    QTextCursor cursor(m_view->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(forDisplay(piece));
    m_view->moveCursor(QTextCursor::End);
}

void OutputMirror::onChanged(Field field, const QString &value)
{
    if (field != Field::engineOutputBox)
        return;
    const qint64 since = m_sinceResync.isValid() ? m_sinceResync.elapsed() : resyncSpacingMs;
    if (value.size() <= smallTextChars || since >= resyncSpacingMs) {
        resync();
        return;
    }
    m_stale = true;
    if (!m_resyncTimer.isActive())
        m_resyncTimer.start(int(resyncSpacingMs - since));
}

void OutputMirror::resync()
{
    m_resyncTimer.stop();
    m_stale = false;
    m_sinceResync.start();
    m_view->setPlainText(forDisplay(m_state.value(Field::engineOutputBox)));
    m_view->moveCursor(QTextCursor::End);
}
