// SPDX-License-Identifier: GPL-3.0-or-later
#include "SettingsSearch.h"
#include "RtuProtocol.h"

#include <algorithm>

SettingsSearch::SettingsSearch(LinkClient& client, QObject* parent)
    : QObject(parent), m_client(client), m_session(client.openSession(this))
{
}

SettingsSearch::~SettingsSearch()
{
    if (m_running)
        end(true);
}

QStringList SettingsSearch::candidates()
{
    // The drives' baud-rate choices, fastest first: a try at a fast rate
    // costs the least time-out.
    static const int bauds[] = {38400, 19200, 9600, 4800, 2400, 1200};
    using P = SerialSettings::Parity;
    using S = SerialSettings::StopBits;
    QStringList list;
    for (int baud : bauds)
        for (P parity : {P::None, P::Odd, P::Even})
            for (S stop : {S::One, S::Two})
                list << SerialSettings{baud, parity, 8, stop}.toString();
    return list;
}

bool SettingsSearch::start(int from, int to)
{
    from = std::max(from, 1);
    to = std::min(to, int(Rtu::HighestAddress));
    if (m_running || from > to || !m_client.link().port().isOpen())
        return false;
    ++m_generation;
    m_running = true;
    m_from = from;
    m_to = to;
    m_candidate = -1;
    m_confirming = -1;
    m_fallback = false;
    m_tries = 0;
    m_found.clear();
    m_foundAddress = 0;
    m_original = m_client.link().port().settings();
    // Only a right answer counts; a damaged one at a wrong setting is noise.
    m_session->setRetries(0);
    m_session->holdLine(true);
    m_timer.start();
    tryNext();
    return true;
}

void SettingsSearch::cancel()
{
    if (m_running)
        end(true);
}

bool SettingsSearch::switchTo(int candidate)
{
    SerialPort& port = m_client.link().port();
    if (!port.setSettings(candidates()[candidate]))
        return false;
    // Whatever came in at the setting before is noise at this one.
    port.clearInput();
    return true;
}

void SettingsSearch::tryNext()
{
    const QStringList all = candidates();
    if (++m_candidate >= all.size()) {
        end(false);
        return;
    }
    if (!switchTo(m_candidate)) {
        tryNext(); // a rate this port cannot do
        return;
    }
    ++m_tries;
    m_address = m_from;
    emit trying(m_candidate, all[m_candidate]);
    ask();
}

void SettingsSearch::ask()
{
    const int generation = m_generation;
    m_session->submit(LinkRequest::read(quint8(m_address), Rtu::StatusRegister),
                      [this, generation](const LinkResult& r) {
                          if (generation == m_generation && m_running)
                              onAnswer(r);
                      });
}

void SettingsSearch::onAnswer(const LinkResult& r)
{
    using Outcome = LinkResult::Outcome;
    const bool answered = r.outcome == Outcome::Answered || r.outcome == Outcome::Exception;
    if (r.outcome == Outcome::NotSent) {
        end(true);
        return;
    }
    if (m_confirming >= 0) {
        const int asked = m_confirming;
        m_confirming = -1;
        if (answered) {
            m_found = candidates()[asked];
            m_foundAddress = m_address;
            end(false);
        } else if (!m_fallback && m_candidate > 0) {
            confirm(m_candidate - 1, true);
        } else {
            // Neither holds: back to the sweep where it was.
            if (!switchTo(m_candidate)) {
                end(true);
                return;
            }
            if (m_address < m_to) {
                ++m_address;
                ask();
            } else {
                tryNext();
            }
        }
        return;
    }
    if (answered) {
        confirm(m_candidate, false);
    } else if (m_address < m_to) {
        ++m_address;
        ask();
    } else {
        tryNext();
    }
}

void SettingsSearch::confirm(int candidate, bool fallback)
{
    m_fallback = fallback;
    m_confirming = candidate;
    if (candidate != m_candidate && !switchTo(candidate)) {
        m_confirming = -1;
        LinkResult silent;
        silent.outcome = LinkResult::Outcome::TimedOut;
        onAnswer(silent);
        return;
    }
    ask();
}

void SettingsSearch::end(bool cancelled)
{
    ++m_generation;
    m_running = false;
    m_elapsedMs = m_timer.nsecsElapsed() / 1e6;
    if (cancelled)
        m_session->cancel();
    // Back to where the user was; taking what was found is the user's choice.
    m_client.link().port().setSettings(m_original);
    m_session->holdLine(false);
    emit finished(!m_found.isEmpty(), cancelled);
}

bool SettingsSearch::take()
{
    return !m_found.isEmpty() && m_client.link().port().setSettings(m_found);
}
