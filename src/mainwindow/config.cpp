// SPDX-License-Identifier: GPL-3.0-or-later
#include "config.h"

#include "DevicePort.h"

#include "PortSettings.h"
#include "Prompter.h"
#include "SelectablePort.h"
#include "SerialPort.h"
#include "TcpPort.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>

namespace {

const char* const kErrorTitle = QT_TRANSLATE_NOOP("config", "Error Waining!");

QComboBox* makeCombo(QWidget* parent, const char* name, const QStringList& items, bool editable)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems(items);
    box->setEditable(editable);
    if (editable)
        box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

// Shows a text in a chooser: the item when there is one, else (editable box) as typed.
void showText(QComboBox* box, const QString& text)
{
    const int index = box->findText(text);
    if (index >= 0)
        box->setCurrentIndex(index);
    else if (box->isEditable())
        box->setEditText(text);
}

// The parity names the window offers, for the translators; the chooser keeps the
// English name as each item's data, which is what the settings store.
[[maybe_unused]] const char* const kParityCaptions[] = {
    QT_TRANSLATE_NOOP("config", "Odd"), QT_TRANSLATE_NOOP("config", "Even"),
    QT_TRANSLATE_NOOP("config", "None"), QT_TRANSLATE_NOOP("config", "Space")};

bool takesOneAndHalfStopBits(const QString& portName)
{
#ifdef Q_OS_WIN
    Q_UNUSED(portName);
    return true;
#else
    // termios has no 1.5 stop bits; only the simulated drives do not care.
    return SelectablePort::isSimulatorName(portName);
#endif
}

} // namespace

QString config::gatewayModeText(const QString& portName)
{
    const std::optional<TcpPort::Framing> framing = TcpPort::framingOf(portName);
    if (!framing)
        return {};
    return *framing == TcpPort::Framing::ModbusTcp
               ? tr("Gateway in Modbus TCP mode (unit id = drive address)")
               : tr("Gateway in transparent mode (RTU frames over TCP)");
}

