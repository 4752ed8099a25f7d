// SPDX-License-Identifier: GPL-3.0-or-later
#include "PortAccess.h"

#include <QCoreApplication>
#include <QFile>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>
#endif

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("PortAccess", text);
}

#ifdef Q_OS_UNIX
QString userName()
{
    const passwd* user = ::getpwuid(::geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QStringLiteral("$USER");
}

QString groupName(gid_t gid)
{
    const group* entry = ::getgrgid(gid);
    return entry ? QString::fromLocal8Bit(entry->gr_name) : QString::number(gid);
}

// Whether the user's account is in the group (by the group database), as
// opposed to whether this login, started earlier, already counts it.
bool accountIsInGroup(gid_t gid)
{
    const passwd* user = ::getpwuid(::geteuid());
    if (!user)
        return false;
    int count = 64;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(size_t(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    for (int i = 0; i < count; ++i) {
        if (groups[size_t(i)] == gid)
            return true;
    }
    return false;
}
#endif

} // namespace

QString PermissionHelp(const QString& portName, const QString& devicePath)
{
    // "COM1 (/dev/ttyS0)"; a device path on its own is named once.
    const QString named =
        devicePath == portName ? portName : QStringLiteral("%1 (%2)").arg(portName, devicePath);
    const QString intro = tr("You may not use the port %1.").arg(named) + u' ';
#ifdef Q_OS_UNIX
    struct stat info = {};
    if (::stat(QFile::encodeName(devicePath).constData(), &info) != 0)
        return intro + tr("Ask the administrator of this computer for access to it.");
    const QString group = groupName(info.st_gid);
    const QString mode = QStringLiteral("%1").arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    const bool groupMayUse = (info.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP);
    if (!groupMayUse) {
        const passwd* owner = ::getpwuid(info.st_uid);
        const QString ownerName =
            owner ? QString::fromLocal8Bit(owner->pw_name) : QString::number(info.st_uid);
        return intro + tr("It belongs to the user \"%1\" and the group \"%2\" with the mode %3, "
                          "so not even that group may read and write it. Ask the "
                          "administrator of this computer for access to it.")
                           .arg(ownerName, group, mode);
    }
    if (accountIsInGroup(info.st_gid)) {
        return intro + tr("It belongs to the group \"%1\", which your account is in, but this "
                          "login began before you were added. Log out and in again (a new "
                          "login is needed for the group to count), then open the port.")
                           .arg(group);
    }
    return intro + tr("It belongs to the group \"%1\". Add yourself to that group with\n\n"
                      "    sudo usermod -aG %1 %2\n\n"
                      "then log out and in again: the group counts only from a new login.")
                       .arg(group, userName());
#else
    Q_UNUSED(devicePath);
    return intro + tr("Ask the administrator of this computer for access to it.");
#endif
}
