// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamSetFile.h"

#include "BoundedRead.h"
#include "Destination.h"
#include "Hexedit.h"
#include "NumberText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryFile>
#include <cmath>

namespace {

const QStringList kHeader = {QStringLiteral("Parameter"),  QStringLiteral("Name"),
                             QStringLiteral("Value"),      QStringLiteral("Raw"),
                             QStringLiteral("Resolution"), QStringLiteral("Minimum"),
                             QStringLiteral("Maximum"),    QStringLiteral("Default")};
const QString kReserve = QStringLiteral("Reserve");
const QString kNoAnswer = QStringLiteral("no answer");
const QString kRefused = QStringLiteral("refused");
// A whole drive's set is some 15 kB; a file a thousand times that is no
// parameter set, and reading on would only risk the memory (a name can lead
// to /dev/zero or a pipe that never ends).
constexpr qint64 kLargestFile = 4 * 1024 * 1024;

QString quoted(const QString& field)
{
    if (!field.contains(u',') && !field.contains(u'"') && !field.contains(u'\n') &&
        !field.contains(u'\r') && field.trimmed() == field)
        return field;
    QString text = field;
    text.replace(u'"', QStringLiteral("\"\""));
    return u'"' + text + u'"';
}

void appendRow(QString& out, const QStringList& fields)
{
    QStringList cells;
    for (const QString& f : fields)
        cells << quoted(f);
    out += cells.join(u',') + QStringLiteral("\r\n");
}

QStringList metaRow(const QString& key, const QString& value)
{
    QStringList row{u'#' + key, value};
    while (row.size() < kHeader.size())
        row << QString();
    return row;
}

struct Record
{
    int line = 0;
    QStringList fields;
};

// RFC 4180 records; a quoted field may hold commas, quotes and line breaks.
// Returns an error text for a quote left open.
QString splitRecords(const QString& text, QList<Record>& records, int& errorLine)
{
    Record current{1, {}};
    QString field;
    bool inQuotes = false;
    bool fieldWasQuoted = false;
    int line = 1;
    int quoteLine = 0;
    auto endField = [&] {
        current.fields << field;
        field.clear();
        fieldWasQuoted = false;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty() && !fieldWasQuoted) {
            inQuotes = true;
            fieldWasQuoted = true;
            quoteLine = line;
        } else if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endField();
            records.append(current);
            current = Record{++line, {}};
        } else {
            field += c;
        }
    }
    if (inQuotes) {
        errorLine = quoteLine;
        return QStringLiteral("a quoted field is not closed (the file may be cut short)");
    }
    if (!field.isEmpty() || !current.fields.isEmpty()) {
        endField();
        records.append(current);
    }
    return QString();
}

ParamSetFile::LoadResult failure(int line, const QString& error)
{
    return {std::nullopt, line, error};
}

} // namespace

