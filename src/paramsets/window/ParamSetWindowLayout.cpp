// SPDX-License-Identifier: GPL-3.0-or-later
// The Drive Parameters window's controls and their layout.
#include "ParamSetWindow.h"
#include "SiteNote.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

template <class W> W* named(W* widget, const char* name, const QString& accessible = QString())
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessible.isEmpty() ? QString::fromLatin1(name) : accessible);
    return widget;
}

QSpinBox* addressBox(const char* name, const QString& label)
{
    auto* box = named(new QSpinBox, name, label);
    box->setRange(1, 31);
    return box;
}

} // namespace

void ParamSetWindow::build()
{
    auto* setA = new QGroupBox(tr("Set A (source)"));
    auto* rowA = new QHBoxLayout(setA);
    auto* labelA = new QLabel(tr("Drive address"));
    AddressA = addressBox("AddressA", labelA->text());
    labelA->setBuddy(AddressA);
    ReadA = named(new QPushButton(tr("Read Drive")), "ReadA", tr("Read Drive"));
    OpenA = named(new QPushButton(tr("Open File...")), "OpenA", tr("Open File..."));
    SaveA = named(new QPushButton(tr("Save File...")), "SaveA", tr("Save File..."));
    OriginA = named(new QLabel(tr("nothing read yet")), "OriginA", tr("Set A"));
    for (QWidget* w : std::initializer_list<QWidget*>{labelA, AddressA, ReadA, OpenA, SaveA})
        rowA->addWidget(w);
    rowA->addWidget(OriginA, 1);

    auto* setB = new QGroupBox(tr("Set B (compare with, restore to)"));
    auto* rowB = new QHBoxLayout(setB);
    auto* labelB = new QLabel(tr("Drive address"));
    AddressB = addressBox("AddressB", labelB->text());
    labelB->setBuddy(AddressB);
    ReadB = named(new QPushButton(tr("Read Drive")), "ReadB", tr("Read Drive"));
    OpenB = named(new QPushButton(tr("Open File...")), "OpenB", tr("Open File..."));
    DefaultsB = named(new QPushButton(tr("Defaults")), "DefaultsB", tr("Defaults"));
    OriginB = named(new QLabel(tr("nothing read yet")), "OriginB", tr("Set B"));
    for (QWidget* w : std::initializer_list<QWidget*>{labelB, AddressB, ReadB, OpenB, DefaultsB})
        rowB->addWidget(w);
    rowB->addWidget(OriginB, 1);

    DifferencesOnly =
        named(new QCheckBox(tr("Differences only")), "DifferencesOnly", tr("Differences only"));
    DifferencesOnly->setChecked(true);
    Differences = named(new QTableWidget(0, 6), "Differences", tr("Differences"));
    Differences->setHorizontalHeaderLabels(
        {tr("Write"), tr("Parameter"), tr("Name"), tr("A"), tr("B"), tr("Unit")});
    Differences->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    Differences->verticalHeader()->hide();
    Differences->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Differences->setSelectionBehavior(QAbstractItemView::SelectRows);
    Restore = named(new QPushButton(tr("Write Ticked to Drive B")), "Restore",
                    tr("Write Ticked to Drive B"));

    auto* clone = new QGroupBox(tr("Clone set A"));
    auto* cloneRow = new QHBoxLayout(clone);
    auto* targetsLabel = new QLabel(tr("Target drives"));
    CloneTargets = named(new QLineEdit, "CloneTargets", targetsLabel->text());
    CloneTargets->setPlaceholderText(QStringLiteral("2,3,4"));
    targetsLabel->setBuddy(CloneTargets);
    IncludeAddress = named(new QCheckBox(tr("Include P8.00 (address)")), "IncludeAddress",
                           tr("Include P8.00 (address)"));
    IncludeLine = named(new QCheckBox(tr("Include P8.01 (line settings)")), "IncludeLine",
                        tr("Include P8.01 (line settings)"));
    ClonePreview = named(new QPushButton(tr("Preview")), "ClonePreview", tr("Preview"));
    CloneApply = named(new QPushButton(tr("Clone")), "CloneApply", tr("Clone"));
    cloneRow->addWidget(targetsLabel);
    cloneRow->addWidget(CloneTargets, 1);
    for (QWidget* w :
         std::initializer_list<QWidget*>{IncludeAddress, IncludeLine, ClonePreview, CloneApply})
        cloneRow->addWidget(w);

    Progress = named(new QProgressBar, "Progress", tr("Progress"));
    Cancel = named(new QPushButton(tr("Cancel")), "Cancel", tr("Cancel"));
    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(Progress, 1);
    progressRow->addWidget(Cancel);
    Report = named(new QPlainTextEdit, "Report", tr("Report"));
    Report->setReadOnly(true);
    Report->setMaximumBlockCount(2000);

    WriteLock = named(new QLabel, "WriteLock", tr("Parameter writing"));
    auto* tableRow = new QHBoxLayout;
    tableRow->addWidget(DifferencesOnly);
    tableRow->addStretch(1);
    tableRow->addWidget(WriteLock);
    tableRow->addWidget(Restore);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(setA);
    layout->addWidget(setB);
    layout->addLayout(tableRow);
    layout->addWidget(Differences, 3);
    layout->addWidget(clone);
    layout->addLayout(progressRow);
    layout->addWidget(Report, 1);
    siteNote = new SiteNote(this);
    layout->addWidget(siteNote);
    AddressB->setValue(1);
    resize(820, 640);

    connect(ReadA, &QPushButton::clicked, this, &ParamSetWindow::ReadA_Click);
    connect(OpenA, &QPushButton::clicked, this, &ParamSetWindow::OpenA_Click);
    connect(SaveA, &QPushButton::clicked, this, &ParamSetWindow::SaveA_Click);
    connect(ReadB, &QPushButton::clicked, this, &ParamSetWindow::ReadB_Click);
    connect(OpenB, &QPushButton::clicked, this, &ParamSetWindow::OpenB_Click);
    connect(DefaultsB, &QPushButton::clicked, this, &ParamSetWindow::DefaultsB_Click);
    connect(DifferencesOnly, &QCheckBox::toggled, this, &ParamSetWindow::DifferencesOnly_Click);
    connect(Restore, &QPushButton::clicked, this, &ParamSetWindow::Restore_Click);
    connect(ClonePreview, &QPushButton::clicked, this, &ParamSetWindow::ClonePreview_Click);
    connect(CloneApply, &QPushButton::clicked, this, &ParamSetWindow::CloneApply_Click);
    connect(Cancel, &QPushButton::clicked, this, &ParamSetWindow::Cancel_Click);
}
