// SPDX-License-Identifier: GPL-3.0-or-later
// Settings kept between runs: what comes back, what a bad file does, and the
// program's own start-up with them. Every file lives in a private folder.
#include "DemoBench.h"
#include "SavedSettings.h"
#include "StatusPanels.h"
#include "VfdVersion.h"
#include "config.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

namespace {

// What a start-up sets and the settings may change, as one comparable list.
QStringList keptState(demo& w)
{
    return {w.StatusBar1->panelText(StatusPanels::Settings),
            w.port().portName(),
            w.port().settings(),
            w.Text26->text(),
            w.Text2->text(),
            w.Check1->isChecked() ? "single" : "multi",
            w.Combo2->currentText() + (w.Combo2->isEnabled() ? "+" : "-"),
            w.Combo4->currentText() + (w.Combo4->isEnabled() ? "+" : "-"),
            w.Combo1->currentText() + (w.Combo1->isEnabled() ? "+" : "-"),
            w.skin().isValid() ? w.skin().name() : "no skin",
            w.Frame1->autoFillBackground() ? "painted" : "plain"};
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString keptValue(const QString& path, const QString& key)
{
    return QSettings(path, QSettings::IniFormat).value(key).toString();
}

} // namespace

class tst_savedsettings : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QDir(m_dir.filePath(QStringLiteral("cfg"))).removeRecursively();
    }
    void firstRunStartsAsAlways();
    void everythingKeptComesBack();
    void changesAreWrittenSoon();
    void unusableFile_data();
    void unusableFile();
    void missingPortStaysChosen();
    void programKeepsAndForgets();
    void menusFromTheKeyboard();

private:
    QString path() const { return m_dir.filePath(QStringLiteral("cfg/vfdtool/vfdtool.conf")); }
    QTemporaryDir m_dir;
};

void tst_savedsettings::firstRunStartsAsAlways()
{
    DemoBench untouched;
    DemoBench b;
    SavedSettings saved(path());
    QVERIFY(!saved.restore(b.window));
    QCOMPARE(keptState(b.window), keptState(untouched.window));
    QCOMPARE(b.window.StatusBar1->panelText(StatusPanels::Settings),
             QStringLiteral("COM1,9600,Even,8,1"));
    QVERIFY(b.window.StatusBar1->notice().isEmpty());
    QVERIFY(!QFile::exists(path())); // reading writes nothing
}

void tst_savedsettings::everythingKeptComesBack()
{
    const QString gateway = QStringLiteral("tcp://127.0.0.1:1502");
    const QColor colour(10, 120, 200);
    QStringList before;
    QSize size;
    {
        DemoBench a;
        demo& w = a.window;
        w.com_set_Click();
        auto* settings = w.findChild<config*>();
        QVERIFY(settings);
        settings->Combo1->setEditText(gateway);
        settings->Combo2->setCurrentText(QStringLiteral("19200"));
        settings->Combo4->setCurrentText(QStringLiteral("None"));
        settings->Combo5->setCurrentText(QStringLiteral("2"));
        settings->ok_Click();
        w.Check1->setChecked(false);
        w.Combo4->setCurrentText(QStringLiteral("5"));
        w.Combo1->setCurrentText(QStringLiteral("9"));
        w.Combo2->setCurrentText(QStringLiteral("7"));
        w.Text26->setText(QStringLiteral("800"));
        w.Text2->setText(QStringLiteral("1000"));
        w.chooseColour = [&](const QColor&) { return colour; };
        w.replacing_Click();
        w.resize(900, 640);
        size = w.size();
        before = keptState(w);
        QVERIFY(SavedSettings(path()).store(w));
    }
    DemoBench b;
    demo& w = b.window;
    QVERIFY(SavedSettings(path()).restore(w));
    QCOMPARE(keptState(w), before);
    QCOMPARE(w.StatusBar1->panelText(StatusPanels::Settings),
             gateway + QStringLiteral(",19200,None,8,2"));
    QCOMPARE(w.port().settings(), QStringLiteral("19200,N,8,2"));
    QCOMPARE(w.Frame5->palette().color(QPalette::Window), colour);
    QCOMPARE(w.size(), size);
    // A remembered poll rhythm is no change of rhythm: nothing starts polling.
    QVERIFY(!w.Timer1->isActive());
    QVERIFY(w.StatusBar1->notice().isEmpty());
    // The settings window shows what came back and offers the gateway used.
    w.keptSettings().PortName = QStringLiteral("COM2");
    w.com_set_Click();
    auto* settings = w.findChild<config*>();
    QVERIFY(settings->Combo1->findText(gateway) >= 0);
    QCOMPARE(settings->Combo2->currentText(), QStringLiteral("19200"));
    QCOMPARE(settings->Combo5->currentText(), QStringLiteral("2"));
    // The colour dialog opens on the remembered colour.
    QColor offered;
    w.chooseColour = [&](const QColor& initial) {
        offered = initial;
        return QColor();
    };
    w.replacing_Click();
    QCOMPARE(offered, colour);
}

