// SPDX-License-Identifier: GPL-3.0-or-later
#include "Prompter.h"

QMessageBox::StandardButton Prompter::show(QWidget* parent, const Prompt& prompt)
{
    ++m_showing;
    QMessageBox::StandardButton answer;
    if (m_responder) {
        m_history.append(prompt);
        answer = m_responder(prompt);
    } else {
        QMessageBox box(prompt.icon, prompt.title, prompt.text, prompt.buttons, parent);
        if (prompt.defaultButton != QMessageBox::NoButton)
            box.setDefaultButton(prompt.defaultButton);
        answer = QMessageBox::StandardButton(box.exec());
    }
    --m_showing;
    return answer;
}
