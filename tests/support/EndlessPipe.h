// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <sys/stat.h>

// A named pipe whose writer never stops: a file name that leads to data with
// no size and no end, as /dev/zero does. The writer is stopped with the test;
// once the reader has closed the pipe it ends by itself.
class EndlessPipe
{
public:
    explicit EndlessPipe(const QString& path) : m_path(path)
    {
        m_made = ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
        if (m_made)
            m_writer.start(QStringLiteral("sh"),
                           {QStringLiteral("-c"), QStringLiteral("exec yes > \"$1\""),
                            QStringLiteral("sh"), path});
    }
    ~EndlessPipe()
    {
        m_writer.kill();
        m_writer.waitForFinished(3000);
    }
    EndlessPipe(const EndlessPipe&) = delete;
    EndlessPipe& operator=(const EndlessPipe&) = delete;

    bool made() const { return m_made; }
    QString path() const { return m_path; }

private:
    QString m_path;
    bool m_made = false;
    QProcess m_writer;
};