void tst_savedsettings::changesAreWrittenSoon()
{
    DemoBench b;
    SavedSettings saved(path());
    saved.watch(b.window);
    b.window.Combo2->setCurrentText(QStringLiteral("12"));
    QTRY_COMPARE(keptValue(path(), "main/singleAddress"), QStringLiteral("12"));
    b.window.selectPort(QStringLiteral("SIM"));
    QTRY_COMPARE(keptValue(path(), "port/name"), QStringLiteral("SIM"));
    QCOMPARE(keptValue(path(), "vfdtool/format"), QStringLiteral("1"));
}

void tst_savedsettings::unusableFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QByteArray noise;
    for (int i = 0; i < 512; ++i)
        noise.append(char((i * 151 + 7) % 256));
    QTest::newRow("noise") << noise;
    QTest::newRow("another program's") << QByteArray("[General]\ncolour=blue\nport=COM3\n");
    QTest::newRow("later format") << QByteArray(
        "[vfdtool]\nformat=2\n[port]\nname=COM3\nbaudRate=9600\n");
    QTest::newRow("value out of its list")
        << QByteArray("[vfdtool]\nformat=1\n[port]\nname=COM3\nbaudRate=abc\n");
    QTest::newRow("settings the port refuses")
        << QByteArray("[vfdtool]\nformat=1\n[port]\nname=COM3\nstopBits=1.5\n");
    QTest::newRow("address out of range")
        << QByteArray("[vfdtool]\nformat=1\n[port]\nname=COM3\n[main]\nendAddress=32\n");
    // Sound settings behind a megabyte of comment: not ours, and not read.
    QTest::newRow("far too large")
        << QByteArray("[vfdtool]\nformat=1\n[port]\nname=COM3\n;") + QByteArray(1 << 20, 'x');
    QTest::newRow("unreadable (a folder)") << QByteArray();
}

void tst_savedsettings::unusableFile()
{
    QFETCH(QByteArray, content);
    const bool folder = content.isEmpty();
    if (folder)
        QVERIFY(QDir().mkpath(path()));
    else
        writeFile(path(), content);

    DemoBench untouched;
    DemoBench b;
    SavedSettings saved(path());
    QVERIFY(!saved.restore(b.window));
    QCOMPARE(keptState(b.window), keptState(untouched.window));
    const QString notice = b.window.StatusBar1->notice();
    QVERIFY2(notice.contains(QStringLiteral("were not used")) &&
                 notice.contains(QDir::toNativeSeparators(path())),
             qPrintable(notice));

    // The next write replaces the file whole; a folder stays and the write fails.
    b.window.Combo2->setCurrentText(QStringLiteral("4"));
    QCOMPARE(saved.store(b.window), !folder);
    if (folder)
        return;
    DemoBench again;
    QVERIFY(SavedSettings(path()).restore(again.window));
    QCOMPARE(again.window.Combo2->currentText(), QStringLiteral("4"));
    QVERIFY(again.window.StatusBar1->notice().isEmpty());
    QVERIFY(!QSettings(path(), QSettings::IniFormat).contains("General/colour"));
}

