// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A small file system of its own (a tmpfs mounted on a temporary folder) that
// a test fills to the last byte and frees again, to see what a program does
// with a full disk. Where mounting is not allowed, reason() says why and the
// test skips.
class SmallDisk
{
public:
    explicit SmallDisk(int kilobytes = 64)
    {
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=%1k").arg(kilobytes), QStringLiteral("tmpfs"),
                     m_dir.path()});
        if (!mount.waitForFinished(10000) || mount.exitStatus() != QProcess::NormalExit ||
            mount.exitCode() != 0) {
            m_reason = QStringLiteral("a small tmpfs cannot be mounted here: %1")
                           .arg(QString::fromLocal8Bit(mount.readAllStandardError()).trimmed() +
                                mount.errorString());
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), m_dir.path()});
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool ok() const { return m_mounted; }
    QString reason() const { return m_reason; }
    QString path() const { return m_dir.path(); }

    // Writes a file until the disk takes no more; whether it is full.
    bool fill()
    {
        QFile filler(fillerPath());
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            return false;
        const QByteArray block(512, 'x');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write("x", 1) == 1) {
        }
        return true;
    }
    // Room again.
    bool free() { return QFile::remove(fillerPath()); }

private:
    QString fillerPath() const { return QDir(m_dir.path()).filePath(QStringLiteral("filler")); }

    QTemporaryDir m_dir;
    QString m_reason;
    bool m_mounted = false;
};
