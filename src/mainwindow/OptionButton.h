// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRadioButton>

// A run-command option. Its handler runs once for every choice, however the
// choice is made: a mouse click, the keyboard, or an assistive technology's
// "toggle" action (which selects the button without clicking it, so a handler
// on clicks alone would change the selection and send nothing).
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

private:
    bool m_clicking = false;
    bool m_setWithoutClick = false;
};