void tst_savedsettings::missingPortStaysChosen()
{
    const QString gone = m_dir.filePath(QStringLiteral("ttyUSB-unplugged"));
    writeFile(path(), "[vfdtool]\nformat=1\n[port]\nname=" + gone.toUtf8() + "\n");
    DemoBench b;
    SavedSettings saved(path());
    QVERIFY(saved.restore(b.window));
    SavedSettings::reportMissingPort(b.window);
    QCOMPARE(b.window.keptSettings().PortName, gone);
    QCOMPARE(b.window.port().portName(), gone);
    QVERIFY(b.window.StatusBar1->panelText(StatusPanels::Settings).startsWith(gone + u','));
    const QString notice = b.window.StatusBar1->notice();
    QVERIFY2(notice.contains(gone) && notice.contains(u"not there"), qPrintable(notice));
    // Once a port is open the notice has done its work.
    saved.watch(b.window);
    b.window.Command1->click();
    QVERIFY(b.window.StatusBar1->notice().isEmpty());

    QVERIFY(SavedSettings::portIsPresent(QStringLiteral("SIM")));
    QVERIFY(SavedSettings::portIsPresent(QStringLiteral("tcp://gw:502")));
    QVERIFY(!SavedSettings::portIsPresent(QStringLiteral("COM0")));
}

void tst_savedsettings::programKeepsAndForgets()
{
    QProcess version;
    version.start(QStringLiteral(VFDTOOL_PATH), {QStringLiteral("--version")});
    QVERIFY(version.waitForFinished(10000));
    QCOMPARE(version.readAllStandardOutput(), QByteArray("vfdtool " VFD_VERSION "\n"));

    // The program's own place for its settings, moved into the test's folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.filePath(QStringLiteral("cfg")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const auto run = [&](const QStringList& arguments, auto ready) {
        QProcess program;
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VFDTOOL_PATH), QStringList{"--no-welcome"} + arguments);
        QVERIFY(program.waitForStarted(10000));
        QTRY_VERIFY_WITH_TIMEOUT(ready(), 20000);
        // Ended as a log-out ends it: in order, keeping its settings.
        ::kill(pid_t(program.processId()), SIGTERM);
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    };
    run({QStringLiteral("--port"), QStringLiteral("SIM")},
        [&] { return keptValue(path(), "port/name") == u"SIM"; });
    QCOMPARE(keptValue(path(), "port/baudRate"), QStringLiteral("9600"));
    run({QStringLiteral("--reset-settings")}, [&] { return !QFile::exists(path()); });
    QCOMPARE(keptValue(path(), "port/name"), QStringLiteral("COM1"));
}

void tst_savedsettings::menusFromTheKeyboard()
{
    DemoBench b;
    demo& w = b.window;
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_F, Qt::AltModifier);
    QTRY_VERIFY(w.file->isVisible());
    QTest::keyClick(w.file, Qt::Key_Escape);
    QTRY_VERIFY(!w.file->isVisible());
    QCOMPARE(w.save_file->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    QCOMPARE(w.exit->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QCOMPARE(w.userhelp->shortcut(), QKeySequence(QStringLiteral("F1")));
    // F1 opens the user guide from anywhere in the window.
    w.Text1->setFocus();
    QTest::keyClick(w.Text1, Qt::Key_F1);
    QTRY_VERIFY(w.findChild<QWidget*>(QStringLiteral("frmSplash")));
}

QTEST_MAIN(tst_savedsettings)
#include "tst_savedsettings.moc"
