#pragma once

#include <QDialog>

class QLineEdit;

// The small window that asks for an address to play.
class urlform : public QDialog
{
    Q_OBJECT
public:
    explicit urlform(bool alwaysOnTop, QWidget *parent = nullptr);
    QLineEdit *urlInputBox() const { return m_urlInputBox; }

    // "취소", Esc and the close box all end here: each discards the address.
    void reject() override;

private:
    QLineEdit *m_urlInputBox;
};
