// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LineScan.h"
#include "SettingsSearch.h"

#include <QWidget>

class Prompter;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

// "Scan Line...": which drives answer on the line, and at which settings.
// The table can be copied; choosing a row hands its drive to the main window.
class ScanWindow : public QWidget
{
    Q_OBJECT
public:
    ScanWindow(LinkClient& client, Prompter& prompter, QWidget* parent = nullptr);

    QSpinBox* fromBox = nullptr;
    QSpinBox* toBox = nullptr;
    QPushButton* scanButton = nullptr;
    QPushButton* findButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* copyButton = nullptr;
    QPushButton* watchButton = nullptr;
    QProgressBar* progressBar = nullptr;
    QTableWidget* table = nullptr;
    QLabel* summary = nullptr;

    LineScan& scan() { return m_scan; }
    SettingsSearch& search() { return m_search; }

public slots:
    void startScan();
    void startSearch();
    void cancelJob();
    void copyTable();
    void watchChosen();

signals:
    void driveChosen(quint8 address);
    void settingsTaken(const QString& settings);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setBusy(bool busy);
    void addRow(const ScanEntry& entry);
    void onScanFinished(bool cancelled);
    void onSearchFinished(bool found, bool cancelled);

    LinkClient& m_client;
    Prompter& m_prompter;
    LineScan m_scan;
    SettingsSearch m_search;
};
