// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ParamSet.h"

#include <QString>
#include <optional>

// Parameter-set files: CSV (RFC 4180, UTF-8) that a spreadsheet opens and a
// diff reads. A header row, then "#" rows with what produced the file, then
// one parameter per row:
//
//   Parameter,Name,Value,Raw,Resolution,Minimum,Maximum,Default
//   #Program,vfdtool 1.0.0,,,,,,
//   #Drive address,1,,,,,,
//   #Read at,2024-05-01T10:00:00+02:00,,,,,,
//   #Parameters,185,,,,,,
//   P0.00,control model setting,1,1,1,0,1,1
//
// The raw column is what the drive holds; it is exact. A hand-edited file
// may leave it empty and give the value alone.
namespace ParamSetFile {

// Saves atomically: the old file stays as it was unless everything was
// written. Returns an error text, empty on success.
QString Save(const ParamSet& set, const QString& path);
QByteArray ToCsv(const ParamSet& set);
// Why nothing could be saved at path (no such folder, a file where the folder
// should be, a folder that takes no files, path itself a folder); empty when
// a file can be saved there. Cheap: asked before a drive is read.
QString DestinationProblem(const QString& path);
// The answered parameters of the set saved at path; nullopt when there is
// none there, or nothing this program reads as a parameter set.
std::optional<int> AnsweredInFile(const QString& path);

struct LoadResult
{
    std::optional<ParamSet> set;
    int line = 0;  // where the problem is (0: the file as a whole)
    QString error; // empty when set holds the parameters
};
LoadResult Load(const QString& path);
LoadResult FromCsv(const QByteArray& bytes);

} // namespace ParamSetFile
