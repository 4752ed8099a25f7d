// SPDX-License-Identifier: GPL-3.0-or-later
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

    // A note at the left end of the bar that stays until replaced or cleared
    // (empty hides it); the panels keep their places beside it.
    void setNotice(const QString& text);
    void showNotice(const QString& text) { setNotice(text); }
    void clearNotice() { setNotice(QString()); }
    // A passing notice (a command that went to every drive, or to none), shown
    // for a while over the standing one.
    void showPassingNotice(const QString& text);
    static constexpr int kPassingNoticeMs = 15000;
    QString notice() const;

    // Whether a lock key is on; nullopt where this platform cannot say.
    static std::optional<bool> keyState(Panel key);

public slots:
    void refresh();

private:
    QList<QLabel*> m_panels;
    QTimer* m_clock = nullptr;
    QLabel* m_notice = nullptr;
    QString m_standingNotice;
    QTimer* m_passing = nullptr;
};
