// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

// The hexadecimal traffic log. Bytes arrive one at a time; their text is
// gathered and put into the box a few times a second, because laying out and
// painting the box for every byte (or even every frame) cost more than the
// whole rest of polling, and a person reads the log no faster. The oldest text is
// dropped once the log passes a limit, so a long session cannot eat memory.
class TrafficLogBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit TrafficLogBox(QWidget* parent = nullptr);

    // Characters kept at most; the oldest lines go first.
    static constexpr int CharacterLimit = 64 * 1024;
    // Bytes that never end in a frame (noise, a wrong baud rate) are broken
    // into lines of this many characters (64 bytes): a longer line would be
    // laid out anew for every byte that arrives.
    static constexpr int LineLimit = 64 * 3;

    // Longest a byte's text waits before it is shown.
    static constexpr int PendingDelayMs = 250;
    // ... or once this many texts wait, so a flood cannot pile up unseen.
    static constexpr int MaxPendingPieces = 256;

    void appendTraffic(const QString& text);
    // Puts any gathered text into the box now.
    void flush();
    // Empties the log, text still waiting included.
    void clearLog();
    // The whole log as it stands, waiting text included.
    QString logText();

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void dropOldest();

    QStringList m_pending; // texts as they came, one byte or line end each
    QTimer m_pendingTimer;
};
