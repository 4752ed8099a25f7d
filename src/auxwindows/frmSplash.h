// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class PictureBox;

// The user guide: the fixed operating instruction in a scrolling, read-only box
// beside a small information panel. It only shows text; it sends nothing.
class frmSplash : public QWidget
{
    Q_OBJECT
public:
    // settingsFile: where the program keeps its settings, named at the foot.
    explicit frmSplash(const QString& settingsFile, QWidget* parent = nullptr);

    // The instruction exactly as the program keeps it: 33 lines joined by CR LF,
    // no line break after the last. The text box shows the same lines, though
    // the text widget keeps its own line ends internally.
    static QString InstructionText();

    QSize sizeHint() const override;

    QGroupBox* Frame1 = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;
    QGroupBox* Frame2 = nullptr;
    PictureBox* Image1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblNotice = nullptr;
    QLabel* lblWarning = nullptr;

public slots:
    void Command1_Click();
};
