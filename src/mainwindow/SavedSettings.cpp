// SPDX-License-Identifier: GPL-3.0-or-later
#include "SavedSettings.h"

#include "DevicePort.h"
#include "Language.h"
#include "SelectablePort.h"
#include "StatusPanels.h"
#include "TcpPort.h"
#include "config.h"
#include "demo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cstdio>
#ifdef Q_OS_WIN
#include <QSerialPortInfo>
#endif

namespace {

// Written into every file, so that one from elsewhere, or from a later
// version that keeps things differently, is recognised and left unused.
constexpr int kFormat = 1;
constexpr int kStoreDelayMs = 500;
// The file holds a dozen short values, well under a kilobyte. The settings
// reader takes a file whole into memory, so one far larger is not read at all.
constexpr qint64 kLargestFile = 1024 * 1024;

const QStringList kBaudRates = {"1200", "2400", "4800", "9600", "19200", "38400"};
const QStringList kDataBits = {"6", "7", "8"};
const QStringList kStopBits = {"1", "1.5", "2"};

// Everything a file holds, each checked before anything is put on the window.
struct Kept
{
    PortSettings port;
    QString controlRhythm;
    QString communicationRhythm;
    bool singleDrive = true;
    QString singleAddress;
    QString firstAddress;
    QString endAddress;
    QColor skin;
    QByteArray geometry;
};

bool isRhythm(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]{3,5}$"));
    return number.match(text).hasMatch() && text.toInt() >= 200 && text.toInt() <= 20000;
}

bool isAddress(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,2}$"));
    return number.match(text).hasMatch() && text.toInt() <= 31;
}

bool isPortName(const QString& name)
{
    static const QRegularExpression control(QStringLiteral("[\\x00-\\x1f\\x7f]"));
    return !name.trimmed().isEmpty() && name == name.trimmed() && name.size() <= 256 &&
           !control.match(name).hasMatch();
}

// Reads one text key, leaving the default where the key is absent; false
// when the key is there but its value fails the check.
template <class Check> bool readText(QSettings& s, const char* key, QString& into, Check valid)
{
    if (!s.contains(QLatin1String(key)))
        return true;
    const QVariant value = s.value(QLatin1String(key));
    if (value.typeId() != QMetaType::QString || !valid(value.toString()))
        return false;
    into = value.toString();
    return true;
}

// Fills kept from the file; a reason when the file cannot be used.
QString readFile(QSettings& s, Kept& kept)
{
    if (s.status() == QSettings::AccessError)
        return QCoreApplication::translate("SavedSettings", "it cannot be read");
    if (s.status() == QSettings::FormatError)
        return QCoreApplication::translate("SavedSettings", "it is damaged");
    if (s.value(QStringLiteral("vfdtool/format")).toString() != QString::number(kFormat))
        return QCoreApplication::translate("SavedSettings", "it was not written by this vfdtool");

    const auto in = [](const QStringList& list) {
        return [&list](const QString& text) { return list.contains(text); };
    };
    bool ok = readText(s, "port/name", kept.port.PortName, isPortName) &&
              readText(s, "port/baudRate", kept.port.BaudRate, in(kBaudRates)) &&
              readText(s, "port/parity", kept.port.ParityName, in(PortSettings::parityNames())) &&
              readText(s, "port/dataBits", kept.port.DataBits, in(kDataBits)) &&
              readText(s, "port/stopBits", kept.port.StopBits, in(kStopBits)) &&
              readText(s, "main/controlRhythm", kept.controlRhythm, isRhythm) &&
              readText(s, "main/communicationRhythm", kept.communicationRhythm, isRhythm) &&
              readText(s, "main/singleAddress", kept.singleAddress, isAddress) &&
              readText(s, "main/firstAddress", kept.firstAddress, isAddress) &&
              readText(s, "main/endAddress", kept.endAddress, isAddress);
    // The combination must be one the settings window would have taken.
    ok = ok && config::refusedSetting(kept.port.PortName, kept.port.BaudRate, kept.port.ParityName,
                                      kept.port.DataBits, kept.port.StopBits)
                   .isEmpty();
    QString single = kept.singleDrive ? QStringLiteral("true") : QStringLiteral("false");
    ok = ok && readText(s, "main/singleDrive", single,
                        [](const QString& text) { return text == u"true" || text == u"false"; });
    kept.singleDrive = single == u"true";
    QString skin;
    ok = ok && readText(s, "main/skin", skin, [](const QString& text) {
             // Empty: the skin was never changed.
             return text.isEmpty() || QColor::isValidColorName(text);
         });
    kept.skin = skin.isEmpty() ? QColor() : QColor::fromString(skin);
    const QVariant gateways = s.value(QStringLiteral("port/recent"));
    if (s.contains(QStringLiteral("port/recent"))) {
        const QStringList names = gateways.toStringList();
        for (const QString& name : names)
            ok = ok && TcpPort::parseName(name).has_value();
        kept.port.RecentPorts = names;
    }
    const QVariant geometry = s.value(QStringLiteral("main/geometry"));
    if (geometry.isValid())
        ok = ok && geometry.typeId() == QMetaType::QByteArray;
    kept.geometry = geometry.toByteArray();
    if (!ok)
        return QCoreApplication::translate("SavedSettings", "it holds values vfdtool cannot use");
    return {};
}

