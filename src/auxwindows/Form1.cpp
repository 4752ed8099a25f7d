// SPDX-License-Identifier: GPL-3.0-or-later
#include "Form1.h"

#include "Artwork.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const char* const kGreeting = QT_TRANSLATE_NOOP("Form1", "Welcome Using KORVANTEX Inverter");
}

Form1::Form1(std::function<void()> handOver, QWidget* parent)
    : QWidget(parent), m_handOver(std::move(handOver))
{
    setObjectName(QStringLiteral("Form1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr(kGreeting));

    Label1 = new QLabel(tr(kGreeting), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    QFont font = Label1->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.6);
    Label1->setFont(font);
    QPalette palette = Label1->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    Label1->setPalette(palette);

    // The label sits centred on the light floor of the picture, clear of the drawing.
    auto* layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addWidget(Label1, 0, Qt::AlignHCenter);
    layout->addSpacing(fontMetrics().height());

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(5000);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
}

QSize Form1::sizeHint() const
{
    // The picture is wide; scale it from the font so it keeps its look at any DPI.
    const int line = fontMetrics().height();
    const int width = qMax(line * 34, Label1->sizeHint().width() + 4 * line);
    return {width, width * 2 / 3};
}

void Form1::Form1_Click()
{
    handOverOnce();
}

void Form1::Timer1_Timer()
{
    handOverOnce();
}

void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Restoring a minimised window shows it again; that must not restart the count.
    if (!m_handedOver && !Timer1->isActive())
        Timer1->start();
}

void Form1::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Artwork::paintWelcome(painter, QRectF(rect()));
}

void Form1::mousePressEvent(QMouseEvent* event)
{
    // A press the greeting label did not take reaches us too; only the bare
    // picture counts as a click on the window.
    event->accept();
    if (childAt(event->position().toPoint()) == nullptr)
        Form1_Click();
}

void Form1::handOverOnce()
{
    // The timer is stopped before anything else so that neither a late tick nor a
    // second click can show the main window twice.
    Timer1->stop();
    if (m_handedOver)
        return;
    m_handedOver = true;
    if (m_handOver)
        m_handOver();
    close();
}
