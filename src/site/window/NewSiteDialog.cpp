// SPDX-License-Identifier: GPL-3.0-or-later
#include "NewSiteDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

NewSiteDialog::NewSiteDialog(const QString& port, const QString& settings, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("NewSiteDialog"));
    setWindowTitle(tr("New Site"));
    auto edit = [this](const char* name, const QString& text = QString()) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QLatin1String(name));
        return e;
    };
    folderEdit = edit("folderEdit");
    folderEdit->setPlaceholderText(tr("an empty folder, or one to be made"));
    browseButton = new QPushButton(tr("&Browse..."), this);
    browseButton->setObjectName(QStringLiteral("browseButton"));
    nameEdit = edit("nameEdit");
    customerEdit = edit("customerEdit");
    technicianEdit = edit("technicianEdit");
    portEdit = edit("portEdit", port);
    settingsEdit = edit("settingsEdit", settings);
    settingsEdit->setPlaceholderText(QStringLiteral("9600,E,8,1"));

    auto* form = new QFormLayout;
    auto addRow = [this, form](const QString& label, QWidget* field, QLayout* inner = nullptr) {
        auto* l = new QLabel(label, this);
        l->setBuddy(field);
        field->setAccessibleName(QString(label).remove(u'&').remove(u':'));
        if (inner)
            form->addRow(l, inner);
        else
            form->addRow(l, field);
    };
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folderEdit, 1);
    folderRow->addWidget(browseButton);
    // Wide enough for a path without scrolling it.
    folderEdit->setMinimumWidth(folderEdit->fontMetrics().averageCharWidth() * 48);
    addRow(tr("&Folder:"), folderEdit, folderRow);
    addRow(tr("Site &name:"), nameEdit);
    addRow(tr("&Customer:"), customerEdit);
    addRow(tr("&Technician:"), technicianEdit);
    addRow(tr("Line's &port:"), portEdit);
    addRow(tr("Line's &settings:"), settingsEdit);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setText(tr("&Create"));
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(browseButton, &QPushButton::clicked, this, [this] {
        const QString chosen =
            QFileDialog::getExistingDirectory(this, tr("Folder of the New Site"), folder());
        if (!chosen.isEmpty())
            folderEdit->setText(QDir::toNativeSeparators(chosen));
    });
    for (QLineEdit* e : {folderEdit, portEdit})
        connect(e, &QLineEdit::textChanged, this, &NewSiteDialog::check);
    check();
}

void NewSiteDialog::check()
{
    m_ok->setEnabled(!folderEdit->text().trimmed().isEmpty() &&
                     !portEdit->text().trimmed().isEmpty());
}

QString NewSiteDialog::folder() const
{
    return QDir::fromNativeSeparators(folderEdit->text().trimmed());
}

SiteFolder::NewSite NewSiteDialog::site() const
{
    SiteFolder::NewSite s;
    s.name = nameEdit->text().trimmed();
    s.customer = customerEdit->text().trimmed();
    s.technician = technicianEdit->text().trimmed();
    s.port = portEdit->text().trimmed();
    if (const QString settings = settingsEdit->text().trimmed(); !settings.isEmpty())
        s.settings = settings;
    return s;
}
