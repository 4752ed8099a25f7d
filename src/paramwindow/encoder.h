// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class Prompter;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct PasswordLock;

// The password window "Password ": verify the password to unlock parameter
// writing, and set a new one. The lock state itself is the main window's.
class encoder : public QWidget
{
    Q_OBJECT
public:
    encoder(PasswordLock& lock, Prompter& prompter, QAction& dataSetMenu,
            QWidget* parent = nullptr);

    QGroupBox* Frame1;
    QLabel* Label1;
    QLineEdit* Text1;
    QPushButton* Command1;
    QGroupBox* Frame2;
    QLabel* Label2;
    QLineEdit* Text2;
    QPushButton* Command2;
    QPushButton* Command3;

public slots:
    // A key typed into the verify box (character code, 8 = backspace); returns
    // whether the key is let through.
    bool Text1_KeyPress(int key);
    // Likewise for the new-password box.
    bool Text2_KeyPress(int key);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The checks of a key press; a pasted text counts as one press whose
    // characters must all be digits.
    bool admitToVerifyBox(bool digitsOnly);
    bool admitToNewBox(bool digitsOnly);
    bool admit(QLineEdit* box, const QString& typed);
    void refuseEntry(QLineEdit* box);
    void say(const QString& title, const QString& text);

    PasswordLock& m_lock;
    Prompter& m_prompter;
    QAction& m_dataSetMenu;
};
