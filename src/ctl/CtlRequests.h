// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CtlContext.h"
#include "LinkClient.h"
#include "Readiness.h"

#include <QJsonObject>
#include <QList>

// Requests of a command, asked in order on a session of its own while the
// event loop runs; Ctrl-C withdraws what has not gone out (*stopped set).
QList<LinkResult> AskAll(CtlContext& ctx, LinkClient& client, const QList<LinkRequest>& requests,
                         bool* stopped = nullptr);

// What the status command says of one drive: run state, direction, fault,
// output frequency, current and DC bus, and whether it obeys the line.
struct DriveStatus
{
    quint8 address = 0;
    bool answered = false;
    bool running = false;
    bool reverse = false;
    bool fault = false;
    int faultNumber = 0;
    QString faultText; // "Normal" without a fault
    std::optional<double> outputFrequency;
    std::optional<double> outputCurrent;
    std::optional<double> dcBus;
    Readiness readiness;

    QString line() const;
    QJsonObject json() const;
};
DriveStatus ReadDriveStatus(CtlContext& ctx, LinkClient& client, quint8 address,
                            bool* stopped = nullptr);
// The readiness of a drive on its own (before a run command).
Readiness ReadReadiness(CtlContext& ctx, LinkClient& client, quint8 address,
                        bool* stopped = nullptr);
