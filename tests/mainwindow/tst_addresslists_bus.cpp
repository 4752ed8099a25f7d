// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's address lists as a screen reader meets them: the real
// program on a desktop of the test's own, read over the accessibility bus.
#include "DesktopBus.h"
#include "WaitUntil.h"

#include <QDBusArgument>
#include <QDBusVariant>
#include <QDir>
#include <QSettings>
#include <QTest>

namespace {

struct Node
{
    QString service;
    QString path;
    bool operator==(const Node&) const = default;
};

Node readNode(const QDBusArgument& argument)
{
    Node node;
    QDBusObjectPath path;
    argument.beginStructure();
    argument >> node.service >> path;
    argument.endStructure();
    node.path = path.path();
    return node;
}

// What a reader asks of one object, one call at a time.
class Reader
{
public:
    explicit Reader(QDBusConnection& bus) : m_bus(bus) {}

    QVariant call(const Node& node, const QString& face, const QString& method,
                  const QVariantList& arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            node.service, node.path, QStringLiteral("org.a11y.atspi.") + face, method);
        message.setArguments(arguments);
        return m_bus.call(message, QDBus::Block, 10000).arguments().value(0);
    }
    QVariant property(const Node& node, const QString& face, const QString& name)
    {
        QDBusMessage message = QDBusMessage::createMethodCall(
            node.service, node.path, "org.freedesktop.DBus.Properties", "Get");
        message.setArguments({QStringLiteral("org.a11y.atspi.") + face, name});
        return m_bus.call(message, QDBus::Block, 10000)
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant();
    }

    QList<Node> children(const Node& node)
    {
        QList<Node> found;
        const auto array = call(node, "Accessible", "GetChildren").value<QDBusArgument>();
        array.beginArray();
        while (!array.atEnd())
            found << readNode(array);
        array.endArray();
        return found;
    }
    QString name(const Node& node) { return property(node, "Accessible", "Name").toString(); }
    QString role(const Node& node) { return call(node, "Accessible", "GetRoleName").toString(); }
    Node parent(const Node& node)
    {
        return readNode(property(node, "Accessible", "Parent").value<QDBusArgument>());
    }

    // The application the registry lists for the process.
    Node application(qint64 pid)
    {
        const Node registry{"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};
        for (const Node& app : children(registry)) {
            const QDBusMessage owner = m_bus.call(
                QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                               "org.freedesktop.DBus", "GetConnectionUnixProcessID")
                << app.service);
            if (owner.arguments().value(0).toLongLong() == pid)
                return app;
        }
        return {};
    }

    // Every combo box below the node, by its name.
    QMap<QString, Node> lists(const Node& top)
    {
        QMap<QString, Node> found;
        QList<Node> next{top};
        for (int seen = 0; !next.isEmpty() && seen < 3000; ++seen) {
            const Node node = next.takeFirst();
            if (role(node) == u"combo box")
                found.insert(name(node), node);
            else
                next << children(node);
        }
        return found;
    }

private:
    QDBusConnection& m_bus;
};

} // namespace

class tst_addresslists_bus : public QObject
{
    Q_OBJECT
private slots:
    void listsTellTheirNameTheirAddressAndTheirEntries();
};

