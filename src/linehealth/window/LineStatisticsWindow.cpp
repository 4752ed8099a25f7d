// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineStatisticsWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

LineStatisticsWindow::LineStatisticsWindow(LineStatistics& statistics, QWidget* parent)
    : QWidget(parent, Qt::Window), m_statistics(statistics)
{
    setObjectName(QStringLiteral("LineStatisticsWindow"));
    setWindowTitle(tr("Line Statistics"));
    setAttribute(Qt::WA_DeleteOnClose);

    table = new QTableWidget(0, int(LineStatistics::columnTitles().size()), this);
    table->setObjectName(QStringLiteral("table"));
    // The statistics' own titles stay English for what is copied and printed.
    table->setHorizontalHeaderLabels({tr("Drive"), tr("Requests"), tr("Answers"),
                                      tr("Late answers"), tr("Time-outs"), tr("Damaged"),
                                      tr("Exceptions"), tr("Mean answer ms"), tr("Max answer ms")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    adapterNote = new QLabel(this);
    adapterNote->setObjectName(QStringLiteral("adapterNote"));
    adapterNote->setWordWrap(true);
    adapterNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    adapterNote->hide();
    unframed = new QLabel(this);
    unframed->setObjectName(QStringLiteral("unframed"));
    resetButton = new QPushButton(tr("&Reset"), this);
    resetButton->setObjectName(QStringLiteral("resetButton"));
    copyButton = new QPushButton(tr("&Copy"), this);
    copyButton->setObjectName(QStringLiteral("copyButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(unframed);
    buttons->addStretch();
    buttons->addWidget(resetButton);
    buttons->addWidget(copyButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(adapterNote);
    layout->addWidget(table, 1);
    layout->addLayout(buttons);
    resize(720, 320);

    m_refresh.setSingleShot(true);
    m_refresh.setInterval(250);
    connect(&m_refresh, &QTimer::timeout, this, &LineStatisticsWindow::refresh);
    connect(&m_statistics, &LineStatistics::changed, this, [this] {
        if (!m_refresh.isActive())
            m_refresh.start();
    });
    connect(resetButton, &QPushButton::clicked, &m_statistics, &LineStatistics::reset);
    connect(copyButton, &QPushButton::clicked, this, &LineStatisticsWindow::copyTable);
    refresh();
}

void LineStatisticsWindow::refresh()
{
    const QList<quint8> addresses = m_statistics.addresses();
    table->setRowCount(int(addresses.size()));
    for (int row = 0; row < addresses.size(); ++row) {
        const QStringList texts = m_statistics.rowTexts(addresses[row]);
        const bool failing = m_statistics.drive(addresses[row]).failing();
        for (int column = 0; column < texts.size(); ++column) {
            QTableWidgetItem* item = table->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                table->setItem(row, column, item);
            }
            item->setText(texts[column]);
            item->setForeground(failing ? QBrush(failingColour()) : QBrush());
        }
    }
    unframed->setText(tr("Bytes in no frame: %1").arg(m_statistics.unframedBytes()));
    const QString advice = m_statistics.adapterAdvice();
    adapterNote->setText(advice);
    adapterNote->setVisible(!advice.isEmpty());
}

void LineStatisticsWindow::copyTable()
{
    QApplication::clipboard()->setText(m_statistics.tableText());
}
