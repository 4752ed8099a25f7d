// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LineStatistics.h"

#include <QTimer>
#include <QWidget>

class QLabel;
class QPushButton;
class QTableWidget;

// "Line Statistics...": the figures of every drive addressed since the port
// opened, refreshed while the line runs; a drive that has stopped answering
// is shown in red.
class LineStatisticsWindow : public QWidget
{
    Q_OBJECT
public:
    explicit LineStatisticsWindow(LineStatistics& statistics, QWidget* parent = nullptr);

    QTableWidget* table = nullptr;
    QLabel* unframed = nullptr;
    QLabel* adapterNote = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* copyButton = nullptr;

    static QColor failingColour() { return QColor(255, 0, 0); }

public slots:
    void refresh();
    void copyTable();

private:
    LineStatistics& m_statistics;
    // Figures change with every frame; the table follows a few times a second.
    QTimer m_refresh;
};
