// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompter.h"

// Every message box is answered at once instead of being shown, so no test
// blocks on a modal dialog; the prompter's history keeps what was said.
inline void answerBoxes(Prompter& prompter, QMessageBox::StandardButton answer = QMessageBox::Ok)
{
    prompter.setResponder([answer](const Prompter::Prompt&) { return answer; });
}

// The button a stray Enter presses in a box: the one it opens on, or its only
// button. A box of several buttons that names none gets NoButton, so a test
// notices that its question left the choice to chance.
inline QMessageBox::StandardButton enterAnswer(const Prompter::Prompt& prompt)
{
    if (prompt.defaultButton != QMessageBox::NoButton)
        return prompt.defaultButton;
    const int buttons = int(prompt.buttons);
    const bool one = buttons != 0 && (buttons & (buttons - 1)) == 0;
    return one ? QMessageBox::StandardButton(buttons) : QMessageBox::NoButton;
}
