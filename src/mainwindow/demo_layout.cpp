// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's controls, grouped as the frames say, placed by layouts only.
#include "CatalogueText.h"
#include "LabelledList.h"
#include "StatusPanels.h"
#include "Tab.h"
#include "TrafficLogBox.h"
#include "demo.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

template <class W> W* named(W* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel* labelFor(const QString& caption, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(control);
    control->setAccessibleName(caption);
    return label;
}

QComboBox* addressList(QWidget* parent, const char* name)
{
    auto* box = named(new QComboBox(parent), name);
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    // Spoken by its name ("First"), not by the address on show.
    LabelledList::mark(box);
    return box;
}

QLineEdit* entry(QWidget* parent, const char* name, const QString& text)
{
    auto* box = named(new QLineEdit(text, parent), name);
    box->setMaxLength(8);
    // Wide enough for "20000" with room to spare, at any font size.
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000000000")));
    return box;
}

QLineEdit* readOnlyBox(QWidget* parent, const char* name)
{
    auto* box = named(new QLineEdit(parent), name);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::ClickFocus);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000.000")));
    return box;
}

// The monitored values: black boxes with green figures, as on a drive's panel.
QLineEdit* displayBox(QWidget* parent, const char* name)
{
    auto* box = readOnlyBox(parent, name);
    QPalette palette = box->palette();
    for (const QPalette::ColorGroup group :
         {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::black);
        palette.setColor(group, QPalette::Text, QColor(0, 255, 0));
    }
    box->setPalette(palette);
    box->setAlignment(Qt::AlignRight);
    return box;
}

// Wide enough to show every fault description whole, code included.
void fitLongestFault(QLineEdit* box)
{
    const QFontMetrics metrics = box->fontMetrics();
    int widest = 0;
    for (int number = 1; number <= 20; ++number) {
        if (const auto text = CatalogueText::faultText(number))
            widest = std::max(widest, metrics.horizontalAdvance(*text));
    }
    // What the box adds around its text (frame, margins), as its own size hint reckons it.
    const int around = box->sizeHint().width() - metrics.horizontalAdvance(u'x') * 17;
    box->setMinimumWidth(widest + around + metrics.averageCharWidth());
}

OptionButton* option(QWidget* parent, const char* name, const char* caption)
{
    return named(new OptionButton(demo::tr(caption), parent), name);
}

} // namespace

void demo::buildControls()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    auto* left = new QVBoxLayout;
    left->addWidget(buildAddressFrame());
    left->addWidget(buildAttributeFrame());
    left->addWidget(buildWorkStatusFrame());
    left->addStretch(1);

    auto* right = new QVBoxLayout;
    right->addWidget(buildMachineStateFrame());
    right->addWidget(buildLogFrame(), 1);

    auto* columns = new QHBoxLayout(central);
    columns->addLayout(left);
    columns->addWidget(buildMonitorFrame(), 3);
    columns->addLayout(right, 2);

    StatusBar1 = new StatusPanels(this);
    setStatusBar(StatusBar1);

    Timer1 = named(new QTimer(this), "Timer1");
    Timer2 = named(new QTimer(this), "Timer2");
    Timer3 = named(new QTimer(this), "Timer3");
    // The rhythms are the user's figures; a coarse timer would let them slip by
    // up to 5 % (a 200 ms poll every 210 ms).
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer2->setTimerType(Qt::PreciseTimer);
}

QWidget* demo::buildAddressFrame()
{
    Frame4 = named(new QGroupBox(tr("Inverter Number")), "Frame4");
    Check1 = named(new QCheckBox(tr("Single Machine"), Frame4), "Check1");
    Combo2 = addressList(Frame4, "Combo2");
    // Named by the caption beside it, the check box that chooses it.
    Combo2->setAccessibleName(Check1->text());
    Combo2->setToolTip(tr("Address of the single drive"));
    Combo4 = addressList(Frame4, "Combo4");
    Combo1 = addressList(Frame4, "Combo1");

    auto* grid = new QGridLayout(Frame4);
    grid->addWidget(Check1, 0, 0);
    grid->addWidget(Combo2, 0, 1);
    grid->addWidget(labelFor(tr("First"), Combo4, Frame4), 1, 0, Qt::AlignRight);
    grid->addWidget(Combo4, 1, 1);
    grid->addWidget(labelFor(tr("End"), Combo1, Frame4), 2, 0, Qt::AlignRight);
    grid->addWidget(Combo1, 2, 1);
    grid->setColumnStretch(2, 1);
    return Frame4;
}

