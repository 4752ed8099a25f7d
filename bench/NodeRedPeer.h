// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Node-RED with node-red-contrib-modbus as a peer of vfdctl serve: per line a
// serial client (the buffered RTU transport, which waits for a whole answer),
// a flex getter fed by a function that walks the drives one request after the
// other, each answer as soon as it is in (the fastest such a flow goes), and
// a function that publishes the three values to the broker. Per drive it asks
// the status register and one block from 0x0D00 of eight registers (the
// values at 0, 2 and 7): the same exchanges vfdctl serve makes where the
// drives take blocks, with standard answers (two bytes a register, no
// decimal code: the flow scales by fixed factors). Installed outside the
// repository by bench/run-all (npm); the folder holds node_modules with
// node-red and node-red-contrib-modbus.
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <csignal>
#include <sys/prctl.h>

class NodeRedPeer
{
public:
    // Why the peer cannot run, or empty.
    static QString missing(const QString& folder)
    {
        if (folder.isEmpty())
            return QStringLiteral("no Node-RED folder given (bench/run-all --peers installs one)");
        if (QStandardPaths::findExecutable(QStringLiteral("node")).isEmpty())
            return QStringLiteral("node not found");
        for (const char* part : {"node-red/red.js", "node-red-contrib-modbus/package.json"})
            if (!QFile::exists(QDir(folder).filePath(QStringLiteral("node_modules/") + part)))
                return QStringLiteral("%1 has no node_modules/%2").arg(folder, part);
        return {};
    }

    // lines: name -> serial device, all at 9600,E,8,1.
    NodeRedPeer(const QString& folder, int brokerPort, const QList<QPair<QString, QString>>& lines)
    {
        QJsonArray flow;
        flow.append(QJsonObject{{"id", "tab"}, {"type", "tab"}, {"label", "lines"}});
        flow.append(QJsonObject{{"id", "broker"},
                                {"type", "mqtt-broker"},
                                {"broker", "127.0.0.1"},
                                {"port", QString::number(brokerPort)},
                                {"clientid", "node-red-peer"},
                                {"autoConnect", true},
                                {"protocolVersion", "4"},
                                {"keepalive", "60"},
                                {"cleansession", true}});
        flow.append(QJsonObject{{"id", "out"},
                                {"type", "mqtt out"},
                                {"z", "tab"},
                                {"qos", "0"},
                                {"retain", "false"},
                                {"broker", "broker"},
                                {"wires", QJsonArray{}}});
        for (const auto& [name, device] : lines)
            addLine(flow, name, device);
        const QString flowFile = m_dir.filePath(QStringLiteral("flow.json"));
        QFile f(flowFile);
        f.open(QIODevice::WriteOnly);
        f.write(QJsonDocument(flow).toJson());
        f.close();
        QFile settings(m_dir.filePath(QStringLiteral("settings.js")));
        settings.open(QIODevice::WriteOnly);
        // No editor and no HTTP nodes: the flow alone runs.
        settings.write(QStringLiteral("module.exports = { uiPort: 0, uiHost: '127.0.0.1', "
                                      "httpAdminRoot: false, httpNodeRoot: false, flowFile: '%1', "
                                      "userDir: '%2', credentialSecret: false, "
                                      "logging: { console: { level: 'error' } } };\n")
                           .arg(flowFile, m_dir.path())
                           .toUtf8());
        settings.close();
        // The installed modules are found through the user folder.
        QFile::link(QDir(folder).filePath(QStringLiteral("node_modules")),
                    m_dir.filePath(QStringLiteral("node_modules")));
        m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start(QStandardPaths::findExecutable(QStringLiteral("node")),
                        {QDir(folder).filePath(QStringLiteral("node_modules/node-red/red.js")),
                         QStringLiteral("--userDir"), m_dir.path(), QStringLiteral("--settings"),
                         m_dir.filePath(QStringLiteral("settings.js"))});
        m_process.waitForStarted(5000);
    }
    ~NodeRedPeer()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    NodeRedPeer(const NodeRedPeer&) = delete;
    NodeRedPeer& operator=(const NodeRedPeer&) = delete;

