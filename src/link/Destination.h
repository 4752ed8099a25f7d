// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether a file can be written where the user named it, found out before
// anything is asked of a drive: a test run or a survey must not be the first
// to learn that its result has nowhere to go. Only a regular file, or a name
// not yet taken in a folder that takes new files, will do. A device, a named
// pipe or a folder is refused: a file saved whole is written beside the name
// and put in its place, which would replace /dev/null with a file.
// Empty when fine, else why not, naming the file or its folder.
QString destinationProblem(const QString& path);

// The same for a folder that files are to be written into; one that is not
// there yet is made.
QString folderDestinationProblem(const QString& folder);

class QSaveFile;
// Commits a file saved whole, its last bytes flushed first: a commit alone
// lets a flush that failed on a full disk pass, and puts an empty file in
// the old one's place. Empty when done, else why not (the old file stays).
QString commitWhole(QSaveFile& file);
// The bytes saved whole in the named regular file; empty, or why not.
QString saveWhole(const QString& path, const QByteArray& bytes);
