// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The lock on parameter writing. Lives in memory for one run only: every run
// starts with no password and nothing armed.
struct PasswordLock
{
    QString CurrentPassword;
    bool PasswordSet = false;
    bool Unlocked = false;
    // Accepted in every run besides the password set during the run.
    static inline const QString DefaultPassword = QStringLiteral("41736259");
};
