// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Form2.h"
#include "ParamRig.h"

#include <QComboBox>
#include <QPointer>
#include <QStringList>

inline const QString kBoundsError = QStringLiteral("Parameter error,refer to Max && Min ");

struct Form2Rig : ParamRig
{
    QPointer<Form2> window = new Form2(link, prompter, lock, dataSet);
    ~Form2Rig() { delete window; }

    void pickGroup(const QString& digit)
    {
        window->Combo1->setCurrentIndex(window->Combo1->findText(digit));
        window->Combo1_Click();
    }
    void pickIndex(int index)
    {
        window->Combo2->setCurrentIndex(index);
        window->Combo2_Click();
    }
    // Picks Px.yy and lets the drive answer with the raw value.
    void show(const QString& digit, int index, quint16 raw, quint8 address = 1)
    {
        pickGroup(digit);
        pickIndex(index);
        receive(request(address, 3, quint8(window->Combo1->currentIndex()), quint8(index), raw));
        port.clearWritten();
    }
    QStringList items(QComboBox* box) const
    {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i)
            texts << box->itemText(i);
        return texts;
    }
};

inline QStringList numbers(int first, int last)
{
    QStringList texts;
    for (int n = first; n <= last; ++n)
        texts << QString::number(n);
    return texts;
}
