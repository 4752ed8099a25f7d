// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionButton.h"

#include <utility>

OptionButton::OptionButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent)
{
    connect(this, &QAbstractButton::clicked, this, &OptionButton::chosen);
    connect(this, &QAbstractButton::toggled, this, [this](bool on) {
        const bool withoutClick = std::exchange(m_setWithoutClick, false);
        if (on && withoutClick)
            emit chosen();
    });
}

void OptionButton::nextCheckState()
{
    m_clicking = true;
    QRadioButton::nextCheckState();
    m_clicking = false;
}

void OptionButton::checkStateSet()
{
    // A click is announced by clicked(); a state set otherwise (setChecked,
    // the accessibility toggle) is announced when the button turns on.
    m_setWithoutClick = !m_clicking;
    QRadioButton::checkStateSet();
}
