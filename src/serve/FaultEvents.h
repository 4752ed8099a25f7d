// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ServeConfig.h"

#include <QDateTime>
#include <QMap>
#include <QObject>

class BrokerLink;
class LinkClient;
class LinkSession;
struct RecordEvent;

// Each trip of a drive of the line as one event: when the readings see a
// drive go into fault (or find it in fault at the start), the drive's fault
// records and the values it kept at its last fault are read, and the whole
// goes out retained on PREFIX/LINE/DRIVE/fault:
//   {"number": 2, "code": ..., "text": ..., "count": 3, "time": TIME,
//    "records": [{"record": 1, "number": 2, "code": ...}, ...],
//    "at_fault": {"freq-out": 48.5, "freq-set": 50, "current": 12.1,
//                 "voltage": 380, "dc-bus": 610, "module-temp": 41},
//    "complete": true}
// "count" counts the drive's trips since the service started; "complete"
// is false when the drive did not answer every one of those reads (the
// values it did not answer are null).
class FaultEvents : public QObject
{
    Q_OBJECT
public:
    FaultEvents(const ServeLineConfig& line, const ServeConfig& config, LinkClient& client,
                BrokerLink& broker, QObject* parent = nullptr);
    ~FaultEvents() override;

    // An event of the line's readings; trips are taken.
    void take(const RecordEvent& event);
    int count(quint8 address) const { return m_counts.value(address); }

signals:
    void logLine(const QString& text);

private:
    const ServeLineConfig& m_line;
    const ServeConfig& m_config;
    BrokerLink& m_broker;
    LinkSession* m_session;
    QMap<quint8, int> m_counts;
};
