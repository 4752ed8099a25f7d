// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DriveList.h"
#include "ShownText.h"
#include "SiteFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTextStream>
#include <QTimer>
#include <atomic>
#include <functional>

class LinkClient;

// The context of vfdctl's texts for Qt's translation tools: CtlText::tr("...")
// in every command's source (translations/vfdctl_*.ts).
struct CtlText
{
    Q_DECLARE_TR_FUNCTIONS(CtlText)

public:
    // "1 parameter", "3 parameters": each form a text of its own, so the
    // English stays as written and a language without plurals gives its one.
    static QString parameters(qsizetype n)
    {
        return (n == 1 ? tr("%1 parameter") : tr("%1 parameters")).arg(n);
    }
    static QString drives(qsizetype n)
    {
        return (n == 1 ? tr("%1 drive") : tr("%1 drives")).arg(n);
    }
    static QString differences(qsizetype n)
    {
        return (n == 1 ? tr("%1 difference") : tr("%1 differences")).arg(n);
    }
};

// What every vfdctl command is handed: the open link, the options that apply
// to all commands, where its words go, and how it asks and notices Ctrl-C.
// With --json the words for people are left out and one JSON document (the
// report) is written at the end instead; messages on standard error stay.
struct CtlContext
{
    CtlContext(QTextStream& out, QTextStream& err) : out(out), err(err) {}

    QTextStream& out;
    QTextStream& err;
    // The link on the port the user named, opened on first use: a command
    // checks its words and files first, so a mistake there never touches the
    // line. nullptr when the port could not be opened (said already).
    std::function<LinkClient*()> openLink;
    QString portName;
    QString settings = QStringLiteral("9600,E,8,1");
    // The site given by --site (or VFDCTL_SITE) and its line (--line, or its
    // only one): the port and settings come from it, its drives' names stand
    // for addresses, and outputs go into it. nullptr without a site.
    SiteFolder* site = nullptr;
    const SiteLine* siteLine = nullptr;
    // --line as given (site init names its new line with it).
    QString lineName;
    // The command's words ("set", "site status"): the journal's tool is
    // "vfdctl " and this.
    QString command;
    // A journal entry could not be written: said, and the exit status is 1.
    bool journalFailed = false;

    bool json = false;
    bool quiet = false;
    bool yes = false;
    bool force = false;
    bool showProgress = false;
    bool fullVerify = false;
    QSet<quint16> include; // P8.00 / P8.01 asked for by --include-address / --include-line
    const std::atomic<bool>* stop = nullptr;
    std::function<bool(const QString& question)> confirm;

    // The --json document; commands fill it as they go.
    QJsonObject report;
    bool progressOpen = false; // a live line stands unfinished on standard error

    bool stopRequested() const { return stop && stop->load(); }

    // One drive's address (1..31) from the command line, or nullopt with the
    // problem said. With a site, the name of a drive of its line stands for
    // its address (case does not matter); an address stays an address, also
    // of a drive the site does not list yet.
    std::optional<quint8> driveAddress(const QString& word)
    {
        if (word.isEmpty()) {
            warn(siteLine ? CtlText::tr("name the drive: ADDRESS 1..31 or a drive's name.")
                          : CtlText::tr("name the drive: ADDRESS 1..31."));
            return std::nullopt;
        }
        if (const std::optional<quint8> named = siteDriveNamed(word))
            return named;
        QString problem;
        const std::optional<quint8> address = DriveList::parseOne(word, &problem);
        if (!address)
            warn(siteLine ? CtlText::tr("\"%1\" names no drive of line %2 (%3)")
                                .arg(word, siteLine->name, ShownText::of(problem))
                          : problem + u'.');
        return address;
    }
    // A list of drives ("1,3-5"; with a site also names, "Conveyor 3,5"), or
    // nullopt with the problem said. With a site, no words stand for every
    // drive of its line.
    std::optional<QList<quint8>> driveList(const QString& words)
    {
        QString problem;
        if (!siteLine) {
            std::optional<QList<quint8>> list = DriveList::parse(words, &problem);
            if (!list)
                warn(problem + u'.');
            return list;
        }
        QList<quint8> out;
        if (words.trimmed().isEmpty()) {
            for (const SiteDrive& d : siteLine->drives)
                out << d.address;
            if (out.isEmpty())
                warn(CtlText::tr("line %1 of the site lists no drives: name them, or give "
                                 "site init --scan.")
                         .arg(siteLine->name));
            return out.isEmpty() ? std::nullopt : std::optional(out);
        }
        for (const QString& item : words.split(u',')) {
            std::optional<QList<quint8>> some;
            if (const std::optional<quint8> named = siteDriveNamed(item))
                some = QList<quint8>{*named};
            else
                some = DriveList::parse(item, &problem);
            if (!some) {
                warn(CtlText::tr("\"%1\" names no drive of line %2 (%3)")
                         .arg(item.trimmed(), siteLine->name, problem));
                return std::nullopt;
            }
            for (const quint8 a : *some)
                if (!out.contains(a))
                    out << a;
        }
        return out;
    }
    // The drive of the site's line with this name, if any.
    std::optional<quint8> siteDriveNamed(const QString& word) const
    {
        if (!siteLine)
            return std::nullopt;
        for (const SiteDrive& d : siteLine->drives)
            if (!d.name.isEmpty() && d.name.compare(word.trimmed(), Qt::CaseInsensitive) == 0)
                return d.address;
        return std::nullopt;
    }
    // "3" or "3 (Conveyor 3)".
    QString driveLabel(quint8 address) const
    {
        return siteLine ? SiteFolder::driveLabel(*siteLine, address) : QString::number(address);
    }

