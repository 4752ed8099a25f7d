// SPDX-License-Identifier: GPL-3.0-or-later
#include "demo.h"

#include "CommissionWindow.h"
#include "Form2.h"
#include "LineStatisticsWindow.h"
#include "ParamSetWindow.h"
#include "RecorderWindow.h"
#include "SavedSettings.h"
#include "ScanWindow.h"
#include "SelectablePort.h"
#include "StatusPanels.h"
#include "TrafficLogBox.h"
#include "VfdVersion.h"
#include "config.h"
#include "encoder.h"
#include "frmAbout.h"
#include "frmSplash.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

std::unique_ptr<SerialPort> makeSystemPort(SerialPort* given)
{
    if (given)
        return nullptr;
    return std::make_unique<SelectablePort>();
}

} // namespace

demo::demo(SerialPort* port, QWidget* parent)
    : QMainWindow(parent), m_ownedPort(makeSystemPort(port)), m_port(port ? *port : *m_ownedPort),
      m_link(m_port)
{
    setObjectName(QStringLiteral("demo"));
    // The one version of the build, as --version and the files say it.
    setWindowTitle(QStringLiteral("vfdtool %1").arg(QStringLiteral(VFD_VERSION)));

    chooseColour = [this](const QColor& initial) {
        return QColorDialog::getColor(initial, this, tr("Change Skin"));
    };
    chooseSaveFile = [this] {
        QFileDialog dialog(this, tr("Save_File"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setNameFilter(QStringLiteral("txt(*.txt)"));
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    };

    buildMenus();
    buildControls();
    startUp();
    connectControls();
    // The log box is cleared every few seconds; the trace keeps the traffic
    // for "Save_File".
    connect(&m_link, &Hexedit::frameSent, this,
            [this](const QByteArray& frame) { m_trace.addRequest(frame); });
    connect(&m_link, &Hexedit::trafficLog, this,
            [this](const QString& piece) { m_trace.addReceived(piece); });
}

demo::~demo()
{
    // The windows we opened hold references to the link, the prompter and the
    // lock; they must go before those members do.
    delete m_form2.data();
    delete m_encoder.data();
    delete m_config.data();
    delete m_splash.data();
    delete m_about.data();
    // The tools' windows work through the link client and the line statistics,
    // which go before the children do.
    delete m_paramSets.data();
    delete m_recorder.data();
    delete m_scanWindow.data();
    delete m_statsWindow.data();
    delete m_commission.data();
    delete m_siteWindow.data();
    m_link.disconnect(this);
    m_port.disconnect(this);
}

void demo::buildMenus()
{
    auto makeAction = [](QMenu* menu, const char* name, const char* caption) {
        auto* action = menu->addAction(tr(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    // The captions show as given; the marked letters open the menus with Alt
    // and pick an entry of an open menu.
    file = menuBar()->addMenu(tr("File(&F)"));
    file->setObjectName(QStringLiteral("file"));
    save_file = makeAction(file, "save_file", QT_TR_NOOP("Save_File"));
    save_check = makeAction(file, "save_check", QT_TR_NOOP("Save Watching Para"));
    open_check = makeAction(file, "open_check", QT_TR_NOOP("Open Watching Para"));
    file->addSeparator();
    exit = makeAction(file, "exit", QT_TR_NOOP("EXIT"));
    // Kept in the menu, greyed: they have never done anything.
    save_check->setEnabled(false);
    open_check->setEnabled(false);

    set = menuBar()->addMenu(tr("&Set"));
    set->setObjectName(QStringLiteral("set"));
    com_set = makeAction(set, "com_set", QT_TR_NOOP("&Serail Port Set"));
    data_set = makeAction(set, "data_set", QT_TR_NOOP("&Parameter Set"));
    encode = makeAction(set, "encode", QT_TR_NOOP("Pass&word"));
    replacing = makeAction(set, "replacing", QT_TR_NOOP("&Change Skin"));

    // The one menu added to the window's own: tools beyond single parameters.
    tools = menuBar()->addMenu(tr("&Tools"));
    tools->setObjectName(QStringLiteral("tools"));
    drive_parameters = makeAction(tools, "drive_parameters", QT_TR_NOOP("&Drive Parameters..."));
    buildToolsMenu();
    recorder = makeAction(tools, "recorder", QT_TR_NOOP("&Recorder..."));
    tools->addSeparator();
    site_window = makeAction(tools, "site_window", QT_TR_NOOP("S&ite..."));
    tools->addSeparator();
    buildLanguageMenu();

    help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("help"));
    userhelp = makeAction(help, "userhelp", QT_TR_NOOP("&User Guide"));
    abouthelp = makeAction(help, "abouthelp", QT_TR_NOOP("&About"));

    save_file->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    exit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    userhelp->setShortcut(QKeySequence(Qt::Key_F1));

    connect(save_file, &QAction::triggered, this, &demo::save_file_Click);
    connect(exit, &QAction::triggered, this, &demo::exit_Click);
    connect(com_set, &QAction::triggered, this, &demo::com_set_Click);
    connect(data_set, &QAction::triggered, this, &demo::data_set_Click);
    connect(encode, &QAction::triggered, this, &demo::encode_Click);
    connect(replacing, &QAction::triggered, this, &demo::replacing_Click);
    connect(userhelp, &QAction::triggered, this, &demo::userhelp_Click);
    connect(abouthelp, &QAction::triggered, this, &demo::abouthelp_Click);
    connect(drive_parameters, &QAction::triggered, this, &demo::drive_parameters_Click);
    connect(recorder, &QAction::triggered, this, &demo::recorder_Click);
    connect(site_window, &QAction::triggered, this, &demo::site_window_Click);
}

void demo::startUp()
{
    PollItem = 0;
    PendingCommand = RunCommand::None;

    m_settings = PortSettings{};
    StatusBar1->setPanelText(StatusPanels::RunState, tr("Stop"));

    m_port.setPortName(m_settings.PortName);
    m_port.setSettings(m_settings.settingsText());
    m_port.setBufferSizes(502, 502);
    m_port.clearInput();
    m_port.clearOutput();

    encode->setEnabled(m_port.isOpen());
    data_set->setEnabled(encode->isEnabled());
    StatusBar1->setPanelText(StatusPanels::Settings, m_settings.panelText());

    Combo5->addItems(
        {tr("None"), tr("The 1th Error Code"), tr("The 2th Error Code"), tr("The 3th Error Code")});
    Combo5->setCurrentIndex(0);
    Combo6->addItems(
        {tr("None"), tr("Frq Output at The Last Error(HZ)"), tr("Frq Set at The Last Error(HZ)"),
         tr("Current Output at The Last Error(A)"), tr("Voltage Output at The Last Error(V)"),
         tr("DC Power at The Last Error(V)"), tr("IGBT Temp at The Last Error(℃)")});
    Combo6->setCurrentIndex(0);
    FaultRecordSelect = 0;
    LastErrorValueSelect = 0;

    for (int i = 0; i <= 31; ++i) {
        Combo1->addItem(QString::number(i));
        Combo2->addItem(QString::number(i));
        Combo4->addItem(QString::number(i));
    }
    Combo1->setCurrentText(QStringLiteral("31"));
    Combo2->setCurrentText(QStringLiteral("1"));
    Combo4->setCurrentText(QStringLiteral("1"));

    // Design-time states.
    Check1->setChecked(true);
    Combo1->setEnabled(false);
    Combo4->setEnabled(false);
    Combo2->setEnabled(true);
    Frame4->setEnabled(false);
    Frame5->setEnabled(false);
    Command5->setEnabled(false);
    Option9->setChecked(true);
    Timer1->setInterval(280);
    Timer2->setInterval(500);
    Timer3->setInterval(4987);
    Timer3->start();
}

void demo::selectPort(const QString& name)
{
    // Taken as the settings window takes a typed name: without stray blanks.
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return;
    m_settings.PortName = trimmed;
    m_port.setPortName(trimmed);
    StatusBar1->setPanelText(StatusPanels::Settings, m_settings.panelText());
    emit keptStateChanged();
}

int demo::ShownNumber(const QComboBox* box)
{
    return box->currentText().toInt();
}

// ------------------------------------------------------------------ menus

template <class Window, class... Args>
Window* demo::showWindow(QPointer<Window>& slot, Args&&... args)
{
    // One window per menu entry: a second choice brings the same one forward.
    if (!slot) {
        slot = new Window(std::forward<Args>(args)..., this);
        slot->setWindowFlag(Qt::Window);
        slot->setAttribute(Qt::WA_DeleteOnClose);
    }
    slot->show();
    slot->raise();
    slot->activateWindow();
    return slot;
}

void demo::com_set_Click()
{
    const bool created = !m_config;
    auto* window = showWindow(m_config, m_settings, m_port, m_prompter,
                              std::function<void()>([this] { closePortForSettings(); }));
    if (created)
        connect(window, &config::applied, this, [this] {
            StatusBar1->setPanelText(StatusPanels::Settings, m_settings.panelText());
            emit keptStateChanged();
        });
}

void demo::data_set_Click()
{
    // Parameter reads and writes share the line with polls and commands; both
    // stop before the parameter window takes over.
    selectNone();
    if (Timer2->isActive())
        Timer1->stop();
    if (Timer1->isActive()) {
        // Polling switched on by a rhythm change leaves the button at "Start";
        // its handler would then start monitoring instead of stopping it.
        if (m_monitoring)
            Command5_Click();
        else
            Timer1->stop();
    }
    const bool created = !m_form2;
    auto* window = showWindow(m_form2, m_link, m_prompter, m_lock, *data_set);
    if (created) {
        connect(window, &Form2::passwordWindowRequested, this, &demo::encode_Click);
        connect(window, &Form2::parameterWriteEnded, this,
                [this](quint8 address, quint16 reg, quint16 raw, Form2::WriteOutcome outcome,
                       const QString&) { journalParameterWrite(address, reg, raw, int(outcome)); });
    }
}

void demo::encode_Click()
{
    showWindow(m_encoder, m_lock, m_prompter, *data_set);
}

void demo::userhelp_Click()
{
    showWindow(m_splash, SavedSettings::defaultLocation());
}

void demo::abouthelp_Click()
{
    showWindow(m_about, m_prompter);
}

void demo::drive_parameters_Click()
{
    // Writing parameters is allowed exactly when the lock leaves "Parameter
    // Set" open; the window shows which, and checks before it asks.
    const bool fresh = !m_paramSets;
    ParamSetWindow* window =
        showWindow(m_paramSets, m_client, m_prompter,
                   std::function<bool()>([this] { return data_set->isEnabled(); }));
    if (fresh)
        handSiteTo(window, true);
    connect(data_set, &QAction::enabledChanged, window, &ParamSetWindow::showWriteLock,
            Qt::UniqueConnection);
}

void demo::recorder_Click()
{
    const bool fresh = !m_recorder;
    RecorderWindow* window = showWindow(m_recorder, m_client, m_prompter);
    if (fresh)
        handSiteTo(window, true);
}

void demo::replacing_Click()
{
    const QColor colour = chooseColour ? chooseColour(m_lastSkin) : QColor();
    if (!colour.isValid())
        return;
    applySkin(colour);
    emit keptStateChanged();
}

void demo::applySkin(const QColor& colour)
{
    m_lastSkin = colour;
    const QList<QWidget*> targets = {this,
                                     Frame1,
                                     Frame2,
                                     Frame3,
                                     Frame4,
                                     Frame5,
                                     Frame7,
                                     Option1,
                                     Option2,
                                     Option3,
                                     Option4,
                                     Option5,
                                     Option7,
                                     Option8,
                                     Option9,
                                     Check1,
                                     CommunicationRhythmLabel,
                                     ControlRhythmLabel};
    for (QWidget* widget : targets) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Window, colour);
        widget->setPalette(palette);
        widget->setAutoFillBackground(true);
    }
}

void demo::save_file_Click()
{
    const QString name = chooseSaveFile ? chooseSaveFile() : QString();
    if (name.isEmpty())
        return;
    const QDateTime now = QDateTime::currentDateTime();
    const QStringList header = {
        tr("Traffic of %1 on %2 since the port was opened, saved %3")
            .arg(windowTitle(), m_settings.panelText(),
                 now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs)),
        tr("local time, direction, frame bytes in hexadecimal")};
    QString reason;
    if (!m_trace.save(name, header, &reason)) {
        m_prompter.warn(this, tr("Error Warning"),
                        tr("The traffic log could not be saved to %1: %2")
                            .arg(QDir::toNativeSeparators(name), reason));
    }
}

void demo::exit_Click()
{
    QCoreApplication::quit();
}

void demo::closeEvent(QCloseEvent* event)
{
    // Closing the main window ends the program, whatever else is still open.
    event->accept();
    QCoreApplication::quit();
}

// The Site window is opened from demo_site.cpp, as the others are from here.
template SiteWindow* demo::showWindow<SiteWindow, LinkClient&, Prompter&>(QPointer<SiteWindow>&,
                                                                          LinkClient&, Prompter&);
