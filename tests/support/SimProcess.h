// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

// One vfdsim on a pseudo-terminal (or a TCP port, transparent or in Modbus TCP
// mode) for the length of a test, with its traffic log (--log) at hand. Killed
// when the test is done with it, whatever happened.
class SimProcess
{
public:
    // Without the log, for runs whose traffic would fill the pipe nobody reads.
    explicit SimProcess(const QStringList& extra = {}, bool log = true)
    {
        m_process.setProgram(QStringLiteral(VFDSIM_PATH));
#ifdef Q_OS_LINUX
        // Should the test itself die, its simulator goes with it.
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
        // A pseudo-terminal unless the test asks for another line (--tcp PORT,
        // --modbus-tcp PORT).
        const bool otherLine = extra.contains(QStringLiteral("--tcp")) ||
                               extra.contains(QStringLiteral("--modbus-tcp"));
        m_process.setArguments((otherLine ? QStringList{} : QStringList{QStringLiteral("--pty")}) +
                               (log ? QStringList{QStringLiteral("--log")} : QStringList{}) +
                               extra);
        m_process.start();
        if (!m_process.waitForStarted(3000))
            return;
        while (!m_process.canReadLine() && m_process.waitForReadyRead(3000)) {
        }
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess()
    {
        kill();
    }
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    QString device() const
    {
        return m_device;
    }
    QProcess& process()
    {
        return m_process;
    }

    // Pulls the plug: no orderly shutdown, the far end just goes.
    void kill()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(3000);
    }

    // Lines of the traffic log so far that begin with the prefix after the
    // time stamp ("<- " a request heard, "-> " an answer sent).
    QStringList traffic(const QString& prefix)
    {
        m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
        QStringList lines;
        for (const QString& line : m_log.split(u'\n')) {
            const qsizetype at = line.indexOf(u' ');
            if (at > 0 && line.mid(at + 1).startsWith(prefix))
                lines << line.mid(at + 1 + prefix.size()).trimmed();
        }
        return lines;
    }

    // Command codes of the control writes heard for a drive, in order.
    QList<int> commandsHeard(int address)
    {
        const QString start = QStringLiteral("%1 10 20 00 ").arg(address, 2, 16, QLatin1Char('0'));
        QList<int> codes;
        for (const QString& frame : traffic(QStringLiteral("<- ")))
            if (frame.startsWith(start, Qt::CaseInsensitive))
                codes << frame.split(u' ').value(8).toInt(nullptr, 16);
        return codes;
    }

    // Read requests heard for a drive, in order: the first register and the
    // count (0: the dialect's single read).
    struct ReadHeard
    {
        quint16 reg = 0;
        int count = 0;
    };
    QList<ReadHeard> readsHeard(int address)
    {
        QList<ReadHeard> list;
        const QString start = QStringLiteral("%1 03 ").arg(address, 2, 16, QLatin1Char('0'));
        for (const QString& frame : traffic(QStringLiteral("<- "))) {
            if (!frame.startsWith(start, Qt::CaseInsensitive))
                continue;
            const QStringList bytes = frame.split(u' ');
            auto word = [&](int at) {
                return bytes.value(at).toInt(nullptr, 16) << 8 |
                       bytes.value(at + 1).toInt(nullptr, 16);
            };
            list.append({quint16(word(2)), word(4)});
        }
        return list;
    }

private:
    QProcess m_process;
    QString m_device;
    QString m_log;
};
