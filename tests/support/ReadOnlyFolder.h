// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A folder nobody may write to, root included: a read-only tmpfs mounted on a
// temporary folder for the length of a test. Permission bits would not do, as
// the tests may run as root. Where mounting is not allowed, reason() says why
// and the test skips.
class ReadOnlyFolder
{
public:
    ReadOnlyFolder()
    {
        if (!m_dir.isValid()) {
            m_reason = QStringLiteral("no temporary folder");
            return;
        }
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("ro,size=64k"), QStringLiteral("tmpfs"), m_dir.path()});
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit ||
            mount.exitCode() != 0) {
            m_reason = QStringLiteral("a read-only tmpfs cannot be mounted here: %1")
                           .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed() +
                                mount.errorString());
            return;
        }
        m_mounted = true;
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {m_dir.path()});
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    bool ok() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString filePath(const QString& name) const { return QDir(m_dir.path()).filePath(name); }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QString m_reason;
    bool m_mounted = false;
};
