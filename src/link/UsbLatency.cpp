// SPDX-License-Identifier: GPL-3.0-or-later
#include "UsbLatency.h"

#include "BoundedRead.h"

#include <QFile>
#include <QFileInfo>

namespace UsbLatency {

namespace {

QString kernelName(const QString& device)
{
    // A /dev/serial/by-id name is a link to the real node.
    const QFileInfo info(device);
    const QString real = info.exists() ? info.canonicalFilePath() : device;
    return QFileInfo(real).fileName();
}

} // namespace

std::optional<int> read(const QString& device, const QString& sysRoot)
{
    const QString name = kernelName(device);
    if (name.isEmpty() || name.contains(u'/') || name == u"." || name == u"..")
        return std::nullopt;
    for (const QString& path :
         {sysRoot + QStringLiteral("/class/tty/") + name + QStringLiteral("/device/latency_timer"),
          sysRoot + QStringLiteral("/bus/usb-serial/devices/") + name +
              QStringLiteral("/latency_timer")}) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const BoundedRead text = readAtMost(file, 64);
        if (text.outcome != BoundedRead::Outcome::Read)
            continue;
        bool ok = false;
        const int ms = QString::fromLatin1(text.bytes).trimmed().toInt(&ok);
        if (ok && ms >= 0 && ms <= 255)
            return ms;
    }
    return std::nullopt;
}

QString advice(const QString& device, int latencyMs)
{
    const QString name = kernelName(device);
    return QStringLiteral(
               "The USB serial adapter %1 holds every answer up to %2 ms (its latency timer) "
               "before passing it on, which slows every exchange. Set it to 1 ms as root: "
               "echo 1 | sudo tee /sys/bus/usb-serial/devices/%1/latency_timer — or for good "
               "with a udev rule (/etc/udev/rules.d/99-vfd-latency.rules): "
               "ACTION==\"add\", SUBSYSTEM==\"usb-serial\", DRIVER==\"ftdi_sio\", "
               "ATTR{latency_timer}=\"1\". Until then the answer time-out allows for it.")
        .arg(name)
        .arg(latencyMs);
}

} // namespace UsbLatency
