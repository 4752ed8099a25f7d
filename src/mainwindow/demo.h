// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "DriveMonitor.h"
#include "Hexedit.h"
#include "Lamp.h"
#include "LineStatistics.h"
#include "LinkClient.h"
#include "OptionButton.h"
#include "PasswordLock.h"
#include "PortSettings.h"
#include "Prompter.h"
#include "Readiness.h"
#include "SiteWindow.h"
#include "TrafficTrace.h"

class CommissionWindow;

#include <QColor>
#include <QDateTime>
#include <QHash>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>
#include <QSet>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class LineStatisticsWindow;
class ScanWindow;
class RecorderWindow;
class QPushButton;
class QRadioButton;
class QTimer;
class StatusPanels;
class TrafficLogBox;
class config;
class Form2;
class encoder;
class frmAbout;
class frmSplash;
class ParamSetWindow;
class SiteFolder;

// The main window: the port button and lamps, the run commands with their
// frequency and rhythm entries, monitoring of one drive or a range of drives,
// the monitored values, the traffic log and the menus to every other window.
// It owns the port (unless one is handed in), the one link over it, the message
// boxes and the password lock, and hands references to the windows it opens.
class demo : public QMainWindow
{
    Q_OBJECT
public:
    explicit demo(SerialPort* port = nullptr, QWidget* parent = nullptr);
    ~demo() override;

    Hexedit& link() { return m_link; }
    // Requests with answers for the tools, on the same link.
    LinkClient& linkClient() { return m_client; }
    // The poll sweep, the watched drive and the run command the timers step.
    DriveMonitor& monitor() { return m_monitor; }
    // Figures of every drive addressed since the port opened, polls included.
    LineStatistics& lineStatistics() { return m_lineStats; }
    Prompter& prompter() { return m_prompter; }
    PasswordLock& lock() { return m_lock; }
    SerialPort& port() { return m_port; }
    PortSettings& keptSettings() { return m_settings; }
    // Everything sent and received since the port was opened; "Save_File" saves it.
    TrafficTrace& trafficTrace() { return m_trace; }

    // Preselects the port before the user opens it (from the command line).
    void selectPort(const QString& name);
    // Opens the chosen port and starts polling, as "Open Serial" and then
    // "Start" do (for a start from the command line that shows drives at once).
    // A port that cannot be opened is reported as for the button, and nothing
    // is polled.
    void openAndPoll();

    // The colour "Change Skin" last gave (invalid until then), and putting one on.
    QColor skin() const { return m_lastSkin; }
    void applySkin(const QColor& colour);

    // The last valid forward and reverse frequencies, the values commands carry.
    QString forwardFrequency() const { return m_forwardFrequency; }
    QString reverseFrequency() const { return m_reverseFrequency; }

    // The site open now (nullptr: none): every tool window saves into it and
    // journals what it sends to a drive. One at a time; the Site window opens it.
    SiteFolder* openSite() const { return m_site.get(); }
    // Takes a site as the one open, and hands it to every tool window.
    void takeSite(const SiteFolder& site);
    // The Site window's row commissioned in a window of its own.
    void commissionOn(const QString& line, const QList<quint8>& drives);
    // Where the Site window keeps the last few sites opened (empty: nowhere).
    void setRecentSitesFile(const QString& path) { m_recentSitesFile = path; }

    // The language chosen in "Tools" > "Language": "en", "zh_CN", or empty to
    // follow the system's. Kept between runs; it takes effect at the next start.
    QString languageChoice() const { return m_languageChoice; }
    // Takes a remembered choice (nothing said, nothing stored).
    void setLanguageChoice(const QString& choice);
    // The user's pick in the menu: kept, and a message says when it applies.
    void language_Click(const QString& choice);

    // The two common dialogs; a test puts its own answer here.
    // An invalid colour means the user cancelled.
    std::function<QColor(const QColor& initial)> chooseColour;
    // An empty name means the user cancelled.
    std::function<QString()> chooseSaveFile;

    // ---- menus
    QMenu* file = nullptr;
    QAction* save_file = nullptr;
    QAction* save_check = nullptr;
    QAction* open_check = nullptr;
    QAction* exit = nullptr;
    QMenu* set = nullptr;
    QAction* com_set = nullptr;
    QAction* data_set = nullptr;
    QAction* encode = nullptr;
    QAction* replacing = nullptr;
    QMenu* tools = nullptr;
    QAction* drive_parameters = nullptr;
    QMenu* language = nullptr;
    QAction* scan_line = nullptr;
    QAction* line_statistics = nullptr;
    QAction* recorder = nullptr;
    QAction* site_window = nullptr;
    QMenu* help = nullptr;
    QAction* userhelp = nullptr;
    QAction* abouthelp = nullptr;

