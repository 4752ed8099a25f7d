// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmSplash.h"

#include "Artwork.h"

#include <QDir>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextDocument>
#include <QVBoxLayout>
#include <QtMath>

namespace {

// The operating instruction, line for line as it is handed to users. Trailing
// blanks on two lines are part of it.
// clang-format off
const char kInstruction[] = QT_TRANSLATE_NOOP("frmSplash",
        "Operating instruction:\r\n"
        "  1.Before opening the software ,please confirm serial port configuration match,\r\n"
        "    related serial port free;Make Communication setting in keyboard(refer to the\r\n"
        "    parameter P0.01,P0.04,P8).\r\n"
        "  2.Afterthe software opened,the items \"control\" ,\"monitored frequency inverter\r\n"
        "    address\" and \"parameter setting\" are invalid,Now need to configurate the serial\r\n"
        "    ports;When the serial ports configuration is right,press\"open serial\",\"control\",\r\n"
        "    \"monitored frequency inverter address\"and\"parameter set\"are valid,otherwise,\r\n"
        "    \"invalid series ports\"will be displayed.After opening serial port,press\"start\",\r\n"
        "    \"error code\"and\"monitoring parameter\"will be read by the inverter.\r\n"
        "     a.In the\"control\" items,you can set \"foreward\",\"reversal\" and \"jog\"etc.\r\n"
        "     b.In the \"monitoring machines\"items,you can set mornitoring single,or mornitor\r\n"
        "       -ing many(most 31 sets),set by \"START\"and \"END\"and datum gained in polling\r\n"
        "       mode.\r\n"
        "     c.In the \"parameter set\" of the menu,can set the parameter(respond to the\r\n"
        "       manual),the datum are updating in real-time.\r\n"
        "  3.In the \"machine state\", the error code and machine running state can be checked.\r\n"
        "\r\n"
        "Announcements:\r\n"
        "  a.In error state ,frequency inverter and motor stop working ,any tries to use\r\n"
        "    the frequency is invalid.\r\n"
        "  b.In error state,the \"error code\" will show \"xxx error\";now only need to press \r\n"
        "    \"RESET\",everything will be reseted or the \"error code\" will be \"normal\",now\r\n"
        "     normal operate.\r\n"
        "  c.Make sure the related communication setting is right.It is the basic of normal\r\n"
        "    communication.(please check this \"operating instruction\"(1))\r\n"
        "  d.jog running is special,please operate according to the rules.\"jog running time\r\n"
        "    has relation with communication timeout,so communication must be closed when\r\n"
        "    use jog running.)\r\n"
        "  e.Foreward and reversal are both directive running constantly ,pressing \"NONE\"\r\n"
        "    to stop sending;In one \"communication timeout time\"(P8.02),frequency inverter\r\n"
        "    will stop,\"continuous running\"send only one directive,then pressing\" STOP\" to \r\n"
        "    stop running.");
// clang-format on

// Wide enough that no line of the instruction has to wrap at the start.
constexpr int kInstructionColumns = 86;
constexpr int kInstructionRows = 24;

} // namespace

QString frmSplash::InstructionText()
{
    return tr(kInstruction);
}

frmSplash::frmSplash(const QString& settingsFile, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("USER GUIDE"));

    Frame1 = new QGroupBox(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));

    Text1 = new QPlainTextEdit(Frame1);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setAccessibleName(QStringLiteral("Text1"));
    // The instruction is laid out with blanks, so it needs a fixed-pitch font.
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    Text1->setReadOnly(true);
    Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text1->setMinimumSize(Text1->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 30,
                          Text1->fontMetrics().lineSpacing() * 8);
    Text1->setPlainText(InstructionText());

    Command1 = new QPushButton(tr("Exit"), Frame1);
    Command1->setObjectName(QStringLiteral("Command1"));
    connect(Command1, &QPushButton::clicked, this, &frmSplash::Command1_Click);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(Command1);
    auto* frame1Layout = new QVBoxLayout(Frame1);
    frame1Layout->addWidget(Text1, 1);
    frame1Layout->addLayout(buttonRow);

    Frame2 = new QGroupBox(this);
    Frame2->setObjectName(QStringLiteral("Frame2"));

    Image1 = new PictureBox(Artwork::paintToolIcon, 6, Frame2);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Image1"));

    Label1 = new QLabel(tr("vfdtool\nDrive commissioning over RS-485"), Frame2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont titleFont = Label1->font();
    titleFont.setBold(true);
    Label1->setFont(titleFont);

    lblVersion = new QLabel(tr("Edition    1.00"), Frame2);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setAlignment(Qt::AlignCenter);

    lblPlatform = new QLabel(tr("Used in Upper WINDOWS 95 Platform"), Frame2);
    lblPlatform->setObjectName(QStringLiteral("lblPlatform"));
    lblPlatform->setAlignment(Qt::AlignCenter);

    auto* frame2Layout = new QVBoxLayout(Frame2);
    frame2Layout->addWidget(Image1, 0, Qt::AlignHCenter);
    frame2Layout->addWidget(Label1);
    frame2Layout->addWidget(lblVersion);
    frame2Layout->addWidget(lblPlatform);
    frame2Layout->addStretch(1);

    lblNotice =
        new QLabel(tr("This program keeps the port, its line settings, the gateways used, both "
                      "rhythms, the drive choice, the skin colour and the window's place in "
                      "%1 (vfdtool --reset-settings starts afresh). The password lasts only "
                      "until the program is closed.")
                       .arg(QDir::toNativeSeparators(settingsFile)),
                   this);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);

    lblWarning = new QLabel(tr("Keep clear of the motor and its load whenever a drive "
                               "is commanded from this program."),
                            this);
    lblWarning->setObjectName(QStringLiteral("lblWarning"));
    lblWarning->setWordWrap(true);

    auto* panels = new QHBoxLayout;
    panels->addWidget(Frame1, 1);
    panels->addWidget(Frame2, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(panels, 1);
    layout->addWidget(lblNotice);
    layout->addWidget(lblWarning);

    // The wrapped notices would otherwise make the first showing fit them, not the
    // instruction; stay within the screen all the same.
    QSize start = sizeHint();
    if (const QScreen* display = screen())
        start = start.boundedTo(display->availableGeometry().size() * 9 / 10);
    resize(start.expandedTo(minimumSizeHint()));
}

QSize frmSplash::sizeHint() const
{
    // Start wide and tall enough to read the instruction without wrapping; the
    // user can still shrink the window, the text then wraps.
    const QFontMetrics metrics(Text1->font());
    // Measured as one run of characters: a single glyph's advance is rounded
    // and would come out a few columns short over a whole line.
    int widest = metrics.horizontalAdvance(QString(kInstructionColumns, QLatin1Char('x')));
    // A translation's lines may be wider in the font (Chinese takes two columns a character).
    for (QString line : Text1->toPlainText().split(u'\n'))
        widest = qMax(widest, metrics.horizontalAdvance(line.remove(u'\r')));
    const int wanted = widest + Text1->verticalScrollBar()->sizeHint().width() +
                       2 * Text1->frameWidth() + 2 * qCeil(Text1->document()->documentMargin());
    const int wantedHeight = metrics.lineSpacing() * kInstructionRows;
    const QSize text = Text1->sizeHint();
    return QWidget::sizeHint() +
           QSize(qMax(0, wanted - text.width()), qMax(0, wantedHeight - text.height()));
}

void frmSplash::Command1_Click()
{
    close();
}
