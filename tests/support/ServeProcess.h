// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "WaitUntil.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif
#include <signal.h>

// `vfdctl ... serve ...` running as a service does: started, and then
// stopped politely (SIGTERM) or killed outright. Needs VFDCTL_PATH.
class ServeProcess
{
public:
    // logFile: its standard error goes there instead (a FIFO the test reads
    // and closes), with SIGPIPE ignored as systemd starts a service.
    explicit ServeProcess(const QStringList& arguments, const QString& logFile = {},
                          const QStringList& environment = {})
    {
        m_process.setProgram(QStringLiteral(VFDCTL_PATH));
        m_process.setArguments(arguments);
        if (!environment.isEmpty()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const QString& e : environment)
                env.insert(e.section(u'=', 0, 0), e.section(u'=', 1));
            m_process.setProcessEnvironment(env);
        }
        if (!logFile.isEmpty())
            m_process.setStandardErrorFile(logFile);
#ifdef Q_OS_LINUX
        const bool ignorePipe = !logFile.isEmpty();
        m_process.setChildProcessModifier([ignorePipe] {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (ignorePipe)
                ::signal(SIGPIPE, SIG_IGN);
        });
#endif
        m_process.start();
        m_process.closeWriteChannel();
        m_process.waitForStarted(3000);
    }
    ~ServeProcess()
    {
        kill();
    }
    ServeProcess(const ServeProcess&) = delete;
    ServeProcess& operator=(const ServeProcess&) = delete;

    bool running() const
    {
        return m_process.state() == QProcess::Running;
    }
    qint64 pid() const
    {
        return m_process.processId();
    }

    // SIGTERM, as systemd stops it; the exit code, -1 if it had to be killed.
    int terminate(int limitMs = 20000)
    {
        if (!running())
            return exitCode();
        m_process.terminate();
        if (!waitUntil([&] { return !running(); }, limitMs))
            kill();
        return exitCode();
    }
    // A signal as the system sends it (a closed terminal's SIGHUP, SIGQUIT).
    void signal(int sig)
    {
        if (running())
            ::kill(pid_t(pid()), sig);
    }
    // No orderly shutdown: the process just goes.
    void kill()
    {
        if (!running())
            return;
        m_process.kill();
        m_process.waitForFinished(3000);
    }
    // Until it ends on its own; its exit code, -1 if it did not.
    int finish(int limitMs = 20000)
    {
        waitUntil([&] { return !running(); }, limitMs);
        return exitCode();
    }
    // What it said on standard error so far.
    QString log()
    {
        m_log += QString::fromUtf8(m_process.readAllStandardError());
        return m_log;
    }

private:
    int exitCode() const
    {
        if (running() || m_process.exitStatus() != QProcess::NormalExit)
            return -1;
        return m_process.exitCode();
    }

    QProcess m_process;
    QString m_log;
};
