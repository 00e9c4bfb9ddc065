#pragma once

#include <QWidget>

class EngineVersion;
class PlayerCore;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The about window: the program's version, the engine's version, credits
// and terms of use, and a button to the home page.
class programinfoform : public QWidget
{
    Q_OBJECT
public:
    static inline const QString homePageAddress = QStringLiteral("https://tavrin.example/");

    // Reads the engine's version through `engineVersion` (once per run)
    // without waiting for it: the label says "-" until it is known.
    programinfoform(PlayerCore &core, EngineVersion &engineVersion, QWidget *owner);

    QLabel *versionCaptionLabel() const { return m_versionCaptionLabel; }
    QLabel *engineVersionLabel() const { return m_engineVersionLabel; }
    QPlainTextEdit *VerT() const { return m_VerT; }
    QLineEdit *FileVerT() const { return m_FileVerT; }
    QLineEdit *ProductVerT() const { return m_ProductVerT; }
    QPushButton *homePageButton() const { return m_homePageButton; }
    QPushButton *okButton() const { return m_okButton; }

    void VerGET();
    void FileVerGET();
    void ProductVerGET();

private:
    void showEngineVersion();

    EngineVersion &m_engineVersion;
    QLabel *m_versionCaptionLabel;
    QLabel *m_engineVersionLabel;
    QPlainTextEdit *m_VerT;
    QLineEdit *m_FileVerT;
    QLineEdit *m_ProductVerT;
    QPushButton *m_homePageButton;
    QPushButton *m_okButton;
};
