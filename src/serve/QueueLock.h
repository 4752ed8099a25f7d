// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// One service per queue folder. Two services sharing one (two lines given
// the same folder by mistake) would each rewrite the queue file with only
// their own readings, and whichever stopped last would throw away the
// other's. The lock is the system's (flock on a file in the folder): it goes
// with its process however that ends, so a lock left by a killed service is
// simply taken by the next. The file says who holds it, for the one refused.
class QueueLock
{
public:
    static constexpr const char* FileName = "serve.lock";

    QueueLock() = default;
    ~QueueLock();
    QueueLock(const QueueLock&) = delete;
    QueueLock& operator=(const QueueLock&) = delete;

    // Takes the folder for this process; holder says who we are (the client
    // id). False, and why (naming the service that holds it), when it cannot.
    bool take(const QString& dir, const QString& holder, QString* error);

private:
    int m_fd = -1;
};
