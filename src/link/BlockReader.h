// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "LinkClient.h"

#include <QList>
#include <QObject>
#include <functional>

// Reads many registers of one drive through a session, as few exchanges as
// the drive allows. Registers that follow one another in the list given
// (numbers one apart) make a run; a register left out of the list (a reserved
// row, an index the catalogue has no row for) ends it, so no read ever spans
// a hole. Whether the drive takes standard reads of several registers is
// learnt once per opening of the line, on the link client: the first register
// of a run is read singly, then it and the next are read as a block of two;
// that block must come back whole with the value just read. A drive that
// refuses, stays silent or answers anything else is never asked so again on
// this line, and is read one register at a time as the dialect has it.
// A drive that takes blocks is read in blocks of the run's length, as far as
// it answers: a shorter answer than asked sets its limit, the registers it
// did not answer are asked again; a refusal of a block larger than any it
// answered halves the size, and a block that goes unanswered (or is refused
// at a size it took before) is read again singly, so a silent or refused
// register is found as it would be by single reads.
class BlockReader : public QObject
{
    Q_OBJECT
public:
    // Called for every register, in the order of the list, with the result
    // as a single read would give it (Answered with its value, Exception,
    // TimedOut, NotSent). Return false to stop: nothing more is asked.
    using Take = std::function<bool(quint16 reg, const LinkResult& result)>;

    // Most registers asked in one read: a whole parameter group.
    static constexpr int MostPerRead = 32;

    BlockReader(LinkSession& session, quint8 address, QObject* parent = nullptr);

    // Reads the registers; done is called once everything was taken or the
    // reader was stopped (also by cancel()).
    void read(const QList<quint16>& registers, Take take, std::function<void()> done);
    // Stops after the exchange under way; done follows.
    void stop();
    bool running() const { return m_running; }
    // Exchanges this reader put on the line (each attempt counted once).
    int exchanges() const { return m_exchanges; }

private:
    void next();
    int runLength() const;
    void readSingle();
    void probe(quint16 reg, quint16 known);
    void readBlock(int count);
    bool give(quint16 reg, const LinkResult& result);
    void finish();

    LinkSession& m_session;
    LinkClient& m_client;
    quint8 m_address;
    QList<quint16> m_registers;
    Take m_take;
    std::function<void()> m_done;
    int m_at = 0;
    int m_singleUntil = 0; // registers before this index are read singly
    int m_exchanges = 0;
    int m_generation = 0;
    bool m_running = false;
    bool m_stopping = false;
};
