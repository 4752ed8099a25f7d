// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CloneJob.h"
#include "ParamJobs.h"
#include "ParamSet.h"

#include <QWidget>
#include <functional>
#include <memory>

class Prompter;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class SiteFolder;
class SiteNote;

// "Drive Parameters": read a whole drive or open a file as set A, compare it
// with a drive, a file or the defaults as set B, save A, write the ticked
// differences of A to drive B, and clone A to a row of drives.
class ParamSetWindow : public QWidget
{
    Q_OBJECT
public:
    ParamSetWindow(LinkClient& client, Prompter& prompter, std::function<bool()> writesAllowed,
                   QWidget* parent = nullptr);
    ~ParamSetWindow() override;

    // The file dialogs; a test puts its own answers here. Empty: cancelled.
    std::function<QString()> chooseOpenFile;
    std::function<QString()> chooseSaveFile;

    // While a site is open (nullptr: none), set A is saved into its parameter
    // sets folder under a name of its own, without a question; line: the
    // site's line the drives are on.
    void setSite(SiteFolder* site, const QString& line);
    // The drives to start from: A reads the first, B the second (or the
    // first again), the clone goes to all but the first.
    void setDrives(const QList<quint8>& drives);

    const ParamSet& setA() const { return m_a; }
    const ParamSet& setB() const { return m_b; }
    bool busy() const;

    QSpinBox* AddressA = nullptr;
    QPushButton* ReadA = nullptr;
    QPushButton* OpenA = nullptr;
    QPushButton* SaveA = nullptr;
    QLabel* OriginA = nullptr;
    QSpinBox* AddressB = nullptr;
    QPushButton* ReadB = nullptr;
    QPushButton* OpenB = nullptr;
    QPushButton* DefaultsB = nullptr;
    QLabel* OriginB = nullptr;
    QCheckBox* DifferencesOnly = nullptr;
    QTableWidget* Differences = nullptr;
    QPushButton* Restore = nullptr;
    // Whether parameter writing is locked, and where the lock opens.
    QLabel* WriteLock = nullptr;
    QLineEdit* CloneTargets = nullptr;
    QCheckBox* IncludeAddress = nullptr;
    QCheckBox* IncludeLine = nullptr;
    QPushButton* ClonePreview = nullptr;
    QPushButton* CloneApply = nullptr;
    QProgressBar* Progress = nullptr;
    QPushButton* Cancel = nullptr;
    QPlainTextEdit* Report = nullptr;
    SiteNote* siteNote = nullptr;

public slots:
    void ReadA_Click();
    void OpenA_Click();
    void SaveA_Click();
    void ReadB_Click();
    void OpenB_Click();
    void DefaultsB_Click();
    void DifferencesOnly_Click();
    void Restore_Click();
    void ClonePreview_Click();
    void CloneApply_Click();
    void Cancel_Click();
    // The lock opened or closed: the window says so at once.
    void showWriteLock();

private:
    void build();
    void readDrive(quint8 address, ParamSet& into, QLabel* origin);
    bool openFile(ParamSet& into, QLabel* origin);
    // Fills the table; say: the report box is told how many differ (once
    // per comparison, not each time the table is shown another way).
    void showComparison(bool say = true);
    QSet<quint16> ticked() const;
    void startJob(const QString& what);
    void endJob();
    void report(const QString& text);
    std::optional<QList<quint8>> cloneTargets();
    // False, said in a box, while writing is locked: asked before any question
    // about writing, so that "Yes" is never answered in vain.
    bool writingOpen();
    // Set A saved into the open site; false (and why, said) when it could not be.
    bool saveIntoSite();
    // What a restore or a clone target wrote, into the open site's journal.
    void journalRestore(const RestoreJob& job, quint8 address, const ParamSet& before);
    void journalCloneTarget(const CloneJob::Target& target);

    SiteFolder* m_site = nullptr;
    QString m_siteLine;

    LinkClient& m_client;
    Prompter& m_prompter;
    std::function<bool()> m_writesAllowed;
    ParamSet m_a;
    ParamSet m_b;
    std::unique_ptr<ReadJob> m_read;
    std::unique_ptr<RestoreJob> m_restore;
    std::unique_ptr<CloneJob> m_clone;
};
