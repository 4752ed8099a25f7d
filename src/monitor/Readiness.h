// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QObject>
#include <QStringList>
#include <functional>
#include <optional>

class Hexedit;
class LinkClient;
class LinkSession;

// Whether a drive will do what the line tells it: it obeys run commands from
// the line only with P0.04 = 2 (serial control), and runs at the line's
// frequency only with P0.01 = 3. A drive set otherwise answers every request
// and still does not run, the commonest puzzle on a new line.
struct Readiness
{
    static constexpr quint16 RunSourceRegister = 0x0004;       // P0.04
    static constexpr quint16 FrequencySourceRegister = 0x0001; // P0.01
    static constexpr quint16 SerialRunSource = 2;
    static constexpr quint16 SerialFrequencySource = 3;

    quint8 address = 0;
    std::optional<quint16> runSource;       // nullopt: not answered
    std::optional<quint16> frequencySource; // nullopt: not answered

    bool known() const { return runSource && frequencySource; }
    bool obeysRunCommands() const { return runSource == SerialRunSource; }
    bool takesFrequency() const { return frequencySource == SerialFrequencySource; }
    bool ready() const { return obeysRunCommands() && takesFrequency(); }
    // What stands in the way, a sentence each ("drive 3 will ignore run
    // commands from the line: P0.04 = 0 (keypad)"); empty when ready or not known.
    QStringList problems() const;
    // The same in a few words for a table's note.
    QString note() const;
};

// Reads both parameters of a drive through a session of its own.
class ReadinessCheck : public QObject
{
    Q_OBJECT
public:
    explicit ReadinessCheck(LinkClient& client, QObject* parent = nullptr);
    void check(quint8 address, std::function<void(const Readiness&)> done);
    void cancel();

private:
    LinkSession* m_session;
};

// What the line has told of each drive's sources, from whoever asked: the
// scan, a tool, the parameter window reading or writing P0.04 or P0.01. It
// only listens to the answers on the link and never asks anything itself, so
// a window that shows its findings sends what it sent before. Forgotten when
// the port is opened again (another line, other drives).
class ReadinessBook : public QObject
{
    Q_OBJECT
public:
    explicit ReadinessBook(Hexedit& link, QObject* parent = nullptr);
    // What is known of the drive (either source may still be unknown).
    Readiness of(quint8 address) const;

signals:
    // Both sources of a drive are known and one of them has just changed.
    void learned(const Readiness& readiness);
    void forgotten();

private:
    void onAnswer(const QByteArray& request, const QByteArray& answer);

    QHash<quint8, Readiness> m_drives;
};
