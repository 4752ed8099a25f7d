// SPDX-License-Identifier: GPL-3.0-or-later
#include "LabelledList.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QAccessibleWidget>
#include <QComboBox>

namespace {

const char* const kMarked = "vfdNamedByLabel";

class LabelledListAccessible : public QAccessibleWidget
{
public:
    explicit LabelledListAccessible(QComboBox* list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {
        addControllingSignal(QStringLiteral("activated(int)"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return list()->currentText();
        if (t == QAccessible::Name && !widget()->accessibleName().isEmpty())
            return widget()->accessibleName();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString& action) override
    {
        if (action == showMenuAction() || action == pressAction())
            list()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
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
