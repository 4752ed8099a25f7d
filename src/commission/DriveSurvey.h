// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ParamSet.h"
#include "Readiness.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <array>
#include <optional>

class LinkClient;
class LinkSession;
class ReadJob;

// A parameter's default as a drive holds it (ParamCatalogue::defaultAsHeld,
// the one source of defaults); nullopt where it depends on the drive model.
std::optional<quint16> DefaultAsHeld(quint16 reg);
// That default as shown, with its unit; the catalogue's text where it is no number.
QString DefaultText(quint16 reg);

// What a commissioning report says of one drive, as read from it.
struct DriveRecord
{
    quint8 address = 0;
    bool answered = false; // the drive answered its status
    bool running = false;
    bool fault = false;
    int faultNumber = 0;
    std::optional<double> edition;
    Readiness readiness;
    // The stored fault records (latest first; 20 is an empty record) and the
    // values kept at the last fault, in the running-value table's order.
    std::array<std::optional<int>, 3> faultRecords;
    std::array<std::optional<double>, 6> atLastFault;
    ParamSet parameters; // the whole set as read; empty when it did not answer
    bool setComplete = false;
    int unanswered = 0; // parameters that went unanswered

    // Parameters that differ from the catalogue's defaults, in catalogue order
    // (left: the drive's value, right: the default), as Drive Parameters
    // compares them (CompareSets with ParamSet::defaults()).
    QList<ParamDifference> differences() const;
    // Parameters whose default depends on the drive model, with a value read:
    // nothing to compare them with, so they are listed as set on site.
    QList<quint16> setOnSite() const;
};

// Reads, one drive after the other, everything the report shows: status,
// software edition, fault records and the values at the last fault, then the
// whole parameter set (readiness and line settings are part of it). A drive
// that does not answer its status is recorded as such and not read further,
// so a missing drive costs one time-out, not a whole set of them.
class DriveSurvey : public QObject
{
    Q_OBJECT
public:
    DriveSurvey(LinkClient& client, const QList<quint8>& drives, QObject* parent = nullptr);
    ~DriveSurvey() override;

    // A drive's whole set already read (and nothing written to it since):
    // its status, edition and fault records are read, its set is not read
    // again.
    void setKnownSet(quint8 address, const ParamSet& set) { m_known.insert(address, set); }

    void start();
    void cancel();
    bool running() const { return m_running; }
    bool cancelled() const { return m_cancelled; }
    const QList<DriveRecord>& records() const { return m_records; }

signals:
    void progress(const QString& text, int done, int total);
    void finished();

private:
    void nextDrive();
    void readValues();
    void readSet();
    void driveDone();

    LinkClient& m_client;
    LinkSession* m_session; // owned
    QList<quint8> m_drives;
    QList<DriveRecord> m_records;
    QMap<quint8, ParamSet> m_known;
    ReadJob* m_read = nullptr;
    int m_at = -1;
    bool m_running = false;
    bool m_cancelled = false;
};
