// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <optional>

// The catalogue as the parameter-set tools see it: registers (group << 8 |
// index) of every offered parameter, with their texts, scale and limits.
namespace ParamCatalogue {

// Every parameter the drives offer, in catalogue order (185 of them).
const QList<quint16>& offeredRegisters();
int row(quint16 reg); // -1 for a register that is no offered parameter
bool offered(quint16 reg);
bool reserved(quint16 reg);  // no scale: nothing to show, compare or write
QString number(quint16 reg); // "P0.03"
std::optional<quint16> registerOf(const QString& number);
QString name(quint16 reg); // as the catalogue has it, English: files and JSON take this one
// The name in the language the program speaks, for people (CatalogueText.h).
QString displayName(quint16 reg);
QString resolution(quint16 reg);
// The parameter's unit, one spelling each ("0.1S" and "0.1s" -> "s"): from
// its resolution text ("0.01Hz" -> "Hz"), else its default or setting range;
// "" for a plain number.
QString unit(quint16 reg);
// The unit a catalogue text ends in ("10.0S" -> "s", "model setting" -> "").
QString unitOfText(const QString& text);
QString minimumText(quint16 reg);
QString maximumText(quint16 reg);
QString defaultText(quint16 reg);
std::optional<double> scale(quint16 reg);
// The value as shown: raw x scale, "Reserve" for a reserved parameter.
QString shown(quint16 reg, quint16 raw);
// Whether raw x scale lies within the catalogue's minimum and maximum.
bool withinLimits(quint16 reg, quint16 raw);
// The raw value of a value as a user writes it ("12.5"), or why it cannot be
// one: not a number, between two of the parameter's steps, outside its limits.
std::optional<quint16> rawOf(quint16 reg, const QString& text, QString* problem = nullptr);
// The default as a raw value, where the default is a number.
std::optional<quint16> defaultRaw(quint16 reg);
// The default as a drive at its factory settings holds it: defaultRaw brought
// within the parameter's limits (P1.15 "20.00" with a maximum of 10.00 is held
// as 10.00). Every comparison with the defaults goes through this one.
// nullopt where the default is no number (set by the drive model).
std::optional<quint16> defaultAsHeld(quint16 reg);
// Whether the default depends on the drive's model ("model setting"): such a
// parameter has no default to compare with, only the value set on site.
bool modelSetting(quint16 reg);
// Parameters that bound others (frequency limits, base frequency, maximum
// voltage): written before the rest.
bool isLimitParameter(quint16 reg);

} // namespace ParamCatalogue

// One parameter's entry in a set.
struct ParamValue
{
    enum class State
    {
        Value,    // raw holds the drive's value
        Reserved, // a reserved parameter: kept for completeness, never used
        NoAnswer, // the drive did not answer after the retries
        Refused,  // the drive answered with an exception
    };
    State state = State::Value;
    quint16 raw = 0;

    bool hasValue() const { return state == State::Value; }
    bool operator==(const ParamValue&) const = default;
};

// A drive's parameters as read, loaded from a file or taken from the defaults.
struct ParamSet
{
    quint8 address = 0;     // drive read from; 0 when not from a drive
    QDateTime readAt;       // when it was read
    QString programVersion; // what read it
    QString origin;         // "drive 2", a file name, "defaults" (not saved)
    QMap<quint16, ParamValue> values;

    std::optional<quint16> raw(quint16 reg) const;
    // Parameters the drive answered with a value (reserved ones included);
    // the rest it did not answer or refused.
    int answered() const;
    // The catalogue's defaults as a factory-fresh drive holds them, where
    // they are numbers (ParamCatalogue::defaultAsHeld).
    static ParamSet defaults();
};

// This program's version as recorded in the files it writes.
QString ProgramVersion();

// One line of a comparison.
struct ParamDifference
{
    quint16 reg = 0;
    std::optional<quint16> left;
    std::optional<quint16> right;
    bool differs = false;
};

// Every non-reserved parameter both sets carry, in catalogue order; with
// differencesOnly only those that differ (a value on one side only differs).
QList<ParamDifference> CompareSets(const ParamSet& left, const ParamSet& right,
                                   bool differencesOnly = true);
// A value as shown, or a dash for none.
QString ShownOrDash(quint16 reg, const std::optional<quint16>& raw);
