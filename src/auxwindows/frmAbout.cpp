// SPDX-License-Identifier: GPL-3.0-or-later
#include "frmAbout.h"

#include "Artwork.h"
#include "Prompter.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifdef Q_OS_WIN
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#endif

frmAbout::frmAbout(Prompter& prompter, QWidget* parent) : QWidget(parent), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmAbout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("SOFEWARE INFOMATION"));

    Image1 = new PictureBox(Artwork::paintToolIcon, 4, this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Image1"));

    lblTitle = new QLabel(tr("vfdtool — drive commissioning over RS-485"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);

    lblVersion = new QLabel(tr("Edition 1.00"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    lblDescription =
        new QLabel(tr("vfdtool runs, watches and sets up frequency inverters over an RS-485 "
                      "line; choose \"User Guide\" in the Help menu to learn how."),
                   this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);

    lblDisclaimer = new QLabel(tr("Questions and reports: the service desk of your "
                                  "drive supplier, quoting the edition above."),
                               this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);

    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);

    cmdSysInfo = new QPushButton(tr("SYSTEM INFO(&S)"), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    buttons->addStretch(1);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(lblTitle, 0, 1, 1, 2);
    layout->addWidget(lblVersion, 1, 1, 1, 2);
    layout->addWidget(lblDescription, 2, 1, 1, 2);
    layout->addWidget(line, 3, 0, 1, 3);
    layout->addWidget(lblDisclaimer, 4, 0, 1, 2, Qt::AlignTop);
    layout->addLayout(buttons, 4, 2);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(2, 1);
    // A wrapped description needs a width to wrap against.
    lblDescription->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
}

void frmAbout::cmdOK_Click()
{
    close();
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    // Whatever goes wrong on the way, the user gets one plain message and the
    // about box stays open.
    if (!launchSysInfo())
        m_prompter.warn(this, QStringLiteral("错误提示！"), QStringLiteral("此时系统信息不可用"));
}

#ifdef Q_OS_WIN

bool frmAbout::launchSysInfo()
{
    const QString root = QStringLiteral("HKEY_LOCAL_MACHINE");
    const KeyValue direct = GetKeyValue(
        root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"), QStringLiteral("PATH"));
    if (direct.found)
        return QProcess::startDetached(direct.value, {});

    const KeyValue location =
        GetKeyValue(root, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"));
    if (!location.found)
        return false;
    const QString viewer = location.value + QStringLiteral("\\MSINFO32.EXE");
    if (!QFileInfo::exists(QDir::fromNativeSeparators(viewer)))
        return false;
    return QProcess::startDetached(viewer, {});
}

frmAbout::KeyValue frmAbout::GetKeyValue(const QString& rootKey, const QString& keyName,
                                         const QString& valueName)
{
    const QSettings key(rootKey + QLatin1Char('\\') + keyName, QSettings::NativeFormat);
    if (key.status() != QSettings::NoError || !key.contains(valueName))
        return {};
    const QVariant data = key.value(valueName);
    // A 32-bit number comes back as an integer; show it as its plain decimal value.
    if (data.typeId() == QMetaType::Int || data.typeId() == QMetaType::UInt)
        return {QString::number(data.toUInt()), true};
    if (!data.canConvert<QString>())
        return {};
    QString text = data.toString();
    if (text.endsWith(QChar(u'\0')))
        text.chop(1);
    return {text, true};
}

#else

bool frmAbout::launchSysInfo()
{
    return false;
}

frmAbout::KeyValue frmAbout::GetKeyValue(const QString&, const QString&, const QString&)
{
    return {};
}

#endif
