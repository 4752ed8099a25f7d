// SPDX-License-Identifier: GPL-3.0-or-later
#include "TrafficLogBox.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <utility>

TrafficLogBox::TrafficLogBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
    m_pendingTimer.setSingleShot(true);
    m_pendingTimer.setInterval(PendingDelayMs);
    connect(&m_pendingTimer, &QTimer::timeout, this, &TrafficLogBox::flush);
}

void TrafficLogBox::appendTraffic(const QString& text)
{
    m_pending.append(text);
    if (m_pending.size() >= MaxPendingPieces)
        flush();
    else if (!m_pendingTimer.isActive())
        m_pendingTimer.start();
}

void TrafficLogBox::clearLog()
{
    m_pendingTimer.stop();
    m_pending.clear();
    clear();
}

QString TrafficLogBox::logText()
{
    flush();
    return toPlainText();
}

void TrafficLogBox::flush()
{
    m_pendingTimer.stop();
    if (m_pending.isEmpty())
        return;
    const QStringList pieces = std::exchange(m_pending, QStringList());
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    // One insertion for everything gathered: the box lays out and repaints once.
    qsizetype lineLength = cursor.block().length() - 1;
    QString chunk;
    for (const QString& piece : pieces) {
        if (lineLength >= LineLimit && !piece.startsWith(u'\r')) {
            chunk += u'\n';
            lineLength = 0;
        }
        chunk += piece;
        const qsizetype lineEnd = piece.lastIndexOf(u'\n');
        lineLength = lineEnd < 0 ? lineLength + piece.size() : piece.size() - lineEnd - 1;
    }
    cursor.insertText(chunk);
    if (document()->characterCount() > CharacterLimit)
        dropOldest();
    // Someone reading further up keeps his place; otherwise the newest bytes stay in view.
    if (following)
        bar->setValue(bar->maximum());
}

void TrafficLogBox::dropOldest()
{
    // Trim to three quarters of the limit in one go, at a line boundary, so the
    // cost is paid once per many kilobytes and not on every byte.
    const int excess = document()->characterCount() - CharacterLimit * 3 / 4;
    QTextCursor cursor(document());
    cursor.setPosition(excess, QTextCursor::KeepAnchor);
    const QTextBlock block = cursor.block();
    if (block.next().isValid())
        cursor.setPosition(block.next().position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void TrafficLogBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit doubleClicked();
}
