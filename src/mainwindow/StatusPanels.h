#pragma once

#include <QList>
#include <QStatusBar>
#include <optional>

class QLabel;
class QTimer;

// The main window's status bar with its eight panels: 1 date, 2 time,
// 3 Caps Lock, 4 Num Lock, 5 Insert, 6 Scroll Lock, 7 the serial settings,
// 8 the drive's run state. Date and time follow the clock. A lock key's panel
// shows its state only where the platform tells it (the panel is greyed while
// the key is off); elsewhere it shows the key's name alone, never a guess.
class StatusPanels : public QStatusBar
{
    Q_OBJECT
public:
    enum Panel
    {
        Date = 1,
        Time,
        Caps,
        Num,
        Insert,
        Scroll,
        Settings,
        RunState
    };

    explicit StatusPanels(QWidget* parent = nullptr);

    // Panel 1..8.
    QLabel* panel(int number) const;
    QString panelText(int number) const;
    void setPanelText(int number, const QString& text);

    // A passing notice about the line (a command that went to every drive or
    // to none), shown for a while over the standing one.
    void showNotice(const QString& text);
    static constexpr int kNoticeMs = 15000;
    // A note at the left end of the bar, hidden while empty (the panels keep
    // their places; a temporary message would get no room beside them).
    void setNotice(const QString& text);
    QString notice() const;

    // Whether a lock key is on; nullopt where this platform cannot say.
    static std::optional<bool> keyState(Panel key);

public slots:
    void refresh();

private:
    QList<QLabel*> m_panels;
    QLabel* m_notice = nullptr;
    QTimer* m_clock = nullptr;
};
