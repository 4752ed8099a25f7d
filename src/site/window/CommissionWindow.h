// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SiteCommission.h"

#include <QPointer>
#include <QWidget>
#include <functional>

class LinkClient;
class Prompter;
class QLabel;
class QPushButton;
class QTableWidget;

// A row of the site commissioned from the Site window: what will be done is
// shown before anything is sent, one question starts it (its "Yes" runs
// motors, so Enter answers "No"), and the table follows every drive through
// its steps. Cancel, or closing the window, STOPs every running drive first.
class CommissionWindow : public QWidget
{
    Q_OBJECT
public:
    enum Column
    {
        DriveColumn,
        ScanColumn,
        ParametersColumn, // the backup of a reference source, or the clone
        TestRunColumn,
        ReportColumn,
        ColumnCount
    };

    CommissionWindow(LinkClient& client, Prompter& prompter, const SiteFolder& site,
                     const QString& line, const QList<quint8>& drives, QWidget* parent = nullptr);
    ~CommissionWindow() override;

    // Why the line cannot be used now (the port closed, or another than the
    // line's), empty when it can; asked before the question.
    std::function<QString()> lineProblem;
    // Asked before the clone writes (the program's write lock).
    std::function<bool()> writesAllowed;

    const SiteCommission& job() const { return *m_job; }
    bool running() const { return m_job->running(); }

    void start();
    void cancel();

    QLabel* planLabel = nullptr;
    QTableWidget* table = nullptr;
    QLabel* progressLabel = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* cancelButton = nullptr;
    QPushButton* reportButton = nullptr;
    QPushButton* closeButton = nullptr;

signals:
    // The report the job made, to be shown.
    void openReport(const QString& path);
    void finished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    void fillTable();
    void showStep(quint8 drive, SiteCommission::Step step, const QString& mark,
                  const QString& text);
    void ended();
    void enableControls();

    Prompter& m_prompter;
    SiteCommission* m_job = nullptr;
    bool m_closeWhenDone = false;
    bool m_ended = false;
};
