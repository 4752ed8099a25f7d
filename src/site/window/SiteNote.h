// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>
#include <QUrl>
#include <functional>

class SiteFolder;
struct JournalEntry;

// The line a tool window shows while a site is open: which site its files go
// into, and after a save where the file went, with a link that opens its
// folder in the desktop's file manager. Hidden while no site is open, so a
// window without a site looks as it always has.
class SiteNote : public QLabel
{
    Q_OBJECT
public:
    explicit SiteNote(QWidget* parent = nullptr);

    // The site now open (nullptr: none); what was said of an earlier save goes.
    void setSite(const SiteFolder* site);
    // A file saved into the site.
    void saved(const QString& path);
    // The folder the link opens: the last file's, or the site's own.
    QString folder() const { return m_folder; }

    // An entry for the site's journal, written at once. A journal that
    // cannot be written is said here the first time (and not again until the
    // next site): the tool goes on, its files still saved. False: not written.
    bool record(const JournalEntry& entry);
    // The same for entries written elsewhere: error is why they were not
    // (empty: they were). False: not written.
    bool journaled(const QString& error);
    bool journalFailed() const { return m_journalFailed; }

    // How a folder is opened; a test puts its own here.
    std::function<bool(const QUrl&)> openUrl;

public slots:
    bool openFolder();

private:
    const SiteFolder* m_site = nullptr;
    bool m_journalFailed = false;
    QString m_siteName;
    QString m_folder;
};
