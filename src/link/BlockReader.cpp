// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockReader.h"

#include <QPointer>
#include <algorithm>

namespace {

// The result of one register of a block, as a single read would give it.
LinkResult valueOf(const LinkResult& block, int index)
{
    LinkResult one = block;
    one.value = block.values.value(index);
    one.values.clear();
    return one;
}

} // namespace

BlockReader::BlockReader(LinkSession& session, quint8 address, QObject* parent)
    : QObject(parent), m_session(session), m_client(*session.client()), m_address(address)
{
}

void BlockReader::read(const QList<quint16>& registers, Take take, std::function<void()> done)
{
    ++m_generation;
    m_registers = registers;
    m_take = std::move(take);
    m_done = std::move(done);
    m_at = 0;
    m_singleUntil = 0;
    m_exchanges = 0;
    m_running = true;
    m_stopping = false;
    next();
}

void BlockReader::stop()
{
    if (m_running)
        m_stopping = true;
}

void BlockReader::finish()
{
    if (!m_running)
        return;
    m_running = false;
    ++m_generation;
    if (m_done)
        m_done();
}

int BlockReader::runLength() const
{
    int length = 1;
    while (m_at + length < m_registers.size() && length < MostPerRead &&
           m_registers[m_at + length] == m_registers[m_at] + length)
        ++length;
    return length;
}

bool BlockReader::give(quint16 reg, const LinkResult& result)
{
    if (m_stopping || !m_take(reg, result)) {
        finish();
        return false;
    }
    return true;
}

void BlockReader::next()
{
    if (m_stopping || m_at >= m_registers.size()) {
        finish();
        return;
    }
    const BlockReads reads = m_client.blockReads(m_address);
    const int run = runLength();
    const int most = reads.limit > 0 ? std::min(reads.limit, MostPerRead) : MostPerRead;
    if (m_at < m_singleUntil || run < 2 || reads.known != BlockReads::Known::Takes || most < 2)
        readSingle();
    else
        readBlock(std::min(run, most));
}

void BlockReader::readSingle()
{
    const quint16 reg = m_registers[m_at];
    // Whether to ask, once this register has answered, if the drive takes
    // blocks: it and the next make the probe, its value the known answer.
    const bool mayProbe = m_at >= m_singleUntil && runLength() >= 2 &&
                          m_client.blockReads(m_address).known == BlockReads::Known::NotYet;
    QPointer<BlockReader> self(this);
    const int generation = m_generation;
    m_session.submit(LinkRequest::read(m_address, reg), [=, this](const LinkResult& r) {
        if (!self || generation != m_generation)
            return;
        m_exchanges += std::max(1, r.attempts);
        if (!give(reg, r))
            return;
        ++m_at;
        if (mayProbe && r.ok())
            probe(reg, r.value);
        else
            next();
    });
}

void BlockReader::probe(quint16 reg, quint16 known)
{
    LinkRequest request = LinkRequest::readBlock(m_address, reg, 2);
    // One attempt: silence is as good as a refusal here, and a drive that
    // does not take blocks should cost one time-out, not two.
    request.retries = 0;
    QPointer<BlockReader> self(this);
    const int generation = m_generation;
    m_session.submit(request, [=, this](const LinkResult& r) {
        if (!self || generation != m_generation)
            return;
        m_exchanges += std::max(1, r.attempts);
        if (r.outcome == LinkResult::Outcome::NotSent) {
            // Nothing more can go out: done, whatever the taker said.
            if (give(m_registers[m_at], r))
                finish();
            return;
        }
        BlockReads reads;
        if (r.ok() && r.values.size() == 2 && r.values[0] == known) {
            reads.known = BlockReads::Known::Takes;
            reads.largest = 2;
            m_client.setBlockReads(m_address, reads);
            if (!give(m_registers[m_at], valueOf(r, 1)))
                return;
            ++m_at;
        } else {
            reads.known = BlockReads::Known::Refuses;
            m_client.setBlockReads(m_address, reads);
        }
        next();
    });
}

void BlockReader::readBlock(int count)
{
    const quint16 reg = m_registers[m_at];
    QPointer<BlockReader> self(this);
    const int generation = m_generation;
    m_session.submit(LinkRequest::readBlock(m_address, reg, quint16(count)),
                     [=, this](const LinkResult& r) {
                         if (!self || generation != m_generation)
                             return;
                         m_exchanges += std::max(1, r.attempts);
                         BlockReads reads = m_client.blockReads(m_address);
                         switch (r.outcome) {
                         case LinkResult::Outcome::Answered: {
                             // Fewer values than asked: the drive's most, and the registers it
                             // left out are asked again from the first of them.
                             const int answered = int(r.values.size());
                             reads.largest = std::max(reads.largest, answered);
                             if (answered < count)
                                 reads.limit = answered;
                             m_client.setBlockReads(m_address, reads);
                             for (int i = 0; i < answered; ++i) {
                                 if (!give(quint16(reg + i), valueOf(r, i)))
                                     return;
                                 ++m_at;
                             }
                             break;
                         }
                         case LinkResult::Outcome::Exception:
                             if (count > reads.largest) {
                                 // Perhaps only too many at once for this drive.
                                 reads.limit = std::max({reads.largest, count / 2, 2});
                                 m_client.setBlockReads(m_address, reads);
                                 if (reads.limit < count)
                                     break;
                             }
                             // A register in the range is refused: which one, single reads say.
                             m_singleUntil = m_at + count;
                             break;
                         case LinkResult::Outcome::TimedOut:
                             m_singleUntil = m_at + count;
                             break;
                         case LinkResult::Outcome::NotSent:
                             if (give(reg, r))
                                 finish();
                             return;
                         }
                         next();
                     });
}
