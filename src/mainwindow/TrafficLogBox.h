#pragma once

#include <QPlainTextEdit>

// The hexadecimal traffic log. Bytes arrive one at a time, so text is added at
// the end through one cursor instead of rebuilding the box, and the oldest text
// is dropped once the log passes a limit, so a long session cannot eat memory.
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

    void appendTraffic(const QString& text);

signals:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void dropOldest();
};