namespace ParamSetFile {

QByteArray ToCsv(const ParamSet& set)
{
    QString out;
    appendRow(out, kHeader);
    appendRow(out,
              metaRow(QStringLiteral("Program"),
                      QStringLiteral("vfdtool ") +
                          (set.programVersion.isEmpty() ? ProgramVersion() : set.programVersion)));
    appendRow(out, metaRow(QStringLiteral("Drive address"), QString::number(set.address)));
    appendRow(
        out, metaRow(QStringLiteral("Read at"),
                     set.readAt.toOffsetFromUtc(set.readAt.offsetFromUtc()).toString(Qt::ISODate)));
    appendRow(out, metaRow(QStringLiteral("Parameters"), QString::number(set.values.size())));
    for (auto it = set.values.cbegin(); it != set.values.cend(); ++it) {
        const quint16 reg = it.key();
        QString value;
        QString raw;
        switch (it->state) {
        case ParamValue::State::Value:
            value = ParamCatalogue::shown(reg, it->raw);
            raw = QString::number(it->raw);
            break;
        case ParamValue::State::Reserved:
            value = kReserve;
            break;
        case ParamValue::State::NoAnswer:
            value = kNoAnswer;
            break;
        case ParamValue::State::Refused:
            value = kRefused;
            break;
        }
        appendRow(out, {ParamCatalogue::number(reg), ParamCatalogue::name(reg), value, raw,
                        ParamCatalogue::resolution(reg), ParamCatalogue::minimumText(reg),
                        ParamCatalogue::maximumText(reg), ParamCatalogue::defaultText(reg)});
    }
    return out.toUtf8();
}

QString Save(const ParamSet& set, const QString& path)
{
    // Saving whole puts a new file in the name's place: never that of a device.
    if (const std::optional<QString> kind = notAFile(path))
        return QStringLiteral("%1 is %2, not a file").arg(path, *kind);
    QSaveFile file(path);
    const QByteArray bytes = ToCsv(set);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    // A full disk shows up in the write, the flush or the commit; whichever
    // it is, the old file is left alone.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString DestinationProblem(const QString& path)
{
    return destinationProblem(path);
}

std::optional<int> AnsweredInFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    const LoadResult loaded = Load(path);
    if (!loaded.set)
        return std::nullopt;
    return loaded.set->answered();
}

LoadResult Load(const QString& path)
{
    const QString tooLarge =
        QStringLiteral("the file is far too large for a parameter set (more than %1 MiB)")
            .arg(kLargestFile / (1024 * 1024));
    // Only a regular file is opened: a named pipe with no writer would wait
    // for ever, and a device or a pipe never says how much is coming.
    const BoundedRead read = readFileAtMost(path, kLargestFile);
    if (read.outcome == BoundedRead::Outcome::TooLarge)
        return failure(0, tooLarge);
    if (read.outcome != BoundedRead::Outcome::Read)
        return failure(0, read.error);
    return FromCsv(read.bytes);
}

LoadResult FromCsv(const QByteArray& input)
{
    QByteArray bytes = input;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3); // the mark some spreadsheets put in front of UTF-8
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return failure(1, QStringLiteral("the file is in UTF-16; save it as UTF-8 CSV"));
    // Find the first line that is not UTF-8, to name it.
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringDecoder decoder(QStringDecoder::Utf8);
        const QString decoded = decoder.decode(lines[i]);
        if (decoder.hasError() || lines[i].contains('\0'))
            return failure(int(i + 1), QStringLiteral("the text is not UTF-8 (another encoding?); "
                                                      "save it as UTF-8 CSV"));
    }
    QList<Record> records;
    int errorLine = 0;
    if (const QString error = splitRecords(QString::fromUtf8(bytes), records, errorLine);
        !error.isEmpty())
        return failure(errorLine, error);
    if (records.isEmpty())
        return failure(1, QStringLiteral("the file is empty"));
    if (records.first().fields.mid(0, kHeader.size()) != kHeader)
        return failure(1, QStringLiteral("the header row is not \"%1\"").arg(kHeader.join(u',')));

    ParamSet set;
    std::optional<int> announced;
    for (const Record& r : records.mid(1)) {
        const QStringList& f = r.fields;
        if (f.size() == 1 && f.first().trimmed().isEmpty())
            continue; // a blank line
        if (f.size() < kHeader.size())
            return failure(r.line, QStringLiteral("%1 fields where %2 are needed (cut short?)")
                                       .arg(f.size())
                                       .arg(kHeader.size()));
        const QString key = f[0].trimmed();
        if (key.startsWith(u'#')) {
            const QString what = key.mid(1);
            const QString value = f[1].trimmed();
            if (what == u"Program") {
                set.programVersion = value.section(u' ', 1);
            } else if (what == u"Drive address") {
                bool ok = false;
                const int address = value.toInt(&ok);
                if (!ok || address < 0 || address > 31)
                    return failure(r.line,
                                   QStringLiteral("drive address \"%1\" is not 0..31").arg(value));
                set.address = quint8(address);
            } else if (what == u"Read at") {
                set.readAt = QDateTime::fromString(value, Qt::ISODate);
                if (!value.isEmpty() && !set.readAt.isValid())
                    return failure(r.line, QStringLiteral("\"%1\" is no ISO 8601 time").arg(value));
            } else if (what == u"Parameters") {
                bool ok = false;
                announced = value.toInt(&ok);
                if (!ok)
                    return failure(r.line, QStringLiteral("\"%1\" is no count").arg(value));
            }
            continue;
        }
        const std::optional<quint16> reg = ParamCatalogue::registerOf(key);
        if (!reg)
            return failure(r.line, QStringLiteral("unknown parameter \"%1\"").arg(key));
        if (set.values.contains(*reg))
            return failure(r.line, QStringLiteral("%1 is listed twice").arg(key));
        const QString valueText = f[2].trimmed();
        const QString rawText = f[3].trimmed();
        if (ParamCatalogue::reserved(*reg)) {
            set.values.insert(*reg, {ParamValue::State::Reserved, 0});
            continue;
        }
        if (rawText.isEmpty() && (valueText == kNoAnswer || valueText == kRefused)) {
            set.values.insert(*reg, {valueText == kNoAnswer ? ParamValue::State::NoAnswer
                                                            : ParamValue::State::Refused,
                                     0});
            continue;
        }
        const std::optional<quint16> fromValue =
            Hexedit::ParameterRaw(valueText, ParamCatalogue::scale(*reg));
        std::optional<quint16> raw;
        if (!rawText.isEmpty()) {
            bool ok = false;
            const uint number = rawText.toUInt(&ok);
            if (!ok || number > 0xFFFF)
                return failure(
                    r.line,
                    QStringLiteral("%1: raw value \"%2\" is not 0..65535").arg(key, rawText));
            raw = quint16(number);
            // Someone changed one column in a spreadsheet and not the other:
            // which was meant cannot be told.
            if (!valueText.isEmpty() && fromValue != raw)
                return failure(r.line, QStringLiteral("%1: value \"%2\" and raw value %3 disagree; "
                                                      "change one and empty the other")
                                           .arg(key, valueText, rawText));
        } else {
            QString problem;
            raw = ParamCatalogue::rawOf(*reg, valueText, &problem);
            if (!raw)
                return failure(r.line, key + QStringLiteral(": ") + problem);
        }
        if (!ParamCatalogue::withinLimits(*reg, *raw))
            return failure(r.line, QStringLiteral("%1: value %2 lies outside %3 .. %4")
                                       .arg(key, ParamCatalogue::shown(*reg, *raw),
                                            ParamCatalogue::minimumText(*reg),
                                            ParamCatalogue::maximumText(*reg)));
        set.values.insert(*reg, {ParamValue::State::Value, *raw});
    }
    if (announced && *announced != set.values.size())
        return failure(records.last().line,
                       QStringLiteral("the file announces %1 parameters but holds %2 (cut short?)")
                           .arg(*announced)
                           .arg(set.values.size()));
    if (set.values.isEmpty())
        return failure(records.last().line, QStringLiteral("the file holds no parameters"));
    return {set, 0, QString()};
}

} // namespace ParamSetFile
