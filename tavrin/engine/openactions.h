#pragma once

#include "openpaths.h"

#include <QObject>
#include <functional>

class QWidget;

// The open paths that ask the user first: the file dialog, the AviSynth
// source dialog and the address window.
class OpenActions : public QObject
{
    Q_OBJECT
public:
    // The open dialog's filter: supported, video, audio and all files.
    static const QString mediaFilter;

    OpenActions(MediaOpener &opener, PlayerCore &core, QWidget *owner);

    // Replaceable for tests: the file the user picks, empty when cancelled.
    std::function<QString()> chooseFile;
    // Replaceable for tests: the address the user types, empty when cancelled.
    std::function<QString()> askAddress;

    void openMediaFile();
    void openWithAviSynth();
    void openUrl();

private:
    bool urlWindowOnTop() const;

    MediaOpener &m_opener;
    PlayerCore &m_core;
    QWidget *m_owner;
};
