// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QWidget>

class Prompter;
class PictureBox;
class QLabel;
class QPushButton;

// The about box: title, edition, a pointer to the user guide, and a button that
// starts the operating system's system-information viewer where there is one.
class frmAbout : public QWidget
{
    Q_OBJECT
public:
    explicit frmAbout(Prompter& prompter, QWidget* parent = nullptr);

    struct KeyValue
    {
        QString value;
        bool found = false;
    };

    // Reads one value of the system registry, e.g. ("HKEY_LOCAL_MACHINE",
    // "SOFTWARE\\...", "PATH"). Where there is no registry nothing is found.
    static KeyValue GetKeyValue(const QString& rootKey, const QString& keyName,
                                const QString& valueName);

    // Finds and starts the system-information viewer; says so when there is none.
    void StartSysInfo();

    PictureBox* Image1 = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

public slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();

private:
    bool launchSysInfo();

    Prompter& m_prompter;
};
