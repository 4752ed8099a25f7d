// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Journal.h"

#include <QDir>
#include <QList>

// What a site's journal holds, as a test reads it back: every entry, or those
// of one kind.
inline QList<JournalEntry> journaled(const QString& site)
{
    return Journal::read(QDir(site).filePath(QStringLiteral("journal.jsonl"))).entries;
}

inline QList<JournalEntry> journaled(const QString& site, JournalEntry::Kind kind)
{
    QList<JournalEntry> found;
    for (const JournalEntry& e : journaled(site))
        if (e.kind == kind)
            found << e;
    return found;
}
