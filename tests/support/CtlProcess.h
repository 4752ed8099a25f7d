// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <csignal>
#include <memory>
#include <vector>

// vfdctl as a production line runs it: a process of its own, nothing on its
// standard input, its exit code and both outputs kept. Needs VFDCTL_PATH.
struct CtlRun
{
    int code = -1; // -1: crashed or killed
    QString out;
    QString err;
};

class CtlProcess
{
public:
    // In the given working folder, when one is given (where files go that
    // the command names itself), and with the given environment.
    explicit CtlProcess(
        const QStringList& arguments, const QString& workingFolder = {},
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment())
    {
        if (!workingFolder.isEmpty())
            m_process.setWorkingDirectory(workingFolder);
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(VFDCTL_PATH), arguments);
        m_process.closeWriteChannel();
    }
    CtlProcess(const CtlProcess&) = delete;
    CtlProcess& operator=(const CtlProcess&) = delete;

    // Waits for the end (killing it after the limit) while this process's own
    // event loop keeps running, so a server in the test goes on serving.
    CtlRun finish(int limitMs = 60000)
    {
        if (m_process.error() == QProcess::FailedToStart)
            return {};
        QElapsedTimer clock;
        clock.start();
        while (m_process.state() != QProcess::NotRunning && clock.elapsed() < limitMs) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            m_process.waitForFinished(20);
        }
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
        m_out += m_process.readAllStandardOutput();
        return {m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1,
                QString::fromUtf8(m_out), QString::fromUtf8(m_process.readAllStandardError())};
    }

    // Ctrl-C (SIGINT) or a polite kill (SIGTERM), as a user or a service manager sends it.
    void signal(int number)
    {
        if (m_process.state() == QProcess::Running)
            ::kill(pid_t(m_process.processId()), number);
    }
    QProcess& process() { return m_process; }
    // What it has written so far (kept for finish()).
    QString outSoFar()
    {
        m_out += m_process.readAllStandardOutput();
        return QString::fromUtf8(m_out);
    }

private:
    QProcess m_process;
    QByteArray m_out;
};

// One vfdctl run, to its end.
inline CtlRun runVfdctl(const QStringList& arguments, int limitMs = 60000,
                        const QString& workingFolder = {})
{
    return CtlProcess(arguments, workingFolder).finish(limitMs);
}

// Several at once (each its own port), for commands that each wait out the
// same time-out; the results in the order given.
inline QList<CtlRun> runVfdctlTogether(const QList<QStringList>& argumentLists, int limitMs = 60000)
{
    std::vector<std::unique_ptr<CtlProcess>> running;
    for (const QStringList& arguments : argumentLists)
        running.push_back(std::make_unique<CtlProcess>(arguments));
    QList<CtlRun> runs;
    for (const auto& p : running)
        runs << p->finish(limitMs);
    return runs;
}
