// SPDX-License-Identifier: GPL-3.0-or-later
#include "StandardsConfig.h"

#include <QRegularExpression>

namespace StandardsConfig {

namespace {

// Sparkplug ids and discovery levels: no separator, no wildcard, nothing a
// host or a hub could read two ways.
bool isId(const QString& text)
{
    static const QRegularExpression form(QStringLiteral("^[A-Za-z0-9_.-]{1,64}$"));
    return form.match(text).hasMatch();
}

QString yesNo(const QString& value, bool& into)
{
    const QString v = value.toLower();
    if (v != u"yes" && v != u"no")
        return QStringLiteral("enabled takes yes or no");
    into = v == u"yes";
    return {};
}

QString id(const QString& key, const QString& value, QString& into)
{
    if (!isId(value))
        return QStringLiteral("%1 takes 1 to 64 letters, digits, '_', '.' or '-' (no '/', "
                              "'+' or '#')")
            .arg(key);
    into = value;
    return {};
}

} // namespace

bool isSection(const QString& heading)
{
    return heading == u"sparkplug" || heading == u"discovery";
}

QString take(SparkplugConfig& sparkplug, DiscoveryConfig& discovery, const QString& section,
             const QString& key, const QString& value)
{
    if (section == u"sparkplug") {
        if (key == u"enabled")
            return yesNo(value, sparkplug.enabled);
        if (key == u"group")
            return id(key, value, sparkplug.group);
        if (key == u"node")
            return id(key, value, sparkplug.node);
        if (key == u"primary-host")
            return id(key, value, sparkplug.primaryHost);
    } else if (section == u"discovery") {
        if (key == u"enabled")
            return yesNo(value, discovery.enabled);
        if (key == u"prefix") {
            const QStringList levels = value.split(u'/');
            for (const QString& level : levels)
                if (!isId(level))
                    return QStringLiteral("prefix takes topic levels of letters, digits, '_', "
                                          "'.' and '-' separated by '/'");
            discovery.prefix = value;
            return {};
        }
        if (key == u"run-hz") {
            bool ok = false;
            const double hz = value.toDouble(&ok);
            if (!ok || hz <= 0 || hz > 655.35)
                return QStringLiteral("run-hz takes a frequency above 0 up to 655.35");
            discovery.runHz = hz;
            return {};
        }
    }
    return QStringLiteral("\"%1\" is not a setting of [%2]").arg(key, section);
}

QString missing(const SparkplugConfig& sparkplug, const DiscoveryConfig& discovery)
{
    if (sparkplug.enabled && sparkplug.group.isEmpty())
        return QStringLiteral("[sparkplug] needs its group");
    if (discovery.enabled && discovery.prefix.isEmpty())
        return QStringLiteral("[discovery] needs the prefix the hub reads");
    return {};
}

QString topicSafe(const QString& name)
{
    QString out;
    for (const QChar c : name.trimmed())
        out += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'_' || c == u'-' ? c : u'_';
    return out;
}

} // namespace StandardsConfig
