// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServeConfig.h"

#include "DriveList.h"
#include "IniText.h"
#include "RecordCommand.h"
#include "SerialPort.h"
#include "ServeParams.h"

#include <QHostInfo>
#include <QRegularExpression>
#include <QSet>
#include <QUrl>

QString ServeConfig::effectiveClientId() const
{
    if (!clientId.isEmpty())
        return clientId;
    // One service per line or gateway is the usual plant: the first line's
    // name keeps two services on one host apart at the broker.
    QString id = QStringLiteral("vfdctl-") + QHostInfo::localHostName();
    if (!lines.isEmpty())
        id += u'-' + lines.first().name;
    return id;
}

namespace ServeConfigText {

namespace {

// A topic level may hold no wildcard and no separator.
bool isTopicLevel(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_.-]+$"));
    return form.match(text).hasMatch();
}

bool isTopicPrefix(const QString& text)
{
    const QStringList levels = text.split(u'/');
    for (const QString& level : levels)
        if (!isTopicLevel(level))
            return false;
    return true;
}

// One key of one section, checked and stored; an empty return is success.
QString take(ServeConfig& config, ServeLineConfig* line, const QString& section, const QString& key,
             const QString& value)
{
    auto duration = [&](int lowMs, int highMs, int& into) -> QString {
        const auto ms = parseDurationMs(value);
        if (!ms || *ms < lowMs || *ms > highMs)
            return QStringLiteral("%1 takes a time of %2 ms to %3 s, such as 1s or 500ms")
                .arg(key)
                .arg(lowMs)
                .arg(highMs / 1000);
        into = int(*ms);
        return {};
    };
    if (section == u"broker") {
        if (key == u"url") {
            QString why;
            return parseBroker(value, config, &why) ? QString() : why;
        }
        if (key == u"client-id") {
            if (value.isEmpty() || value.size() > 128)
                return QStringLiteral("client-id takes 1 to 128 characters");
            // It is a level of the service's own topic (its status, its last
            // will): a wildcard or a separator there would leave them nowhere.
            for (const QChar c : value)
                if (c == u'+' || c == u'#' || c == u'/' || c.category() == QChar::Other_Control)
                    return QStringLiteral("client-id \"%1\" becomes a topic level: no '+', '#', "
                                          "'/' or control characters")
                        .arg(value);
            config.clientId = value;
            return {};
        }
        if (key == u"user") {
            config.user = value;
            return {};
        }
        if (key == u"password-file") {
            config.passwordFile = value;
            return {};
        }
        if (key == u"ca-file") {
            config.caFile = value;
            return {};
        }
    } else if (section == u"publish") {
        if (key == u"prefix") {
            if (!isTopicPrefix(value))
                return QStringLiteral("prefix takes topic levels of letters, digits, '_', '.' "
                                      "and '-' separated by '/'");
            config.prefix = value;
            return {};
        }
        if (key == u"every")
            return duration(1000, 3600000, config.publishEveryMs);
        if (key == u"queue-dir") {
            config.queueDir = value;
            return {};
        }
        if (key == u"queue-size") {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 10 || n > 10000000)
                return QStringLiteral("queue-size takes a number of readings, 10 to 10000000");
            config.queueLimit = n;
            return {};
        }
        if (key == u"retries") {
            bool ok = false;
            const int n = value.toInt(&ok);
            if (!ok || n < 0 || n > 10)
                return QStringLiteral("retries takes 0 to 10");
            config.retries = n;
            return {};
        }
    } else if (section == u"commands") {
        if (key == u"enabled") {
            const QString v = value.toLower();
            if (v != u"yes" && v != u"no")
                return QStringLiteral("enabled takes yes or no");
            config.commands = v == u"yes";
            return {};
        }
        if (key == u"rhythm")
            return duration(500, 60000, config.commandRhythmMs);
        if (key == u"writable")
            return ServeParams::parseWritable(value, config.writable);
    } else if (section == u"drift") {
        if (key == u"share")
            return ServeParams::parseShare(value, config.driftShare);
    } else if (StandardsConfig::isSection(section)) {
        return StandardsConfig::take(config.sparkplug, config.discovery, section, key, value);
    } else if (line) {
        if (const auto taken =
                IniText::takeLineKey(key, value, line->port, line->settings, line->drives))
            return *taken;
        if (key == u"values") {
            QString unknown;
            const auto values = RecordValues::parseKeys(value, &unknown);
            if (!values)
                return unknown.isEmpty() ? QStringLiteral("values names no value")
                                         : QStringLiteral("values: \"%1\" is no value's "
                                                          "name")
                                               .arg(unknown);
            line->values = *values;
            return {};
        }
        if (key == u"interval")
            return duration(100, 60000, line->intervalMs);
        if (const auto taken = ShareConfigText::takeKey(key, value, line->share))
            return *taken;
    }
    return QStringLiteral("\"%1\" is not a setting of [%2]").arg(key, section);
}

} // namespace