// Each list says its label, the address on show (as text and as a number)
// and the 32 addresses it offers (0, every drive, to 31); an address set
// over the bus is the one the program keeps, and a list that is switched off
// takes none.
void tst_addresslists_bus::listsTellTheirNameTheirAddressAndTheirEntries()
{
    DesktopBus desktop;
    if (!desktop.failure().isEmpty())
        QSKIP(qPrintable(QStringLiteral("No accessibility bus here: ") + desktop.failure()));

    QTemporaryDir home;
    const QString settings = home.filePath("vfdtool/vfdtool.conf");
    {
        QSettings kept(settings, QSettings::IniFormat);
        kept.setValue("vfdtool/format", 1);
        kept.setValue("main/singleDrive", "true");
        kept.setValue("main/singleAddress", "5");
        kept.setValue("main/firstAddress", "3");
        kept.setValue("main/endAddress", "12");
    }
    QProcess program;
    QProcessEnvironment env = desktop.env();
    env.insert("XDG_CONFIG_HOME", home.path());
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    // On the built-in line: the addresses can be chosen once a port is open.
    program.start(QStringLiteral(VFDTOOL_PATH), {"--no-welcome", "--open", "--port", "SIM"});
    QVERIFY(program.waitForStarted(10000));

    Reader reader(desktop.a11y());
    Node app;
    QMap<QString, Node> lists;
    const QStringList labels{"Single Machine", "First", "End"};
    QVERIFY2(waitUntil(
                 [&] {
                     // A program that could not show itself has said why on
                     // the test's output: no use waiting for it.
                     if (program.state() == QProcess::NotRunning)
                         return true;
                     if (app.service.isEmpty())
                         app = reader.application(program.processId());
                     if (!app.service.isEmpty())
                         lists = reader.lists(app);
                     return lists.contains(labels[0]) && lists.contains(labels[1]) &&
                            lists.contains(labels[2]);
                 },
                 60000),
             qPrintable(QStringLiteral("lists seen: ") + lists.keys().join(", ")));
    QVERIFY2(program.state() == QProcess::Running,
             "the program ended before its window was read; its output says why");

    QStringList offered;
    for (int address = 0; address <= 31; ++address)
        offered << QString::number(address);
    const QStringList shown{"5", "3", "12"};
    for (int i = 0; i < labels.size(); ++i) {
        const Node list = lists.value(labels[i]);
        QCOMPARE(reader.call(list, "Text", "GetText", {0, -1}).toString(), shown[i]);
        QCOMPARE(reader.property(list, "Text", "CharacterCount").toInt(), shown[i].size());
        QCOMPARE(reader.property(list, "Value", "CurrentValue").toDouble(), shown[i].toDouble());
        QCOMPARE(reader.property(list, "Value", "MinimumValue").toDouble(), 0.0);
        QCOMPARE(reader.property(list, "Value", "MaximumValue").toDouble(), 31.0);

        const QList<Node> popup = reader.children(list);
        QCOMPARE(popup.size(), 1);
        QCOMPARE(reader.role(popup[0]), QStringLiteral("list"));
        // From an entry a reader goes up to the list it belongs to.
        QCOMPARE(reader.parent(popup[0]), list);
        QStringList entries;
        for (const Node& entry : reader.children(popup[0]))
            entries << reader.name(entry);
        QCOMPARE(entries, offered);
    }

    // Only the single drive's list is on while one drive is driven.
    const auto set = [&](const QString& label, double address) {
        QDBusMessage message = QDBusMessage::createMethodCall(
            lists[label].service, lists[label].path, "org.freedesktop.DBus.Properties", "Set");
        message.setArguments(
            {"org.a11y.atspi.Value", "CurrentValue", QVariant::fromValue(QDBusVariant(address))});
        desktop.a11y().call(message, QDBus::Block, 10000);
    };
    set("Single Machine", 7);
    set("First", 9);
    QCOMPARE(reader.call(lists["Single Machine"], "Text", "GetText", {0, -1}).toString(),
             QStringLiteral("7"));
    QCOMPARE(reader.call(lists["First"], "Text", "GetText", {0, -1}).toString(),
             QStringLiteral("3"));

    // Ended as a log-out ends it; what it keeps is what the reader chose.
    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitCode(), 0);
    QSettings kept(settings, QSettings::IniFormat);
    QCOMPARE(kept.value("main/singleAddress").toString(), QStringLiteral("7"));
    QCOMPARE(kept.value("main/firstAddress").toString(), QStringLiteral("3"));
}

QTEST_GUILESS_MAIN(tst_addresslists_bus)
#include "tst_addresslists_bus.moc"
