// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BrokerLink.h"

#include <QSet>

// The connection the Sparkplug node speaks on: its own MQTT connection and
// queue, because MQTT gives a connection one will and the node's death
// certificate must be this one's while the plain topics' connection keeps
// its "offline".
//
// Each connection gets the next birth/death number (bdSeq, 0-255, kept in
// the queue folder across restarts): the will carries it in NDEATH, and the
// NBIRTH of the same connection carries it too. The sequence number (seq,
// 0-255) is put on each message as it goes out, NBIRTH being 0, so it counts
// the messages in the order the broker gets them: what waited in the queue
// while the broker was away follows the new births without a gap.
//
// With a primary host named, births and data wait until its STATE says it
// is online; when it goes offline the node says its death and connects
// anew, to be born again once the host is back.
class SparkplugLink : public BrokerLink
{
    Q_OBJECT
public:
    SparkplugLink(const ServeConfig& config, DiskQueue& queue, QObject* parent = nullptr);

    QString serviceTopic() const override;
    QString topic(const QString& kind, const QString& device = {}) const;
    QString nodeId() const;
    int bdSeq() const { return m_bdSeq; }
    // The node is born anew (a host asked): NBIRTH and DBIRTHs again.
    void rebirth();
    // NBIRTH (seq 0) or any other message beside the queue, numbered now.
    void sendBirth(const QString& topic, const QByteArray& payload);
    bool born() const { return m_born; }
    // The devices (ids) that queued messages speak of.
    QSet<QString> queuedDevices() const;
    // Whether a message on the topic is a primary host's STATE; what it says.
    std::optional<bool> hostState(const QString& topic, const QByteArray& payload) const;
    void setHostOnline(bool online);

signals:
    // Time for the births: the node sends NBIRTH and its DBIRTHs now.
    void birthsDue();

protected:
    QString clientIdentity() const override;
    BrokerMessage lastWill() override;
    void greet() override;
    BrokerMessage farewell() override;
    QByteArray outgoing(const BrokerMessage& message) override;
    bool holding() const override { return !m_born; }

private:
    void beBorn();
    QByteArray deathPayload() const;
    quint64 nextSeq();

    int m_bdSeq = -1;
    int m_seq = 0;
    bool m_born = false;
    bool m_hostOnline = false;
    QString m_bdSeqFile;
};
