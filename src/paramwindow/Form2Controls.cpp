// SPDX-License-Identifier: GPL-3.0-or-later
// Building and arranging the controls of the parameter window.

#include "Form2.h"

#include "Lamp.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

template <typename T> T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* label(const QString& text, const char* name)
{
    return named(new QLabel(text), name);
}

// The value boxes and lists read green on black, like the drive's own display.
void greenOnBlack(QWidget* widget)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        palette.setColor(role, Qt::black);
    for (const QPalette::ColorRole role :
         {QPalette::Text, QPalette::WindowText, QPalette::ButtonText})
        palette.setColor(role, Qt::green);
    widget->setPalette(palette);
}

QLineEdit* readOnlyBox(const char* name)
{
    auto* box = named(new QLineEdit, name);
    box->setReadOnly(true);
    greenOnBlack(box);
    return box;
}

// A label says what its control holds, to the eye and to a screen reader.
void describe(QLabel* caption, QWidget* control)
{
    caption->setBuddy(control);
    control->setAccessibleName(caption->text());
}

} // namespace

void Form2::buildControls()
{
    Frame1 = named(new QGroupBox(tr("Machine Type && Parameter Set")), "Frame1");
    Label1 = label(QStringLiteral("F"), "Label1");
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    Combo1 = named(new QComboBox, "Combo1");
    Label2 = label(tr("Root Parameter"), "Label2");
    Combo2 = named(new QComboBox, "Combo2");
    Label10 = label(tr("Sub Parameter"), "Label10");
    QPalette blue = Label10->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label10->setPalette(blue);
    // Group titles and parameter names can be long; let them wrap, not widen the window.
    Label2->setWordWrap(true);
    Label10->setWordWrap(true);

    Text1 = named(new QLineEdit, "Text1");
    Label3 = label(tr("Present Value"), "Label3");
    Text6 = named(new QPlainTextEdit, "Text6");
    Text6->setReadOnly(true);
    Text6->setTabChangesFocus(true);
    Label9 = label(tr("Parameter Name"), "Label9");
    Combo3 = named(new QComboBox, "Combo3");
    Combo3->setEditable(true);
    // Typing a number must not add it to the offered addresses.
    Combo3->setInsertPolicy(QComboBox::NoInsert);
    Label11 = label(tr("Inverter Address"), "Label11");
    Label8 = label(tr("Changing Attribute"), "Label8");
    Label8->setToolTip(QStringLiteral("绿色可更改，红色不可更改"));
    Shape1 = named(new Lamp(Lamp::Form::Circle), "Shape1");
    Shape1->setToolTip(Label8->toolTip());

    Frame2 = named(new QGroupBox(tr("Attribute")), "Frame2");
    Text2 = readOnlyBox("Text2");
    Label4 = label(tr("Defualt"), "Label4");
    Text3 = readOnlyBox("Text3");
    Label5 = label(tr("Min"), "Label5");
    Text4 = readOnlyBox("Text4");
    Label6 = label(tr("Max"), "Label6");
    Text5 = readOnlyBox("Text5");
    Label7 = label(tr("Resolution"), "Label7");

    Command1 = named(new QPushButton(tr("Enter")), "Command1");
    Command4 = named(new QPushButton(tr("Encryption")), "Command4");
    Command2 = named(new QPushButton(tr("Exit")), "Command2");

    NoAnswerLabel = label(QString(), "NoAnswerLabel");
    NoAnswerLabel->setWordWrap(true);
    QPalette red = NoAnswerLabel->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    NoAnswerLabel->setPalette(red);
    WriteResultLabel = label(QString(), "WriteResultLabel");
    WriteResultLabel->setWordWrap(true);
    WriteResultLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);

    for (QWidget* box : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(Combo2),
                         static_cast<QWidget*>(Combo3), static_cast<QWidget*>(Text1),
                         static_cast<QWidget*>(Text6)})
        greenOnBlack(box);

    // The captions above the two lists become catalogue texts with every
    // reply, so they get no buddy (an "&" in them would turn into a shortcut)
    // and the lists keep the names they start with, easy to find.
    Combo1->setAccessibleName(Label2->text());
    Combo2->setAccessibleName(Label10->text());
    describe(Label3, Text1);
    describe(Label9, Text6);
    describe(Label11, Combo3);
    describe(Label8, Shape1);
    describe(Label4, Text2);
    describe(Label5, Text3);
    describe(Label6, Text4);
    describe(Label7, Text5);
}

void Form2::layOutControls()
{
    auto* selection = new QGridLayout(Frame1);
    selection->addWidget(Label2, 0, 0, 1, 2);
    selection->addWidget(Label10, 0, 2);
    selection->addWidget(Label1, 1, 0);
    selection->addWidget(Combo1, 1, 1);
    selection->addWidget(Combo2, 1, 2);
    selection->addWidget(Label3, 2, 0, 1, 2);
    selection->addWidget(Label9, 2, 2);
    selection->addWidget(Text1, 3, 0, 1, 2);
    selection->addWidget(Label11, 4, 0, 1, 2);
    selection->addWidget(Combo3, 5, 0, 1, 2);
    selection->addWidget(Text6, 3, 2, 4, 1);
    auto* attribute = new QHBoxLayout;
    attribute->addWidget(Label8);
    attribute->addWidget(Shape1);
    attribute->addStretch();
    selection->addLayout(attribute, 7, 0, 1, 3);
    selection->setColumnStretch(1, 1);
    selection->setColumnStretch(2, 2);
    selection->setRowStretch(6, 1);

    auto* attributes = new QFormLayout(Frame2);
    attributes->addRow(Label4, Text2);
    attributes->addRow(Label5, Text3);
    attributes->addRow(Label6, Text4);
    attributes->addRow(Label7, Text5);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command4);
    buttons->addWidget(Command2);

    auto* side = new QVBoxLayout;
    side->addWidget(Frame2);
    side->addWidget(NoAnswerLabel);
    side->addWidget(WriteResultLabel);
    side->addStretch();
    side->addLayout(buttons);

    auto* window = new QHBoxLayout(this);
    window->addWidget(Frame1, 3);
    window->addLayout(side, 2);
}
