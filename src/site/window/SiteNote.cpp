// SPDX-License-Identifier: GPL-3.0-or-later
#include "SiteNote.h"

#include "SiteFolder.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

SiteNote::SiteNote(QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("SiteNote"));
    setAccessibleName(tr("Site"));
    setWordWrap(true);
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard |
                            Qt::TextSelectableByMouse);
    openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    connect(this, &QLabel::linkActivated, this, [this] { openFolder(); });
    hide();
}

namespace {

QString link(const QString& folder)
{
    return QCoreApplication::translate("SiteNote", " <a href=\"%1\">Open the folder</a>")
        .arg(QUrl::fromLocalFile(folder).toString().toHtmlEscaped());
}

} // namespace

void SiteNote::setSite(const SiteFolder* site)
{
    m_site = site;
    m_journalFailed = false;
    if (!site) {
        m_siteName.clear();
        m_folder.clear();
        clear();
        hide();
        return;
    }
    m_siteName =
        site->site().name.isEmpty() ? QFileInfo(site->root()).fileName() : site->site().name;
    m_folder = site->root();
    setText(
        tr("Saving into the site %1 (%2).")
            .arg(m_siteName.toHtmlEscaped(), QDir::toNativeSeparators(m_folder).toHtmlEscaped()) +
        link(m_folder));
    show();
}

void SiteNote::saved(const QString& path)
{
    m_folder = QFileInfo(path).absolutePath();
    // A journal that failed stays said: the next save must not hide it.
    setText((m_journalFailed ? tr("<b>The site's journal could not be written.</b> ") : QString()) +
            tr("Saved into the site %1: %2.")
                .arg(m_siteName.toHtmlEscaped(), QDir::toNativeSeparators(path).toHtmlEscaped()) +
            link(m_folder));
    show();
}

bool SiteNote::record(const JournalEntry& entry)
{
    if (!m_site)
        return false;
    return journaled(m_site->record(entry));
}

bool SiteNote::journaled(const QString& error)
{
    if (!m_site)
        return false;
    if (error.isEmpty())
        return true;
    if (!m_journalFailed) {
        m_journalFailed = true;
        setText(tr("<b>Warning:</b> the site's journal could not be written (%1): what is sent "
                   "from here is not recorded.")
                    .arg(error.toHtmlEscaped()) +
                link(m_site->root()));
        show();
    }
    return false;
}

bool SiteNote::openFolder()
{
    return !m_folder.isEmpty() && openUrl && openUrl(QUrl::fromLocalFile(m_folder));
}