    // A line of the report for people (not with --json or --quiet), out at
    // once: a stage of a long job is said as it begins, not at the end. A
    // core's English result said as it is reads in the user's language.
    void say(const QString& line)
    {
        if (!json && !quiet) {
            endProgress();
            out << ShownText::of(line) << '\n' << Qt::flush;
        }
    }
    // A line that is the command's answer (kept with --quiet, not with --json).
    void answer(const QString& line)
    {
        if (!json) {
            endProgress();
            out << ShownText::of(line) << '\n' << Qt::flush;
        }
    }
    // A problem, always on standard error, and in the report's "messages".
    void warn(const QString& line)
    {
        endProgress();
        err << "vfdctl: " << ShownText::of(line) << '\n' << Qt::flush;
        QJsonArray messages = report.value(QLatin1String("messages")).toArray();
        messages.append(line);
        report.insert(QLatin1String("messages"), messages);
    }
    // Yes from --yes or from the user; never with --json and no --yes (a
    // script that wants writes says so).
    bool ask(const QString& question)
    {
        if (yes)
            return true;
        if (json)
            return false;
        return confirm ? confirm(question) : false;
    }
    void progress(const QString& what, int done, int total)
    {
        live(QStringLiteral("%1 %2/%3").arg(ShownText::of(what)).arg(done).arg(total));
    }
    // A line on a terminal redrawn in place (progress, live values); whatever
    // is said next begins on a line of its own.
    void live(const QString& text)
    {
        if (!showProgress || json || quiet)
            return;
        err << '\r' << text << "\x1b[K" << Qt::flush;
        progressOpen = true;
    }
    void endProgress()
    {
        if (progressOpen)
            err << '\n' << Qt::flush;
        progressOpen = false;
    }
    // The journal's name for what sends with this command.
    QString tool() const { return QStringLiteral("vfdctl ") + command; }
    // What a SiteJournaling call returned: a failure is said at once (the
    // command goes on: a STOP still goes out) and makes the exit status 1.
    void journaled(const QString& failure)
    {
        if (failure.isEmpty())
            return;
        if (!journalFailed)
            warn(failure + CtlText::tr(": what was sent is not in the site's journal."));
        journalFailed = true;
    }
    // With a site and no file named: a new file of the kind in the site,
    // its name never used before; empty (and said why) when none can be made.
    QString newSiteFile(SiteLayout::Kind kind, quint8 drive, const QString& what,
                        const QString& extension, const QDateTime& when)
    {
        QString why;
        const QString path =
            site->layout().create(kind, siteLine->name, drive, what, extension, when, &why);
        if (path.isEmpty())
            warn(CtlText::tr("nothing can be saved in the site: %1.").arg(ShownText::of(why)));
        return path;
    }

    // Ends the command: the JSON document (with the exit status) when asked for.
    int finish(int code)
    {
        if (journalFailed)
            code = std::max(code, 1);
        endProgress();
        if (json) {
            if (!report.contains(QLatin1String("messages")))
                report.insert(QLatin1String("messages"), QJsonArray());
            report.insert(QLatin1String("exit"), code);
            out << QJsonDocument(report).toJson(QJsonDocument::Compact) << '\n';
        }
        out.flush();
        err.flush();
        return code;
    }

    // Runs the event loop until the job says finished. Ctrl-C cancels it once;
    // a job lets the exchange on the line end. True when it was stopped so.
    template <class Job, class Signal>
    bool runToEnd(Job& job, Signal finished, const std::function<void()>& start,
                  const std::function<void()>& cancel)
    {
        QEventLoop loop;
        QObject::connect(&job, finished, &loop, &QEventLoop::quit);
        bool stopped = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
            if (!stopped && stopRequested()) {
                stopped = true;
                err << "\nvfdctl: "
                    << CtlText::tr("stopping once the exchange under way has ended.") << '\n'
                    << Qt::flush;
                cancel();
            }
        });
        watch.start(50);
        start();
        loop.exec();
        return stopped;
    }
};