bool parseBroker(const QString& url, ServeConfig& config, QString* error)
{
    const QUrl u(url.trimmed(), QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    if (!u.isValid() || (scheme != u"mqtt" && scheme != u"mqtts") || u.host().isEmpty() ||
        (!u.path().isEmpty() && u.path() != u"/")) {
        if (error)
            *error = QStringLiteral("the broker \"%1\" is not mqtt://HOST[:PORT] or "
                                    "mqtts://HOST[:PORT]")
                         .arg(url);
        return false;
    }
    config.tls = scheme == u"mqtts";
    config.host = u.host();
    config.brokerPort = u.port(config.tls ? 8883 : 1883);
    return true;
}

std::optional<ServeConfig> parse(const QString& text, QString* error, bool siteChecked)
{
    ServeConfig config;
    ServeLineConfig* line = nullptr;
    bool siteSection = false;
    auto onSection = [&](const QString& heading, int at) -> QString {
        line = nullptr;
        siteSection = heading == u"site" || heading.startsWith(QStringLiteral("drive "));
        if (siteSection) {
            if (config.siteSectionAt == 0)
                config.siteSectionAt = at;
            return {};
        }
        if (heading == u"broker" || heading == u"publish" || heading == u"commands" ||
            heading == u"drift" || StandardsConfig::isSection(heading))
            return {};
        if (heading.startsWith(QStringLiteral("line "))) {
            const QString name = heading.mid(5).trimmed();
            if (!isTopicLevel(name))
                return QStringLiteral("a line's name is one topic level: letters, "
                                      "digits, '_', '.' and '-'");
            config.lines.append(ServeLineConfig{});
            line = &config.lines.last();
            line->name = name;
            line->definedAt = at;
            return {};
        }
        return QStringLiteral(
                   "[%1] is not a section here: [broker], [publish], "
                   "[commands], [drift], [sparkplug], [discovery], [line NAME], [site] or "
                   "[drive LINE ADDRESS]")
            .arg(heading);
    };
    auto onKey = [&](const QString& section, const QString& key, const QString& value, int) {
        if (siteSection)
            return QString();
        static const QStringList serviceLineKeys{QStringLiteral("port"), QStringLiteral("settings"),
                                                 QStringLiteral("drives"), QStringLiteral("values"),
                                                 QStringLiteral("interval")};
        if (siteChecked && line && !serviceLineKeys.contains(key) &&
            !ShareConfigText::isShareKey(key))
            return QString();
        return take(config, line, section, key, value);
    };
    if (!IniText::read(text, onSection, onKey, error))
        return std::nullopt;
    return config;
}

bool validate(const ServeConfig& config, QString* error)
{
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (config.lines.isEmpty())
        return fail(QStringLiteral("no line to serve"));
    QSet<QString> names;
    for (const ServeLineConfig& line : config.lines) {
        const QString where = line.definedAt > 0
                                  ? QStringLiteral("line %1: [line %2]").arg(line.definedAt)
                                  : QStringLiteral("the line %1").arg(line.name);
        const QString what = line.definedAt > 0 ? where.arg(line.name) : where;
        if (names.contains(line.name))
            return fail(QStringLiteral("%1 is named twice").arg(what));
        names.insert(line.name);
        if (line.port.isEmpty())
            return fail(QStringLiteral("%1 names no port").arg(what));
        if (line.drives.isEmpty())
            return fail(QStringLiteral("%1 names no drives").arg(what));
        if (line.values.isEmpty())
            return fail(QStringLiteral("%1 names no values").arg(what));
        for (const ServeLineConfig& other : config.lines)
            if (&other != &line && line.share.enabled() && other.share.port == line.share.port &&
                other.share.host == line.share.host)
                return fail(QStringLiteral("%1 shares itself at %2, as another line does")
                                .arg(what, line.share.listen));
    }
    if (config.tls && config.caFile.isEmpty())
        return fail(QStringLiteral("an mqtts:// broker needs its ca-file"));
    if (!config.user.isEmpty() && config.passwordFile.isEmpty())
        return fail(QStringLiteral("a user needs its password-file"));
    if (const QString lacking = StandardsConfig::missing(config.sparkplug, config.discovery);
        !lacking.isEmpty())
        return fail(lacking);
    return true;
}

} // namespace ServeConfigText
