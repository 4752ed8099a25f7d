// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRadioButton>

class QKeyEvent;

// A run-command option. Its handler runs once for every choice, however the
// choice is made: a mouse click, Space, or an assistive technology's "press"
// or "toggle" action (the toggle selects the button without clicking it, so a
// handler on clicks alone would change the selection and send nothing).
//
// The arrow keys only move the focus between the options. A plain radio group
// selects the option the focus lands on, and here selecting sends: from NONE
// two presses of Up would reach REV and start a drive in reverse for someone
// who only meant to move through the window.
class OptionButton : public QRadioButton
{
    Q_OBJECT
public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr);

signals:
    // The user chose this option. Clicking the option already chosen chooses
    // it again; a click that selects it says so once, not twice.
    void chosen();

protected:
    // A click (mouse, keyboard, click()) changes the state here...
    void nextCheckState() override;
    // ... and every change of the state, a click's included, is seen here.
    void checkStateSet() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The option beside this one in the arrow's direction, or none.
    OptionButton* neighbour(int key) const;

    bool m_clicking = false;
    bool m_setWithoutClick = false;
};
