// SPDX-License-Identifier: GPL-3.0-or-later
#include "LabelledList.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <optional>

namespace {

const char* const kMarked = "vfdNamedByLabel";

// The toolkit's own description of a drop-down list cannot be given another
// name, so a marked list is described here whole: its name, the entry on
// show as its value and as a read-only text, and its pop-up list as its
// child, whose items are the entries offered: a reader says "First", then
// which address, so the user knows which drive a command goes to.
class LabelledListAccessible : public QAccessibleWidget,
                               public QAccessibleTextInterface,
                               public QAccessibleValueInterface
{
public:
    explicit LabelledListAccessible(QComboBox* list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("activated(int)"));
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        // A number only where the entries are numbers, as addresses are.
        if (type == QAccessible::ValueInterface && number(list()->currentText()))
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return shown();
        if (t == QAccessible::Name && !widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    // The pop-up list is a window of its own, which the widget's children
    // leave out; an editable list also has its entry field.
    int childCount() const override { return editor() ? 2 : 1; }

    QAccessibleInterface* child(int index) const override
    {
        if (index == 0)
            return QAccessible::queryAccessibleInterface(list()->view());
        if (index == 1 && editor())
            return QAccessible::queryAccessibleInterface(editor());
        return nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        if (child->object() == list()->view())
            return 0;
        if (editor() && child->object() == editor())
            return 1;
        return -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

    // The entry on show, as text that can be read but neither edited nor
    // selected: the list keeps no caret of its own.
    QString text(int startOffset, int endOffset) const override
    {
        const QString whole = shown();
        const qsizetype end =
            endOffset < 0 ? whole.size() : std::min<qsizetype>(endOffset, whole.size());
        const qsizetype start = std::clamp<qsizetype>(startOffset, 0, end);
        return whole.mid(start, end - start);
    }
    int characterCount() const override { return int(shown().size()); }
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

    // Where each character of the entry is drawn, in screen coordinates,
    // for a magnifier that follows the reading.
    QRect characterRect(int offset) const override
    {
        const QString whole = shown();
        if (offset < 0 || offset >= whole.size())
            return {};
        const QRect field = textField();
        const QFontMetrics metrics = list()->fontMetrics();
        const QPoint at(field.left() + metrics.horizontalAdvance(whole.left(offset)), field.top());
        return {list()->mapToGlobal(at),
                QSize(metrics.horizontalAdvance(whole.at(offset)), field.height())};
    }
    int offsetAtPoint(const QPoint& point) const override
    {
        const QPoint local = list()->mapFromGlobal(point);
        const QRect field = textField();
        if (!field.contains(local))
            return -1;
        const QString whole = shown();
        const QFontMetrics metrics = list()->fontMetrics();
        for (int offset = 0; offset < whole.size(); ++offset) {
            if (local.x() < field.left() + metrics.horizontalAdvance(whole.left(offset + 1)))
                return offset;
        }
        return -1;
    }

    // The entry on show as a number; setting one chooses that entry, as
    // picking it from the list would, where the user could pick it.
    QVariant currentValue() const override
    {
        const auto value = number(list()->currentText());
        return value ? QVariant(*value) : QVariant();
    }
    void setCurrentValue(const QVariant& value) override
    {
        bool ok = false;
        const int wanted = value.toInt(&ok);
        const int index = ok ? list()->findText(QString::number(wanted)) : -1;
        if (index < 0 || !list()->isEnabled() || index == list()->currentIndex())
            return;
        list()->setCurrentIndex(index);
    }
    QVariant maximumValue() const override { return bound(true); }
    QVariant minimumValue() const override { return bound(false); }
    QVariant minimumStepSize() const override { return 1; }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }

    QWidget* editor() const
    {
        return list()->isEditable() ? static_cast<QWidget*>(list()->lineEdit()) : nullptr;
    }

    QString shown() const { return editor() ? list()->lineEdit()->text() : list()->currentText(); }

    static std::optional<int> number(const QString& text)
    {
        bool ok = false;
        const int value = text.toInt(&ok);
        return ok ? std::optional<int>(value) : std::nullopt;
    }

    // The largest or smallest entry that is a number.
    QVariant bound(bool largest) const
    {
        std::optional<int> found;
        for (int index = 0; index < list()->count(); ++index) {
            const auto value = number(list()->itemText(index));
            if (value && (!found || (largest ? *value > *found : *value < *found)))
                found = value;
        }
        return found ? QVariant(*found) : QVariant();
    }

    QRect textField() const
    {
        QStyleOptionComboBox option;
        option.initFrom(list());
        option.editable = list()->isEditable();
        option.frame = list()->hasFrame();
        option.currentText = shown();
        return list()->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                               QStyle::SC_ComboBoxEditField, list());
    }
};

QAccessibleInterface* labelledLists(const QString& className, QObject* object)
{
    Q_UNUSED(className);
    auto* list = qobject_cast<QComboBox*>(object);
    if (list && list->property(kMarked).toBool())
        return new LabelledListAccessible(list);
    return nullptr;
}

} // namespace

namespace LabelledList {

void mark(QComboBox* list)
{
    // The factory is asked before the toolkit's own; installing it again
    // changes nothing.
    QAccessible::installFactory(labelledLists);
    list->setProperty(kMarked, true);
}

} // namespace LabelledList
