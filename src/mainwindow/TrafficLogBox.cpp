#include "TrafficLogBox.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

TrafficLogBox::TrafficLogBox(QWidget* parent) : QPlainTextEdit(parent)
{
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setUndoRedoEnabled(false);
}

void TrafficLogBox::appendTraffic(const QString& text)
{
    QScrollBar* bar = verticalScrollBar();
    const bool following = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (cursor.block().length() > LineLimit && !text.startsWith(u'\r'))
        cursor.insertBlock();
    cursor.insertText(text);
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