    // ---- "Inverter Number"
    QGroupBox* Frame4 = nullptr;
    QCheckBox* Check1 = nullptr;
    QComboBox* Combo2 = nullptr;
    QComboBox* Combo4 = nullptr;
    QComboBox* Combo1 = nullptr;
    // ---- "Attribute"
    QGroupBox* Frame3 = nullptr;
    QPushButton* Command1 = nullptr;
    Lamp* Shape2 = nullptr;
    Lamp* Shape3 = nullptr;
    Lamp* Shape1 = nullptr;
    // ---- "Work Status"
    QGroupBox* Frame5 = nullptr;
    OptionButton* Option1 = nullptr;
    OptionButton* Option2 = nullptr;
    OptionButton* Option3 = nullptr;
    OptionButton* Option4 = nullptr;
    OptionButton* Option5 = nullptr;
    OptionButton* Option7 = nullptr;
    OptionButton* Option8 = nullptr;
    OptionButton* Option9 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text5 = nullptr;
    QLineEdit* Text26 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* ControlRhythmLabel = nullptr;
    QLabel* CommunicationRhythmLabel = nullptr;
    // ---- monitoring button and traffic log
    QGroupBox* Frame1 = nullptr;
    QPushButton* Command5 = nullptr;
    TrafficLogBox* Text28 = nullptr;
    // ---- "Machine State"
    QGroupBox* Frame2 = nullptr;
    QLineEdit* Text29 = nullptr;
    QLineEdit* Text30 = nullptr;
    QLineEdit* Text4 = nullptr;
    Lamp* Shape4 = nullptr;
    // ---- "The  th Inverter Monitor Parameter"
    QGroupBox* Frame7 = nullptr;
    QLabel* Label34 = nullptr;
    QLineEdit *Text24 = nullptr, *Text25 = nullptr, *Text3 = nullptr, *Text6 = nullptr,
              *Text7 = nullptr, *Text8 = nullptr, *Text9 = nullptr, *Text10 = nullptr,
              *Text11 = nullptr, *Text12 = nullptr, *Text13 = nullptr, *Text14 = nullptr,
              *Text15 = nullptr, *Text16 = nullptr, *Text17 = nullptr, *Text18 = nullptr,
              *Text19 = nullptr, *Text20 = nullptr, *Text21 = nullptr, *Text22 = nullptr,
              *Text23 = nullptr, *Text27 = nullptr;
    QComboBox* Combo5 = nullptr;
    QComboBox* Combo6 = nullptr;

    StatusPanels* StatusBar1 = nullptr;
    QTimer* Timer1 = nullptr; // poll
    QTimer* Timer2 = nullptr; // command
    QTimer* Timer3 = nullptr; // refresh

    // Poll rounds the watched drive may leave unanswered before what it last
    // reported is shown as stale.
    static constexpr int SilentRounds = DriveMonitor::SilentRounds;

    // Number shown in an address list ("0".."31").
    static int ShownNumber(const QComboBox* box);
    // Milliseconds in a rhythm box: its leading number, blanks in front skipped.
    static double RhythmNumber(const QString& text);

public slots:
    // port
    void Command1_Click();
    void TogglePort();
    // drive choice
    void Check1_Click();
    void Combo1_Click();
    void Combo4_Click();
    // run commands
    void Option1_Click();
    void Option2_Click();
    void Option3_Click();
    void Option4_Click();
    void Option5_Click();
    void Option7_Click();
    void Option8_Click();
    void Option9_Click();
    void Timer2_Timer();
    void Timer3_Timer();
    // entries: a key filter returns the key to pass on (8 Backspace, 0 none)
    int Text1_KeyPress(int keyAscii);
    int Text5_KeyPress(int keyAscii);
    int Text26_KeyPress(int keyAscii);
    int Text2_KeyPress(int keyAscii);
    void Text1_Change();
    void Text5_Change();
    void Text1_LostFocus();
    void Text5_LostFocus();
    void Text26_Change();
    void Text2_Change();
    // monitoring
    void Command5_Click();
    void Timer1_Timer();
    void Combo5_Click();
    void Combo6_Click();
    void Text28_DblClick();
    void ShowRunningValue(const RunningValueReply& reply);
    void ShowDriveStatus(const StatusReply& reply);
    // menus
    void save_file_Click();
    void exit_Click();
    void com_set_Click();
    void data_set_Click();
    void encode_Click();
    void replacing_Click();
    void userhelp_Click();
    void abouthelp_Click();
    void drive_parameters_Click();
    void scan_line_Click();
    void line_statistics_Click();
    void recorder_Click();
    void site_window_Click();

signals:
    // The user changed something the program keeps between runs (the serial
    // settings, the port, the skin); the controls report their own changes.
    void keptStateChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildMenus();
    void buildToolsMenu();
    void buildLanguageMenu();
    // A drive chosen in the scan becomes the one drive watched and commanded.
    void watchSingleDrive(quint8 address);
    // The line settings the scan window found and the user took.
    void takeLineSettings(const QString& settings);
    void buildControls();
    QWidget* buildAddressFrame();
    QWidget* buildAttributeFrame();
    QWidget* buildWorkStatusFrame();
    QWidget* buildLogFrame();
    QWidget* buildMachineStateFrame();
    QWidget* buildMonitorFrame();
    void connectControls();
    void startUp();

