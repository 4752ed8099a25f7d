// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Changes the benchmarks can make to the running program, without touching
// it, to show what a different receive or log strategy would cost or save.
#include "Hexedit.h"
#include "TrafficLogBox.h"
#include "demo.h"

#include <QString>
#include <QStringList>
#include <QTimer>

#include <algorithm>
#include <memory>

// The traffic log fed in batches. With everyMs 0: a frame at a time, bytes
// waiting here until the frame's line break, or 50 ms at most when no frame
// completes. Otherwise whatever came in, at most every everyMs.
class FrameBatcher : public QObject
{
public:
    FrameBatcher(Hexedit& link, TrafficLogBox& box, int everyMs) : m_box(box)
    {
        m_flush.setSingleShot(true);
        m_flush.setInterval(everyMs > 0 ? everyMs : 50);
        connect(&m_flush, &QTimer::timeout, this, &FrameBatcher::flush);
        connect(&link, &Hexedit::trafficLog, this, [this, everyMs](const QString& text) {
            m_pending += text;
            if (everyMs == 0 && text.endsWith(u'\n'))
                flush();
            else if (!m_flush.isActive())
                m_flush.start();
        });
    }

private:
    void flush()
    {
        m_flush.stop();
        if (!m_pending.isEmpty())
            m_box.appendTraffic(m_pending);
        m_pending.clear();
    }

    TrafficLogBox& m_box;
    QTimer m_flush;
    QString m_pending;
};

// Lets every drain tick take all waiting bytes instead of one: after the
// link's own tick (connected first), tick again while bytes wait.
inline void drainAllPerTick(Hexedit& link)
{
    QObject::connect(&link.DrainTimer(), &QTimer::timeout, &link, [&link] {
        while (link.DrainTimer().isActive() && link.port().bytesWaiting() > 0)
            link.DrainTick();
    });
}

// The changes asked for on the command line, applied to a main window:
//   --no-traffic-log  the traffic log gets nothing
//   --log-per-frame   the traffic log gets its text a frame at a time
//   --log-every MS    the traffic log gets what came in at most every MS ms
//   --drain-all       each drain tick takes every waiting byte
//   --hidden          the window is never shown, so nothing is painted
struct Variants
{
    bool noLog = false;
    bool perFrame = false;
    int logEveryMs = 0;
    bool drainAll = false;
    bool hidden = false;
    std::unique_ptr<FrameBatcher> batcher;

    static QString usage()
    {
        return QStringLiteral("[--no-traffic-log | --log-per-frame | --log-every MS] [--drain-all] "
                              "[--hidden]");
    }

    explicit Variants(const QStringList& args)
        : noLog(args.contains(QStringLiteral("--no-traffic-log"))),
          perFrame(args.contains(QStringLiteral("--log-per-frame"))),
          drainAll(args.contains(QStringLiteral("--drain-all"))),
          hidden(args.contains(QStringLiteral("--hidden")))
    {
        const qsizetype at = args.indexOf(QStringLiteral("--log-every"));
        if (at >= 0 && at + 1 < args.size())
            logEveryMs = std::max(1, args.at(at + 1).toInt());
    }

    // Before the window is shown and the port opened.
    void apply(demo& window)
    {
        if (noLog || perFrame || logEveryMs > 0)
            window.link().disconnect(window.Text28);
        if (!noLog && (perFrame || logEveryMs > 0))
            batcher = std::make_unique<FrameBatcher>(window.link(), *window.Text28, logEveryMs);
        if (drainAll)
            drainAllPerTick(window.link());
        if (!hidden)
            window.show();
    }

    QString describe() const
    {
        QStringList parts;
        parts << (hidden ? QStringLiteral("window hidden") : QStringLiteral("window shown"));
        if (noLog)
            parts << QStringLiteral("traffic log disconnected");
        if (perFrame && logEveryMs == 0)
            parts << QStringLiteral("traffic log fed per frame");
        if (logEveryMs > 0)
            parts << QStringLiteral("traffic log fed every %1 ms").arg(logEveryMs);
        if (drainAll)
            parts << QStringLiteral("drain takes all waiting bytes per tick");
        if (!noLog && !perFrame && logEveryMs == 0 && !drainAll)
            parts << QStringLiteral("program as built");
        return parts.join(QStringLiteral(", "));
    }
};
