#pragma once

#include <QDialog>
#include <QUrl>

class QPlainTextEdit;
class QPushButton;

namespace oblenmediainfo {

// The about window: what the program is, who made it, the licences, and the
// way to the two home pages.
class info : public QDialog
{
    Q_OBJECT
public:
    static inline const QString title = QStringLiteral("Oblen MediaInfo 정보");
    static inline const QUrl makerHomePage = QUrl(QStringLiteral("https://oblen.example.org/"));
    static inline const QUrl mediaInfoHomePage =
        QUrl(QStringLiteral("https://mediaarea.net/MediaInfo"));

    explicit info(QWidget *parent = nullptr);

    static QString aboutText();

    QPlainTextEdit *textBox() const { return m_textBox; }
    QPushButton *makerButton() const { return m_makerButton; }
    QPushButton *mediaInfoButton() const { return m_mediaInfoButton; }
    QPushButton *okButton() const { return m_okButton; }

private:
    QPlainTextEdit *m_textBox = nullptr;
    QPushButton *m_makerButton = nullptr;
    QPushButton *m_mediaInfoButton = nullptr;
    QPushButton *m_okButton = nullptr;
};

} // namespace oblenmediainfo
