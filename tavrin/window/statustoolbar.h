#pragma once

#include <QWidget>

class QLabel;

// The black bar at the top of the main window: the medium's name on the left,
// the one-line format summary flush right, growing with its text.
class StatusToolbar : public QWidget
{
    Q_OBJECT
public:
    static constexpr int barHeight = 330 / 15;

    explicit StatusToolbar(QWidget *parent = nullptr);

    void setName(const QString &name);
    void setInfo(const QString &info);
    // A notice (why nothing plays) takes the summary's place while it is
    // not empty.
    void setNotice(const QString &notice);

    QLabel *nameLabel() const { return m_name; }
    QLabel *infoLabel() const { return m_info; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeRightPart();
    void showRightText();

    QLabel *m_name;
    QWidget *m_right;
    QLabel *m_info;
    QString m_infoText;
    QString m_noticeText;
};
