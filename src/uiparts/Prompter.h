// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <functional>

// Every message box of the program goes through one Prompter, owned by the main
// window and handed to the windows it creates. A test installs a responder and
// answers the boxes itself, so nothing ever blocks on a modal dialog.
class Prompter
{
public:
    struct Prompt
    {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons = QMessageBox::Ok;
        // The button Enter presses; NoButton leaves the choice to the box.
        QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    };
    using Responder = std::function<QMessageBox::StandardButton(const Prompt&)>;

    // Shows a modal box (or asks the responder) and returns the button pressed.
    QMessageBox::StandardButton show(QWidget* parent, const Prompt& prompt);

    // Shorthands for the kinds the program uses.
    void warn(QWidget* parent, const QString& title, const QString& text)
    {
        show(parent, {QMessageBox::Warning, title, text, QMessageBox::Ok});
    }
    // A question whose "Yes" acts (starts a motor, runs a drive despite a
    // fault, writes to a drive, replaces a file): Enter, or a key pressed by
    // mistake, answers "No".
    bool askYesNo(QWidget* parent, const QString& title, const QString& text,
                  QMessageBox::StandardButton defaultButton = QMessageBox::No)
    {
        return show(parent, {QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No,
                             defaultButton}) == QMessageBox::Yes;
    }

    // With a responder set, boxes are not shown; each prompt is recorded.
    void setResponder(Responder responder) { m_responder = std::move(responder); }
    const QList<Prompt>& history() const { return m_history; }
    void clearHistory() { m_history.clear(); }
    // True while a box is open (a second one can be refused by the caller).
    bool isShowing() const { return m_showing > 0; }

private:
    Responder m_responder;
    QList<Prompt> m_history;
    int m_showing = 0;
};