config::config(PortSettings& kept, SerialPort& port, Prompter& prompter,
               std::function<void()> closeOpenPort, QWidget* parent)
    : QDialog(parent), m_kept(kept), m_port(port), m_prompter(prompter),
      m_closeOpenPort(std::move(closeOpenPort))
{
    setObjectName(QStringLiteral("config"));
    setWindowTitle(tr("SERIAL PORT SETTING"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
    showKeptSettings();
}

QStringList config::portChoices()
{
    QStringList names;
    for (int number = 1; number <= 16; ++number)
        names << QStringLiteral("COM%1").arg(number);
#ifndef Q_OS_WIN
    // Elsewhere COMn stands for /dev/ttyS(n-1); adapters have their own names.
    // Each device is offered once: /dev/ttyS0 is COM1 already, and an
    // adapter's stable /dev/serial/by-id name stands in for /dev/ttyUSBn.
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices << info.systemLocation();
    const QDir byId(QStringLiteral("/dev/serial/by-id"));
    for (const QFileInfo& link : byId.entryInfoList(QDir::System | QDir::Files)) {
        devices.removeAll(link.canonicalFilePath());
        devices << link.absoluteFilePath();
    }
    QStringList taken;
    for (const QString& name : names)
        taken << DevicePort::SystemPortName(name);
    for (const QString& device : devices) {
        const QString canonical = QFileInfo(device).canonicalFilePath();
        if (device.isEmpty() || taken.contains(device) || taken.contains(canonical))
            continue;
        names << device;
        taken << device << canonical;
    }
#endif
    names << QStringLiteral("SIM");
    return names;
}

void config::buildControls()
{
    Frame1 = new QGroupBox(tr("Serial Port Setting"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Combo1 = makeCombo(Frame1, "Combo1", portChoices(), true);
    for (const QString& used : m_kept.RecentPorts) {
        if (Combo1->findText(used) < 0)
            Combo1->addItem(used);
    }
    Combo2 = makeCombo(Frame1, "Combo2",
                       {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                        QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400")},
                       false);
    Combo3 = makeCombo(
        Frame1, "Combo3",
        {QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"), QStringLiteral("9")},
        false);
    Combo4 = makeCombo(Frame1, "Combo4", {}, false);
    for (const QString& parity : PortSettings::parityNames())
        Combo4->addItem(tr(parity.toUtf8().constData()), parity);
    Combo5 = makeCombo(Frame1, "Combo5",
                       {QStringLiteral("1"), QStringLiteral("1.5"), QStringLiteral("2")}, false);
    // Room for a device path such as /dev/ttyUSB0 at any font size.
    Combo1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    Combo1->setMinimumContentsLength(18);
    Combo1->setToolTip(tr("Pick a port or type a device path such as /dev/ttyUSB0; "
                          "SIM runs simulated drives; tcp://HOST:PORT reaches drives "
                          "behind a serial-to-Ethernet gateway in transparent mode (RTU "
                          "frames over TCP), mbtcp://HOST:PORT one in Modbus TCP mode."));
    // A gateway used before says in the list which of the two modes it is reached in.
    for (int index = 0; index < Combo1->count(); ++index) {
        const QString mode = gatewayModeText(Combo1->itemText(index));
        if (!mode.isEmpty())
            Combo1->setItemData(index, mode, Qt::ToolTipRole);
    }

    auto* form = new QFormLayout(Frame1);
    const struct
    {
        const char* name;
        const char* caption;
        QComboBox* box;
    } rows[] = {{"Label1", QT_TR_NOOP("Port Number"), Combo1},
                {"Label2", QT_TR_NOOP("Baud Rate"), Combo2},
                {"Label3", QT_TR_NOOP("Data Bit"), Combo3},
                {"Label4", QT_TR_NOOP("Party Bit"), Combo4},
                {"Label5", QT_TR_NOOP("Stop Bit"), Combo5}};
    for (const auto& row : rows) {
        auto* label = new QLabel(tr(row.caption), Frame1);
        label->setObjectName(QString::fromLatin1(row.name));
        label->setBuddy(row.box);
        row.box->setAccessibleName(label->text());
        form->addRow(label, row.box);
    }

    ok = new QPushButton(tr("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    cancel = new QPushButton(tr("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    connect(ok, &QPushButton::clicked, this, &config::ok_Click);
    connect(cancel, &QPushButton::clicked, this, &config::cancel_Click);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Frame1);
    layout->addLayout(buttons);
}

void config::showKeptSettings()
{
    showText(Combo1, m_kept.PortName);
    showText(Combo2, m_kept.BaudRate);
    const int parity = Combo4->findData(m_kept.ParityName);
    if (parity >= 0)
        Combo4->setCurrentIndex(parity);
    showText(Combo3, m_kept.DataBits);
    showText(Combo5, m_kept.StopBits);
}

QString config::refusedSetting(const QString& portName, const QString& baudRate,
                               const QString& parityName, const QString& dataBits,
                               const QString& stopBits)
{
    if (portName.isEmpty())
        return tr("No port is named. Pick one from the list or type a device path.");
    bool ok = false;
    const int baud = baudRate.toInt(&ok);
    if (!ok || baud <= 0)
        return tr("The baud rate \"%1\" is not one a serial port can use.").arg(baudRate);
    if (PortSettings::parityLetter(parityName).isEmpty())
        return tr("The parity \"%1\" is unknown; use Odd, Even, None or Space.").arg(parityName);
    const int bits = dataBits.toInt(&ok);
    if (!ok || bits < 5 || bits > 8)
        return tr("The serial port cannot send %1 data bits; it takes 5 to 8.").arg(dataBits);
    if (stopBits != u"1" && stopBits != u"1.5" && stopBits != u"2")
        return tr("\"%1\" stop bits are not possible; use 1, 1.5 or 2.").arg(stopBits);
    if (stopBits == u"1.5" && !takesOneAndHalfStopBits(portName))
        return tr("Serial ports on this system cannot use 1.5 stop bits; use 1 or 2.");
    return {};
}

void config::ok_Click()
{
    const QString name = Combo1->currentText().trimmed();
    const QString parityName = Combo4->currentData().toString();
    const QString refused = refusedSetting(name, Combo2->currentText(), parityName,
                                           Combo3->currentText(), Combo5->currentText());
    const QString keptAsTheyWere = tr(" The settings were left as they were.");
    if (!refused.isEmpty()) {
        m_prompter.warn(this, tr(kErrorTitle), refused + keptAsTheyWere);
        return;
    }
    const QString settingsText = Combo2->currentText() + u',' +
                                 PortSettings::parityLetter(parityName) + u',' +
                                 Combo3->currentText() + u',' + Combo5->currentText();

    if (m_port.isOpen() && m_closeOpenPort)
        m_closeOpenPort();
    const QString previousName = m_port.portName();
    m_port.setPortName(name);
    if (!m_port.setSettings(settingsText)) {
        m_port.setPortName(previousName);
        m_prompter.warn(this, tr(kErrorTitle),
                        tr("The port refuses the settings %1.").arg(settingsText) + keptAsTheyWere);
        return;
    }
    m_port.setBufferSizes(1024, 502);
    m_port.clearInput();
    m_port.clearOutput();

    m_kept.PortName = name;
    m_kept.BaudRate = Combo2->currentText();
    m_kept.ParityName = parityName;
    m_kept.DataBits = Combo3->currentText();
    m_kept.StopBits = Combo5->currentText();
    m_kept.noteUsedPort();
    emit applied();
    close();
}

void config::cancel_Click()
{
    close();
}
