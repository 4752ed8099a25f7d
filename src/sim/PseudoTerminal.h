// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <memory>

// A pseudo-terminal pair made for serving the simulated drives: we keep the
// master side, and the slave side's path is what a serial program opens as if
// it were a serial device. The slave is held open by us as well, so the master
// never reports a hang-up while no program has it open.
class PseudoTerminal : public QObject
{
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr);
    ~PseudoTerminal() override;

    // Creates the pair in raw mode; false with errorString() when it cannot.
    bool open();
    QString slavePath() const { return m_slavePath; }
    QString errorString() const { return m_error; }
    // Hands the bytes to the program on the other side. What the terminal has
    // no room for yet waits here and goes as soon as it is read, in order;
    // false only when closed or when the program has left more than
    // kMaxBacklog bytes unread, in which case these bytes are not taken.
    bool write(const QByteArray& bytes);
    qsizetype backlog() const { return m_backlog.size(); }
    static constexpr qsizetype kMaxBacklog = 16 * 1024 * 1024;

signals:
    void received(const QByteArray& bytes);

private:
    void onReadable();
    void writeBacklog();
    void closeAll();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<QSocketNotifier> m_writable;
    QByteArray m_backlog;
};

// Turns SIGINT and SIGTERM into a Qt signal, so the program can end its event
// loop in an orderly way. One watcher per process.
class TerminationWatcher : public QObject
{
    Q_OBJECT
public:
    explicit TerminationWatcher(QObject* parent = nullptr);
    ~TerminationWatcher() override;

signals:
    void terminationRequested(int signalNumber);

private:
    int m_pipe[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};
