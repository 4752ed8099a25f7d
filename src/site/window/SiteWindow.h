// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LineScan.h"
#include "RecentSites.h"
#include "SiteFolder.h"
#include "SiteStatusJob.h"

#include <QHash>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <utility>

class LinkClient;
class Prompter;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QToolButton;

// "Site...": a plant's site opened or made, its drives as a table (one row a
// drive, its name editable), a scan that fills the table from the line, and
// the tools opened on the drives chosen. The site itself is the main
// window's: this window asks for one (siteChosen) and shows the one handed
// to it (setSite), so every tool window works in the same site.
class SiteWindow : public QWidget
{
    Q_OBJECT
public:
    enum class Tool
    {
        Parameters,
        TestRun,
        Recorder,
        Report
    };
    enum Column
    {
        LineColumn,
        AddressColumn,
        NameColumn,
        EditionColumn,
        ReadinessColumn,
        StateColumn,
        ParametersColumn,
        TestRunColumn,
        RecordingColumn,
        ReportColumn,
        AttentionColumn,
        ColumnCount
    };

    SiteWindow(LinkClient& client, Prompter& prompter, QWidget* parent = nullptr);
    ~SiteWindow() override;

    // The site the main window holds now (nullptr: none).
    void setSite(SiteFolder* site);
    SiteFolder* site() const { return m_site; }
    // The port and settings a new site's line starts from.
    void setLineDefaults(const QString& port, const QString& settings);
    // Where the last few sites opened are kept; empty: nowhere.
    void setRecentFile(const QString& path);
    QStringList recentSites() const { return m_recent.folders(); }
    // The table's rows as last filled: from the site's files, with what the
    // drives said (a scan, or the gentle reading while the window shows).
    const QList<SiteDriveStatus>& rows() const { return m_rows; }
    // Whether the drives are being read now (only while the window shows).
    bool reading() const { return m_status.running(); }

    // A site read from its folder and offered to the main window; false (and
    // why, said) when the folder holds none.
    bool openFolder(const QString& folder);
    // A new site made in the folder and offered; false (and why, said).
    bool createSite(const QString& folder, const SiteFolder::NewSite& what);

    // The drives of the rows chosen, and their line; with no row chosen every
    // drive of the line shown. Empty (and why) when the rows span two lines.
    QList<quint8> chosenDrives(QString* line, QString* error) const;
    // The line the table and the scan work on: the site's line on the main
    // window's port, else its first.
    QString currentLine() const;

    // The dialogs; a test puts its own answers here. Empty: cancelled.
    std::function<std::optional<std::pair<QString, SiteFolder::NewSite>>()> askNewSite;
    std::function<QString()> chooseFolder;
    // The whole row commissioned in one go; the button shows only once this
    // is given.
    std::function<void(const QString& line, const QList<quint8>& drives)> commission;

    QPushButton* newButton = nullptr;
    QPushButton* openButton = nullptr;
    QToolButton* recentButton = nullptr;
    QLabel* siteLabel = nullptr;
    QComboBox* lineBox = nullptr;
    QPushButton* scanButton = nullptr;
    QPushButton* commissionButton = nullptr;
    QTableWidget* table = nullptr;
    QPushButton* parametersButton = nullptr;
    QPushButton* testRunButton = nullptr;
    QPushButton* recorderButton = nullptr;
    QPushButton* reportButton = nullptr;
    QLabel* statusLabel = nullptr;

public slots:
    void New_Click();
    void Open_Click();
    void Scan_Click();
    void Commission_Click();
    void openTool(SiteWindow::Tool tool);

signals:
    // A site opened or made: the main window takes it and hands it back.
    void siteChosen(const SiteFolder& site);
    // A tool asked for on drives of a line of the site.
    void toolRequested(SiteWindow::Tool tool, const QString& line, const QList<quint8>& drives);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void build();
    void fillRecentMenu();
    void fillLines();
    // The table made again from the site (its drives and their files).
    void fillTable();
    void fillStatus(int row);
    // What a drive said kept in its row: from a scan, or from the reading.
    void takeDriveSaid(const SiteDriveStatus& said);
    // The drives of the line shown read again, gently, while the window shows.
    void readDrives();
    void nameEdited(QTableWidgetItem* item);
    void scanFinished(bool cancelled);
    void enableControls();
    void say(const QString& text);
    void warn(const QString& text);
    int rowOf(const QString& line, quint8 address) const;

    LinkClient& m_client;
    Prompter& m_prompter;
    SiteFolder* m_site = nullptr;
    RecentSites m_recent;
    QString m_defaultPort;
    QString m_defaultSettings = QStringLiteral("9600,E,8,1");
    QMenu* m_recentMenu = nullptr;
    LineScan m_scan;
    QString m_scanLine;
    QList<SiteDriveStatus> m_rows; // one a table row, in its order
    SiteStatusJob m_status;
    QTimer m_again; // the next reading, a while after the last
    bool m_filling = false;
};
