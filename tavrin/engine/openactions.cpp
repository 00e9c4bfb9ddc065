#include "openactions.h"

#include "comdlgcls.h"
#include "playercore.h"
#include "urlform.h"

#include <QLineEdit>

const QString OpenActions::mediaFilter = QStringLiteral(
    "지원하는 파일|*.3gp;*.asf;*.avi;*.flv;*.k3g;*.mkv;*.mov;*.mpg;*.mpeg;*.mp4;*.rm;*.skm;*.wmv;"
    "*.tp;*.ts;*.trp;*.m2ts;*.m2v;*.mpv;*.pva;*.d2v;*.rmvb;*.vob;*.vro;*.avi_NEO_;*.aac;*.ac3;"
    "*.flac;*.m4a;*.mp2;*.mp3;*.mp4;*.ogg;*.ra;*.ram;*.wav;*.wma;|"
    "비디오 파일|*.3gp;*.asf;*.avi;*.flv;*.k3g;*.mkv;*.mov;*.mpg;*.mpeg;*.mp4;*.rm;*.skm;*.wmv;"
    "*.tp;*.ts;*.trp;*.m2ts;*.m2v;*.mpv;*.pva;*.d2v;*.rmvb;*.vob;*.vro;*.avi_NEO_;|"
    "오디오 파일|*.aac;*.ac3;*.flac;*.m4a;*.mp2;*.mp3;*.mp4;*.ogg;*.ra;*.ram;*.wav;*.wma;|"
    "모든 파일(*.*)|*.*|");

namespace {
constexpr int OFN_PATHMUSTEXIST = 0x800;
constexpr int OFN_FILEMUSTEXIST = 0x1000;
} // namespace

OpenActions::OpenActions(MediaOpener &opener, PlayerCore &core, QWidget *owner)
    : QObject(owner), m_opener(opener), m_core(core), m_owner(owner)
{
    chooseFile = [this] {
        return comdlgcls().ShowOpen(m_owner, QString(), QString(), mediaFilter,
                                    OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST);
    };
    askAddress = [this] {
        urlform window(urlWindowOnTop(), m_owner);
        // Only "URL 열기" hands the address on, however the window was left.
        if (window.exec() != QDialog::Accepted)
            return QString();
        return window.urlInputBox()->text();
    };
}

bool OpenActions::urlWindowOnTop() const
{
    const OptionStore &options = m_core.options();
    return options.isChecked(Menu::alwaysOnTopMenu, 0) ||
           (options.isChecked(Menu::alwaysOnTopMenu, 1) &&
            m_core.state().is(Field::playStateField, PlayState::playing));
}

void OpenActions::openMediaFile()
{
    const QString path = chooseFile();
    if (path.isEmpty())
        return; // the medium and the engine stay as they were
    m_opener.openAndPlay(path, MediaOpener::displayNameOf(path));
}

void OpenActions::openWithAviSynth()
{
    const QString remembered = m_core.state().value(Field::mediaPathField);
    m_opener.openWithAviSynth(chooseFile());
    if (m_core.state().value(Field::secondPathField).isEmpty())
        m_core.state().setValue(Field::mediaPathField, remembered);
}

void OpenActions::openUrl()
{
    const QString address = askAddress().trimmed();
    if (address.isEmpty())
        return;
    m_opener.openAndPlay(address, MediaOpener::displayNameOf(address));
}
