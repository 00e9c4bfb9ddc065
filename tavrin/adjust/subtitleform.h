#pragma once

#include "subtitlesettings.h"

#include <QDialog>

class MediaOpener;
class PlayerCore;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// "자막 설정": the subtitle style of the next engine runs. It shows the
// state's values when it opens and writes them back only on "적용", which
// restarts a running engine at its position so that the new command line and
// style file take effect; "닫기" forgets every edit.
class subtitleform : public QDialog
{
    Q_OBJECT
public:
    subtitleform(PlayerCore &core, MediaOpener &opener, QWidget *owner);

    // The values the controls hold now.
    SubtitleSettings currentSettings() const;

    QCheckBox *subUseDefaultCheck() const { return m_useDefault; }
    QWidget *subPlainPanel() const { return m_plainPanel; }
    QComboBox *subFontCombo() const { return m_fontCombo; }
    QComboBox *subSizeCombo() const { return m_sizeCombo; }
    QLabel *subPreviewLabel() const { return m_previewLabel; }

    // The colour of a swatch, as a COLORREF.
    quint32 textColour() const { return m_colours[0]; }
    quint32 outlineColour() const { return m_colours[1]; }
    quint32 shadowColour() const { return m_colours[2]; }

    // Shows the font name in the chosen font, size and marks.
    void preview();
    // Writes the values and restarts the engine; refused, with the box that
    // needs another value focused and its need told, while a box holds a
    // value the engine cannot take.
    void apply();
    // What the window says about a refused value; empty while all is well.
    QLabel *problemLabel() const { return m_problemLabel; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void tellNeed(QLineEdit *box, const QString &need);
    void clearNeed();
    QWidget *buildPlainPanel();
    QWidget *buildStylePanel();
    void load();
    void chooseColour(int swatch);
    void setColour(int swatch, quint32 colorref);

    PlayerCore &m_core;
    MediaOpener &m_opener;
    QCheckBox *m_useDefault = nullptr;
    QWidget *m_plainPanel = nullptr;
    QLineEdit *m_plainSize = nullptr;
    QLineEdit *m_plainMargin = nullptr;
    QLineEdit *m_plainOutline = nullptr;
    QLineEdit *m_plainBlur = nullptr;
    QLineEdit *m_fontPath = nullptr;
    QComboBox *m_fontCombo = nullptr;
    QComboBox *m_sizeCombo = nullptr;
    QCheckBox *m_bold = nullptr;
    QCheckBox *m_italic = nullptr;
    QLineEdit *m_marginV = nullptr;
    QLineEdit *m_outline = nullptr;
    QLineEdit *m_shadow = nullptr;
    QLabel *m_swatches[3] = {};
    quint32 m_colours[3] = {};
    QLabel *m_previewLabel = nullptr;
    QLabel *m_problemLabel = nullptr;
    // The boxes whose values go onto the engine's command line, each with
    // what it needs.
    QList<QPair<QLineEdit *, QString>> m_engineNumberBoxes;
    QLineEdit *m_problemBox = nullptr;
};