void apply(demo& w, const Kept& kept)
{
    w.keptSettings() = kept.port;
    w.port().setPortName(kept.port.PortName);
    w.port().setSettings(kept.port.settingsText());
    w.StatusBar1->setPanelText(StatusPanels::Settings, kept.port.panelText());
    {
        // The rhythm entries act on every change (the poll rhythm even starts
        // the poll timer); a remembered text is no change the user made.
        const QSignalBlocker control(w.Text26);
        const QSignalBlocker communication(w.Text2);
        w.Text26->setText(kept.controlRhythm);
        w.Text2->setText(kept.communicationRhythm);
    }
    w.Check1->setChecked(kept.singleDrive);
    w.Combo2->setCurrentText(kept.singleAddress);
    w.Combo4->setCurrentText(kept.firstAddress);
    w.Combo1->setCurrentText(kept.endAddress);
    if (kept.skin.isValid())
        w.applySkin(kept.skin);
    if (!kept.geometry.isEmpty())
        w.restoreGeometry(kept.geometry);
}

// Puts the written file in the place of the old one in one step.
bool replaceFile(QTemporaryFile& written, const QString& target)
{
#ifdef Q_OS_UNIX
    if (::rename(QFile::encodeName(written.fileName()).constData(),
                 QFile::encodeName(target).constData()) != 0)
        return false;
#else
    QFile::remove(target);
    if (!QFile::rename(written.fileName(), target))
        return false;
#endif
    written.setAutoRemove(false);
    return true;
}

} // namespace

QString SavedSettings::defaultLocation()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/vfdtool/vfdtool.conf");
}

SavedSettings::SavedSettings(const QString& filePath, QObject* parent)
    : QObject(parent), m_filePath(filePath)
{
    m_delay.setSingleShot(true);
    m_delay.setInterval(kStoreDelayMs);
    connect(&m_delay, &QTimer::timeout, this, [this] {
        if (m_window && !store(*m_window)) {
            m_window->StatusBar1->showNotice(tr("The settings could not be saved to %1.")
                                                 .arg(QDir::toNativeSeparators(m_filePath)));
        }
    });
}

bool SavedSettings::restore(demo& window)
{
    const QFileInfo info(m_filePath);
    if (!info.exists() && !info.isSymLink())
        return false; // the first run
    Kept kept;
    kept.port = window.keptSettings();
    kept.controlRhythm = window.Text26->text();
    kept.communicationRhythm = window.Text2->text();
    kept.singleDrive = window.Check1->isChecked();
    kept.singleAddress = window.Combo2->currentText();
    kept.firstAddress = window.Combo4->currentText();
    kept.endAddress = window.Combo1->currentText();

    QString problem;
    QFile probe(m_filePath);
    if (!info.isFile() || !probe.open(QIODevice::ReadOnly)) {
        problem = tr("it cannot be read");
    } else if (info.size() > kLargestFile) {
        problem = tr("it is far too large for a settings file");
    } else {
        probe.close();
        QSettings s(m_filePath, QSettings::IniFormat);
        if (s.allKeys().isEmpty() && s.status() == QSettings::NoError)
            return false; // an empty file keeps nothing
        problem = readFile(s, kept);
    }
    if (!problem.isEmpty()) {
        window.StatusBar1->showNotice(
            tr("The saved settings in %1 were not used (%2); vfdtool started with its "
               "defaults and will keep its settings there from now on.")
                .arg(QDir::toNativeSeparators(m_filePath), problem));
        return false;
    }
    apply(window, kept);
    return true;
}

bool SavedSettings::store(demo& window)
{
    PortSettings& port = window.keptSettings();
    port.noteUsedPort();
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    // Written whole under a new name beside the file, then renamed over it: a
    // crash or a full disk leaves the old file, never half a new one. A fresh
    // name each time also keeps QSettings from mixing a failed write into
    // what it later reads from the file.
    QTemporaryFile fresh(m_filePath + QStringLiteral(".XXXXXX"));
    if (!fresh.open())
        return false;
    fresh.close();
    {
        QSettings s(fresh.fileName(), QSettings::IniFormat);
        if (!writeKept(s, window))
            return false;
    }
    return replaceFile(fresh, m_filePath);
}

