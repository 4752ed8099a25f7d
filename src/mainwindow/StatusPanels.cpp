// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatusPanels.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

StatusPanels::StatusPanels(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar1"));
    setSizeGripEnabled(true);
    static const char* const keyNames[] = {"CAPS", "NUM", "INS", "SCRL"};
    static const char* const keyTips[] = {QT_TR_NOOP("Caps Lock"), QT_TR_NOOP("Num Lock"),
                                          QT_TR_NOOP("Insert"), QT_TR_NOOP("Scroll Lock")};
    for (int number = 1; number <= 8; ++number) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("Panel%1").arg(number));
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setContentsMargins(4, 0, 4, 0);
        if (number >= Caps && number <= Scroll) {
            label->setText(QString::fromLatin1(keyNames[number - Caps]));
            label->setToolTip(tr(keyTips[number - Caps]));
        }
        // The panels keep their own widths; the spare width on the left is
        // where notices about the line appear.
        addPermanentWidget(label, 0);
        m_panels.append(label);
    }
    setPanelText(RunState, tr("Stop"));

    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("Notice"));
    // The notice takes the room the panels leave and wraps into it; it never
    // widens the window (at 200 % a long one would push it off the screen).
    m_notice->setWordWrap(true);
    m_notice->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_notice->setContentsMargins(4, 0, 4, 0);
    m_notice->hide();
    addWidget(m_notice, 1);
    m_passing = new QTimer(this);
    m_passing->setSingleShot(true);
    connect(m_passing, &QTimer::timeout, this, [this] { setNotice(m_standingNotice); });

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &StatusPanels::refresh);
    m_clock->start();
    refresh();
}

QLabel* StatusPanels::panel(int number) const
{
    return number >= 1 && number <= m_panels.size() ? m_panels[number - 1] : nullptr;
}

QString StatusPanels::panelText(int number) const
{
    const QLabel* label = panel(number);
    return label ? label->text() : QString();
}

void StatusPanels::setPanelText(int number, const QString& text)
{
    if (QLabel* label = panel(number))
        label->setText(text);
}

void StatusPanels::setNotice(const QString& text)
{
    m_standingNotice = text;
    m_passing->stop();
    m_notice->setText(text);
    m_notice->setToolTip(text);
    m_notice->setAccessibleName(text);
    m_notice->setVisible(!text.isEmpty());
}

void StatusPanels::showPassingNotice(const QString& text)
{
    const QString standing = m_standingNotice;
    setNotice(text);
    m_standingNotice = standing;
    m_passing->start(kPassingNoticeMs);
}

QString StatusPanels::notice() const
{
    return m_notice->text();
}

std::optional<bool> StatusPanels::keyState(Panel key)
{
#ifdef Q_OS_WIN
    switch (key) {
    case Caps:
        return (GetKeyState(VK_CAPITAL) & 1) != 0;
    case Num:
        return (GetKeyState(VK_NUMLOCK) & 1) != 0;
    case Insert:
        return (GetKeyState(VK_INSERT) & 1) != 0;
    case Scroll:
        return (GetKeyState(VK_SCROLL) & 1) != 0;
    default:
        return std::nullopt;
    }
#else
    // Neither X11, Wayland nor macOS hands the lock-key states to Qt portably.
    Q_UNUSED(key);
    return std::nullopt;
#endif
}

void StatusPanels::refresh()
{
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    setPanelText(Date, locale.toString(now.date(), QLocale::ShortFormat));
    setPanelText(Time, locale.toString(now.time(), QLocale::ShortFormat));
    for (const Panel key : {Caps, Num, Insert, Scroll}) {
        const std::optional<bool> on = keyState(key);
        panel(key)->setEnabled(on.value_or(true));
    }
}
