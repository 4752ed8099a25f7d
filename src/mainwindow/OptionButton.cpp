// SPDX-License-Identifier: GPL-3.0-or-later
#include "OptionButton.h"

#include <QKeyEvent>
#include <limits>
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

void OptionButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key != Qt::Key_Up && key != Qt::Key_Down && key != Qt::Key_Left && key != Qt::Key_Right) {
        QRadioButton::keyPressEvent(event);
        return;
    }
    // Taken here in full: the radio button's own handling would click the
    // option it moves to.
    OptionButton* next = neighbour(key);
    if (!next) {
        event->ignore();
        return;
    }
    const bool backwards = key == Qt::Key_Up || key == Qt::Key_Left;
    next->setFocus(backwards ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

OptionButton* OptionButton::neighbour(int key) const
{
    if (!parentWidget())
        return nullptr;
    const QRect here(mapToGlobal(QPoint(0, 0)), size());
    const QPoint from = here.center();
    const bool vertical = key == Qt::Key_Up || key == Qt::Key_Down;
    OptionButton* best = nullptr;
    qint64 bestScore = std::numeric_limits<qint64>::max();
    const auto siblings = parentWidget()->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly);
    for (OptionButton* other : siblings) {
        if (other == this || !other->isEnabled() || other->isHidden())
            continue;
        const QRect there(other->mapToGlobal(QPoint(0, 0)), other->size());
        const QPoint to = there.center();
        const bool ahead = key == Qt::Key_Up     ? to.y() < from.y()
                           : key == Qt::Key_Down ? to.y() > from.y()
                           : key == Qt::Key_Left ? to.x() < from.x()
                                                 : to.x() > from.x();
        if (!ahead)
            continue;
        // An option in line with this one (the same column for Up and Down,
        // the same row for Left and Right) comes before any off the line;
        // among those, the nearest wins.
        const qint64 along = vertical ? qAbs(to.y() - from.y()) : qAbs(to.x() - from.x());
        const qint64 across = vertical ? qAbs(to.x() - from.x()) : qAbs(to.y() - from.y());
        const bool inLine = vertical ? there.left() < here.right() && here.left() < there.right()
                                     : there.top() < here.bottom() && here.top() < there.bottom();
        const qint64 score =
            inLine ? (along << 16) + across : (qint64(1) << 40) + along * along + across * across;
        if (score < bestScore) {
            best = other;
            bestScore = score;
        }
    }
    return best;
}
