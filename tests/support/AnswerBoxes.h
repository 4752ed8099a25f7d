// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Prompter.h"

// Every message box is answered at once instead of being shown, so no test
// blocks on a modal dialog; the prompter's history keeps what was said.
inline void answerBoxes(Prompter& prompter, QMessageBox::StandardButton answer = QMessageBox::Ok)
{
    prompter.setResponder([answer](const Prompter::Prompt&) { return answer; });
}
