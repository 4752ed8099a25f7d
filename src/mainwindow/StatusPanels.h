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

    // A message that stays at the left of the bar until cleared, beside the
    // eight panels (a temporary status message would find no room there).
    void showNotice(const QString& text);
    void clearNotice();
    QString notice() const;

    // Whether a lock key is on; nullopt where this platform cannot say.
    static std::optional<bool> keyState(Panel key);

public slots:
    void refresh();

private:
    QList<QLabel*> m_panels;
    QTimer* m_clock = nullptr;
    QLabel* m_notice = nullptr;
};