QWidget* demo::buildAttributeFrame()
{
    Frame3 = named(new QGroupBox(tr("Attribute")), "Frame3");
    Command1 = named(new QPushButton(tr("Open Serial"), Frame3), "Command1");
    Shape2 = named(new Lamp(Lamp::Form::Circle, Frame3), "Shape2");
    Shape3 = named(new Lamp(Lamp::Form::Circle, Frame3), "Shape3");
    Shape1 = named(new Lamp(Lamp::Form::Circle, Frame3), "Shape1");
    Shape1->setFillColour(ColourValue::Red);

    auto* lamps = new QHBoxLayout;
    for (const auto& [caption, lamp] :
         {std::pair{QT_TR_NOOP("Send"), Shape2}, std::pair{QT_TR_NOOP("Receive"), Shape3},
          std::pair{QT_TR_NOOP("Status"), Shape1}}) {
        lamps->addWidget(labelFor(tr(caption), lamp, Frame3));
        lamps->addWidget(lamp);
        lamps->addSpacing(fontMetrics().averageCharWidth());
    }
    lamps->addStretch(1);
    auto* column = new QVBoxLayout(Frame3);
    column->addWidget(Command1);
    column->addLayout(lamps);
    return Frame3;
}

QWidget* demo::buildWorkStatusFrame()
{
    Frame5 = named(new QGroupBox(tr("Work Status")), "Frame5");
    Option1 = option(Frame5, "Option1", QT_TR_NOOP("FWD"));
    Option2 = option(Frame5, "Option2", QT_TR_NOOP("REV"));
    Option3 = option(Frame5, "Option3", QT_TR_NOOP("JOG-F"));
    Option4 = option(Frame5, "Option4", QT_TR_NOOP("JOG-R"));
    Option5 = option(Frame5, "Option5", QT_TR_NOOP("STOP"));
    Option7 = option(Frame5, "Option7", QT_TR_NOOP("FWD-S"));
    Option8 = option(Frame5, "Option8", QT_TR_NOOP("REV-S"));
    Option9 = option(Frame5, "Option9", QT_TR_NOOP("NONE"));
    Text1 = entry(Frame5, "Text1", QStringLiteral("50"));
    Text5 = entry(Frame5, "Text5", QStringLiteral("50"));
    Text26 = entry(Frame5, "Text26", QStringLiteral("500"));
    Text2 = entry(Frame5, "Text2", QStringLiteral("200"));

    auto* grid = new QGridLayout(Frame5);
    grid->addWidget(Option1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(labelFor(tr("(HZ)"), Text1, Frame5), 0, 2);
    grid->addWidget(Option2, 1, 0);
    grid->addWidget(Text5, 1, 1);
    grid->addWidget(labelFor(tr("(HZ)"), Text5, Frame5), 1, 2);
    grid->addWidget(Option3, 2, 0);
    grid->addWidget(Option4, 2, 1);
    grid->addWidget(Option5, 3, 0);
    grid->addWidget(Option9, 3, 1);
    grid->addWidget(Option7, 4, 0);
    grid->addWidget(Option8, 4, 1);

    ControlRhythmLabel = labelFor(tr("Control rhythm(ms)"), Text26, Frame5);
    ControlRhythmLabel->setObjectName(QStringLiteral("ControlRhythmLabel"));
    CommunicationRhythmLabel = labelFor(tr("Communication rhythm(ms)"), Text2, Frame5);
    CommunicationRhythmLabel->setObjectName(QStringLiteral("CommunicationRhythmLabel"));
    grid->addWidget(ControlRhythmLabel, 5, 0, 1, 2);
    grid->addWidget(Text26, 5, 2);
    grid->addWidget(CommunicationRhythmLabel, 6, 0, 1, 2);
    grid->addWidget(Text2, 6, 2);
    grid->setColumnStretch(3, 1);
    return Frame5;
}

QWidget* demo::buildLogFrame()
{
    Frame1 = named(new QGroupBox, "Frame1");
    Command5 = named(new QPushButton(tr("Start"), Frame1), "Command5");
    Text28 = named(new TrafficLogBox(Frame1), "Text28");
    Text28->setToolTip(QString::fromUtf8("双击清屏"));
    Text28->setAccessibleName(QStringLiteral("Text28"));
    auto* column = new QVBoxLayout(Frame1);
    column->addWidget(Command5);
    column->addWidget(Text28, 1);
    return Frame1;
}

QWidget* demo::buildMachineStateFrame()
{
    Frame2 = named(new QGroupBox(tr("Machine State")), "Frame2");
    Text29 = readOnlyBox(Frame2, "Text29");
    Text30 = readOnlyBox(Frame2, "Text30");
    Text4 = readOnlyBox(Frame2, "Text4");
    fitLongestFault(Text4);
    QPalette red = Text4->palette();
    red.setColor(QPalette::Text, Qt::red);
    Text4->setPalette(red);
    Shape4 = named(new Lamp(Lamp::Form::Circle, Frame2), "Shape4");

    auto* form = new QFormLayout(Frame2);
    form->addRow(labelFor(tr("State"), Text29, Frame2), Text29);
    form->addRow(labelFor(tr("Running direction"), Text30, Frame2), Text30);
    form->addRow(labelFor(tr("Cord"), Text4, Frame2), Text4);
    form->addRow(labelFor(tr("Error"), Shape4, Frame2), Shape4);
    return Frame2;
}

QWidget* demo::buildMonitorFrame()
{
    // The caption "The  th Inverter Monitor Parameter" is drawn as the first row
    // of the frame, so that the address of the drive on display can sit in its
    // gap between "The" and "th".
    Frame7 = named(new QGroupBox, "Frame7");
    Frame7->setAccessibleName(tr("The  th Inverter Monitor Parameter"));
    auto* grid = new QGridLayout(Frame7);

    Label34 = named(new QLabel(Frame7), "Label34");
    Label34->setAlignment(Qt::AlignCenter);
    Label34->setAccessibleName(QStringLiteral("Label34"));
    QPalette red = Label34->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    Label34->setPalette(red);
    QFont bold = Label34->font();
    bold.setBold(true);
    Label34->setFont(bold);
    Label34->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("000")));
    auto* heading = new QHBoxLayout;
    heading->addStretch(1);
    heading->addWidget(new QLabel(tr("The"), Frame7));
    heading->addWidget(Label34);
    heading->addWidget(new QLabel(tr("th Inverter Monitor Parameter"), Frame7));
    heading->addStretch(1);
    grid->addLayout(heading, 0, 0, 1, 4);

    const struct
    {
        const char* caption;
        const char* name;
        QLineEdit** box;
    } fields[] = {
        {QT_TR_NOOP("Frq Output(Hz)"), "Text24", &Text24},
        {QT_TR_NOOP("Frq Set(Hz)"), "Text25", &Text25},
        {QT_TR_NOOP("Current Output(A)"), "Text3", &Text3},
        {QT_TR_NOOP("Voltage Output(V)"), "Text6", &Text6},
        {QT_TR_NOOP("Speed(RPM/min)"), "Text7", &Text7},
        {QT_TR_NOOP("Run Speed(m/s)"), "Text8", &Text8},
        {QT_TR_NOOP("Speed Set(m/s)"), "Text9", &Text9},
        {QT_TR_NOOP("DC Power(V)"), "Text10", &Text10},
        {QT_TR_NOOP("Input Votage(V)"), "Text11", &Text11},
        {QT_TR_NOOP("PID Set"), "Text12", &Text12},
        {QT_TR_NOOP("PID Feedback"), "Text13", &Text13},
        {QT_TR_NOOP("AVI(V)"), "Text14", &Text14},
        {QT_TR_NOOP("ACI(A)"), "Text15", &Text15},
        {QT_TR_NOOP("Pulse Input(KHz)"), "Text16", &Text16},
        {QT_TR_NOOP("Terminal Input"), "Text17", &Text17},
        {QT_TR_NOOP("Radiator Temp(℃)"), "Text18", &Text18},
        {QT_TR_NOOP("Module Temp(℃)"), "Text19", &Text19},
        {QT_TR_NOOP("Count Number"), "Text20", &Text20},
        {QT_TR_NOOP("Count Number Set"), "Text21", &Text21},
        {QT_TR_NOOP("Edition"), "Text27", &Text27},
    };
    int row = 1;
    int column = 0;
    for (const auto& field : fields) {
        *field.box = displayBox(Frame7, field.name);
        grid->addWidget(labelFor(tr(field.caption), *field.box, Frame7), row, column);
        grid->addWidget(*field.box, row, column + 1);
        column = column == 0 ? 2 : 0;
        row += column == 0 ? 1 : 0;
    }
    Text27->setText(QStringLiteral("1.12"));

    Combo5 = named(new QComboBox(Frame7), "Combo5");
    Text22 = displayBox(Frame7, "Text22");
    Combo6 = named(new QComboBox(Frame7), "Combo6");
    Text23 = displayBox(Frame7, "Text23");
    // The choosers' long item texts get a grid of their own, so the value
    // columns above keep equal widths.
    auto* faults = new QGridLayout;
    int faultRow = 0;
    for (const auto& [caption, chooser, box] :
         {std::tuple{QT_TR_NOOP("Error Code"), Combo5, Text22},
          std::tuple{QT_TR_NOOP("Error Output"), Combo6, Text23}}) {
        QLabel* label = labelFor(tr(caption), box, Frame7);
        chooser->setAccessibleName(tr(caption));
        faults->addWidget(label, faultRow, 0);
        faults->addWidget(chooser, faultRow, 1);
        faults->addWidget(box, faultRow, 2);
        ++faultRow;
    }
    faults->setColumnStretch(1, 1);
    grid->addLayout(faults, row, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(row + 1, 1);
    return Frame7;
}
