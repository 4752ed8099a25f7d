// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SiteFolder.h"

#include <QDialog>

class QLineEdit;
class QPushButton;

// "New Site": the folder, the site's name, customer and technician, and the
// port and settings of its line (those of the main window to start with).
// OK is taken only with a folder and a port named.
class NewSiteDialog : public QDialog
{
    Q_OBJECT
public:
    NewSiteDialog(const QString& port, const QString& settings, QWidget* parent = nullptr);

    QString folder() const;
    SiteFolder::NewSite site() const;

    QLineEdit* folderEdit = nullptr;
    QPushButton* browseButton = nullptr;
    QLineEdit* nameEdit = nullptr;
    QLineEdit* customerEdit = nullptr;
    QLineEdit* technicianEdit = nullptr;
    QLineEdit* portEdit = nullptr;
    QLineEdit* settingsEdit = nullptr;

private:
    void check();
    QPushButton* m_ok = nullptr;
};