    // What the window shows of the port and of monitoring is its own state,
    // never read back from a caption. setPortState() and setMonitoring() are
    // the only places that change what the user sees of them.
    enum class PortState
    {
        Closed,
        Open
    };
    void setPortState(PortState state);
    void setMonitoring(bool on);
    void enablePortControls();
    void enterPortClosedState();
    void reportOpenError(SerialPort::OpenError error);
    void onDeviceLost();
    void closePortForSettings();

    void selectNone();
    void sendAtOnce(RunCommand command);
    // Tells the user, in the status bar, of a command that went to every drive
    // or could go to none.
    void reportCommand(Hexedit::CommandOutcome outcome);
    void askJogQuestion();
    void checkFrequency(QLineEdit* box);
    void takeFrequency(QLineEdit* box, QString& taken);
    // Hands the drive choice of "Inverter Number" to the monitor.
    void handDriveChoice();
    // The poll left the drive on show: its values and state go.
    void clearShownDrive();
    // Greys the watched drive's values, state and direction, or brings their
    // colours back, and says in the status bar since when it has been silent.
    void showStale(bool stale);
    // Greys each value, and the state, the window has not refreshed within a
    // sweep, as a silent drive's; the rest keeps its colours.
    void showFreshness();
    // Asks the monitor what has fallen out of date at the present rhythm.
    void judgeFreshness();
    // The boxes of the running values up to the count set, by index.
    std::array<QLineEdit*, RunningValues::CountSet + 1> valueBoxes() const;
    // Marks a frequency box whose text differs from the value being sent.
    void showUnsent(QLineEdit* box);
    // Sets one colour role of a box, or with nullopt gives it back its own.
    void paintRole(QLineEdit* box, QPalette::ColorRole role, const std::optional<QColor>& colour);
    int checkRhythm(QLineEdit* box);
    int filterKey(QLineEdit* box, int keyAscii);

    template <class Window, class... Args>
    Window* showWindow(QPointer<Window>& slot, Args&&... args);

    // The site, and the line of it the tools work on, handed to a tool window;
    // a window made just now starts from the line's drives.
    template <class Window> void handSiteTo(Window* window, bool fresh)
    {
        window->setSite(m_site.get(), m_siteLine);
        if (fresh && m_site)
            window->setDrives(siteDrives(m_siteLine));
    }
    QList<quint8> siteDrives(const QString& line) const;
    // The open site handed to every tool window open now.
    void handSiteToAll();
    // A tool of the Site window opened on drives of a line.
    void openToolOn(SiteWindow::Tool tool, const QString& line, const QList<quint8>& drives);
    // The parameter window's write, in the site's journal.
    void journalParameterWrite(quint8 address, quint16 reg, quint16 raw, int outcome);

    std::unique_ptr<SerialPort> m_ownedPort;
    SerialPort& m_port;
    Hexedit m_link;
    LinkClient m_client{m_link};
    Prompter m_prompter;
    PasswordLock m_lock;
    PortSettings m_settings;
    TrafficTrace m_trace;
    LineStatistics m_lineStats{m_link};
    DriveMonitor m_monitor{m_link, m_client};
    // Whether drives take run commands and frequency from the line, as the
    // scan, the tools or the parameter window have read it (this window asks
    // nothing for it); a drive that will not is said once in the status bar.
    ReadinessBook m_readiness{m_link};
    QSet<quint8> m_readinessTold;

    QString m_forwardFrequency = QStringLiteral("50");
    QString m_reverseFrequency = QStringLiteral("50");
    bool m_jogQuestionOpen = false;
    bool m_toldNoDrive = false;
    // The status bar said how to clear the shown drive's present trip.
    bool m_tripSaid = false;
    PortState m_portState = PortState::Closed;
    // "Start" was pressed and the button offers "Stop". The poll timer may run
    // without it: a rhythm change starts polling and leaves the button alone.
    bool m_monitoring = false;
    // The boxes' own colours, to come back to after they were greyed.
    QHash<QLineEdit*, QPalette> m_freshLook;
    QColor m_lastSkin;
    QString m_languageChoice;

    QPointer<config> m_config;
    QPointer<Form2> m_form2;
    QPointer<encoder> m_encoder;
    QPointer<frmSplash> m_splash;
    QPointer<frmAbout> m_about;
    QPointer<ParamSetWindow> m_paramSets;
    QPointer<ScanWindow> m_scanWindow;
    QPointer<LineStatisticsWindow> m_statsWindow;
    QPointer<RecorderWindow> m_recorder;
    QPointer<SiteWindow> m_siteWindow;
    QPointer<CommissionWindow> m_commission;
    std::unique_ptr<SiteFolder> m_site;
    QString m_siteLine;
    QString m_recentSitesFile;
    // The journal could not be written from the parameter window: said once.
    bool m_journalToldFailed = false;

public:
    // ---- state kept for the link, held by the monitor under the given names
    // (declared after it, which must exist before these refer to it)
    RunCommand& PendingCommand = m_monitor.PendingCommand;
    quint8& PollItem = m_monitor.PollItem;
    quint8& PollOffset = m_monitor.PollOffset;
    int& FaultRecordSelect = m_monitor.FaultRecordSelect;
    int& LastErrorValueSelect = m_monitor.LastErrorValueSelect;
};