bool SavedSettings::writeKept(QSettings& s, demo& window)
{
    const PortSettings& port = window.keptSettings();
    s.setValue(QStringLiteral("vfdtool/format"), QString::number(kFormat));
    s.setValue(QStringLiteral("port/name"), port.PortName);
    s.setValue(QStringLiteral("port/baudRate"), port.BaudRate);
    s.setValue(QStringLiteral("port/parity"), port.ParityName);
    s.setValue(QStringLiteral("port/dataBits"), port.DataBits);
    s.setValue(QStringLiteral("port/stopBits"), port.StopBits);
    if (!port.RecentPorts.isEmpty())
        s.setValue(QStringLiteral("port/recent"), port.RecentPorts);
    // A rhythm half typed is not kept; the last whole one is in the timer.
    if (isRhythm(window.Text26->text()))
        s.setValue(QStringLiteral("main/controlRhythm"), window.Text26->text());
    if (isRhythm(window.Text2->text()))
        s.setValue(QStringLiteral("main/communicationRhythm"), window.Text2->text());
    s.setValue(QStringLiteral("main/singleDrive"),
               window.Check1->isChecked() ? QStringLiteral("true") : QStringLiteral("false"));
    s.setValue(QStringLiteral("main/singleAddress"), window.Combo2->currentText());
    s.setValue(QStringLiteral("main/firstAddress"), window.Combo4->currentText());
    s.setValue(QStringLiteral("main/endAddress"), window.Combo1->currentText());
    s.setValue(QStringLiteral("main/skin"),
               window.skin().isValid() ? window.skin().name(QColor::HexRgb) : QString());
    s.setValue(QStringLiteral("main/geometry"), window.saveGeometry());
    if (!window.languageChoice().isEmpty())
        s.setValue(QString::fromLatin1(Language::SettingsKey), window.languageChoice());
    s.sync();
    return s.status() == QSettings::NoError;
}

QString SavedSettings::keptLanguage(const QString& filePath)
{
    const QFileInfo info(filePath);
    if (!info.isFile() || info.size() > kLargestFile)
        return {};
    const QSettings s(filePath, QSettings::IniFormat);
    const std::optional<QString> known =
        Language::fromName(s.value(QString::fromLatin1(Language::SettingsKey)).toString());
    return known.value_or(QString());
}

void SavedSettings::watch(demo& window)
{
    m_window = &window;
    connect(&window, &demo::keptStateChanged, this, [this] {
        if (m_window)
            m_window->StatusBar1->clearNotice();
        storeSoon();
    });
    connect(window.Check1, &QCheckBox::toggled, this, &SavedSettings::storeSoon);
    for (QComboBox* box : {window.Combo1, window.Combo2, window.Combo4})
        connect(box, &QComboBox::currentTextChanged, this, &SavedSettings::storeSoon);
    for (QLineEdit* box : {window.Text26, window.Text2})
        connect(box, &QLineEdit::editingFinished, this, &SavedSettings::storeSoon);
    // A notice about the port or the file has served its turn once the port opens.
    connect(window.Command1, &QPushButton::clicked, this, [this] {
        if (m_window && m_window->port().isOpen())
            m_window->StatusBar1->clearNotice();
    });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] {
        if (m_window)
            store(*m_window);
    });
}

void SavedSettings::storeSoon()
{
    // Changes come in bursts (a combo scrolled, a window of settings applied);
    // one write a moment later covers them all.
    m_delay.start();
}

bool SavedSettings::forget()
{
    QFile::remove(m_filePath + QStringLiteral(".lock"));
    return !QFileInfo::exists(m_filePath) || QFile::remove(m_filePath);
}

bool SavedSettings::portIsPresent(const QString& name)
{
    if (SelectablePort::isSimulatorName(name) || TcpPort::isTcpName(name))
        return true;
#ifdef Q_OS_WIN
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.portName().compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
#else
    const QString path = DevicePort::SystemPortName(name);
    return !path.isEmpty() && QFileInfo::exists(path);
#endif
}

void SavedSettings::reportMissingPort(demo& window)
{
    const QString name = window.keptSettings().PortName;
    if (portIsPresent(name))
        return;
    const QString said = tr("The port %1 is not there now (adapter unplugged?). It stays chosen: "
                            "plug it in, then open it.")
                             .arg(name);
    const QString before = window.StatusBar1->notice();
    window.StatusBar1->showNotice(before.isEmpty() ? said : before + u' ' + said);
}