    qint64 pid() const { return m_process.processId(); }
    QString output() { return QString::fromLocal8Bit(m_process.readAll()); }

private:
    static void addLine(QJsonArray& flow, const QString& name, const QString& device)
    {
        const QString client = "client-" + name, next = "next-" + name, get = "get-" + name,
                      publish = "publish-" + name;
        flow.append(QJsonObject{{"id", client},
                                {"type", "modbus-client"},
                                {"name", name},
                                {"clienttype", "serial"},
                                {"bufferCommands", true},
                                {"stateLogEnabled", false},
                                {"queueLogEnabled", false},
                                {"failureLogEnabled", false},
                                {"tcpHost", "127.0.0.1"},
                                {"tcpPort", "502"},
                                {"tcpType", "DEFAULT"},
                                {"serialPort", device},
                                {"serialType", "RTU-BUFFERD"},
                                {"serialBaudrate", "9600"},
                                {"serialDatabits", "8"},
                                {"serialStopbits", "1"},
                                {"serialParity", "even"},
                                {"serialConnectionDelay", "100"},
                                {"serialAsciiResponseStartDelimiter", "0x3A"},
                                {"unit_id", "1"},
                                {"commandDelay", "1"},
                                {"clientTimeout", "1000"},
                                {"reconnectOnTimeout", true},
                                {"reconnectTimeout", "2000"},
                                {"parallelUnitIdsAllowed", false}});
        flow.append(QJsonObject{{"id", "start-" + name},
                                {"type", "inject"},
                                {"z", "tab"},
                                {"props", QJsonArray{}},
                                {"repeat", ""},
                                {"once", true},
                                {"onceDelay", "1"},
                                {"wires", QJsonArray{QJsonArray{next}}}});
        // After a failure (client not yet open, a time-out) the next request
        // waits a little, so a closed client does not spin the flow.
        flow.append(QJsonObject{
            {"id", next},
            {"type", "function"},
            {"z", "tab"},
            {"outputs", 1},
            {"func", "const steps = [[0x0E00, 1], [0x0D00, 8]];\n"
                     "const i = context.get('i') || 0;\n"
                     "context.set('i', i + 1);\n"
                     "const drive = 1 + Math.floor(i / steps.length) % 31, step = i % "
                     "steps.length;\n"
                     "const out = {payload: {fc: 3, unitid: drive, address: steps[step][0], "
                     "quantity: steps[step][1]}, drive: drive, step: step};\n"
                     "if (msg.error) { setTimeout(() => node.send(out), 50); return null; }\n"
                     "return out;"},
            {"wires", QJsonArray{QJsonArray{get}}}});
        flow.append(QJsonObject{{"id", get},
                                {"type", "modbus-flex-getter"},
                                {"z", "tab"},
                                {"showStatusActivities", false},
                                {"showErrors", false},
                                {"server", client},
                                {"useIOFile", false},
                                {"ioFile", ""},
                                {"useIOForPayload", false},
                                {"emptyMsgOnFail", true},
                                {"keepMsgProperties", true},
                                {"wires", QJsonArray{QJsonArray{publish}, QJsonArray{}}}});
        flow.append(QJsonObject{
            {"id", publish},
            {"type", "function"},
            {"z", "tab"},
            {"outputs", 2},
            {"func", QStringLiteral("const out = [];\n"
                                    "const v = msg.payload;\n"
                                    "const base = 'nodered/%1/' + msg.drive + '/';\n"
                                    "if (Array.isArray(v) && msg.step === 1) {\n"
                                    "  out.push({topic: base + 'freq-out', payload: String(v[0] / "
                                    "100)});\n"
                                    "  out.push({topic: base + 'current', payload: String(v[2] / "
                                    "10)});\n"
                                    "  out.push({topic: base + 'dc-bus', payload: String(v[7])});\n"
                                    "}\n"
                                    "return [out, {error: msg.error}];")
                         .arg(name)},
            {"wires", QJsonArray{QJsonArray{"out"}, QJsonArray{next}}}});
    }

    QTemporaryDir m_dir;
    QProcess m_process;
};
