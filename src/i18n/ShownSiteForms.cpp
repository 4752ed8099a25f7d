// SPDX-License-Identifier: GPL-3.0-or-later
#include "ShownText.h"

#include <QtGlobal>

// As ShownForms.cpp, for the site's status table and files, the scan's table
// and the log of vfdctl serve.

namespace {

constexpr ShownText::Form kForms[] = {
    // The site's status table.
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "not readable")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "not read")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "no answer")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "ready")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "run reverse")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "run forward")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "stop")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "run reverse, fault: %1")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "run forward, fault: %1")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "stop, fault: %1")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "no reference")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "reference not readable")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "not read since the last write")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "matches")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "%1 differ")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "%1 not answered")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "%1 differ, %2 not answered")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "none")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "fault: %1")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "not ready: %1")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "%1 parameters differ from the reference")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "test run %1")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "passed")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "not completed")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "failed: %1")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Line")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Drive")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Name")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Edition")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Readiness")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "State")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Parameters")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Test run")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Recording")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Report")},
    {"SiteStatus", QT_TRANSLATE_NOOP("SiteStatus", "Attention")},
    // The scan's table.
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Address")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "State")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Direction")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Fault")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Edition")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Note")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Run")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Stop")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "FWD")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "REV")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "Normal")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "refused (exception %1)")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "answers after the time-out")},
    {"LineScan", QT_TRANSLATE_NOOP("LineScan", "answers after the time-out; %1")},
    // The site's file, folder and journal.
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the journal %1 cannot be opened: %2")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the journal %1 cannot be written: %2")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1 takes at most 200 characters")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1 holds a control character")},
    {"SiteFiles",
     QT_TRANSLATE_NOOP("SiteFiles",
                       "reference names a file of the parameter sets folder, without a folder")},
    {"SiteFiles",
     QT_TRANSLATE_NOOP("SiteFiles", "test-hz takes the frequency to run at, such as 50 or 12.5")},
    {"SiteFiles",
     QT_TRANSLATE_NOOP("SiteFiles", "test-for takes a time up to an hour, such as 20s or 1min")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "test-reverse takes yes or no")},
    {"SiteFiles",
     QT_TRANSLATE_NOOP("SiteFiles",
                       "a line's name is one topic level: letters, digits, '_', '.' and '-'")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "parallel takes 1 to %1 drives")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "a drive's name is not empty")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "reference-source takes yes or no")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "\"%1\" is not a setting of [%2]")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "line %1: %2")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "[drive %1 %2] names no line of the site")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "drive %1 is not among the drives of [line %2]")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the name \"%1\" is given on line %2 already")},
    {"SiteFiles",
     QT_TRANSLATE_NOOP("SiteFiles",
                       "reference-source needs the drive's reference (reference = FILE)")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1 has its source drive on line %2 already")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "[line %1] names no port")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "larger than a site's file can be")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1 is no folder")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1 holds no site (no %2)")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1 holds a site already")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the new site's file would not read: %1")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the site has no line")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the site has lines %1: name one")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the site has no line \"%1\"")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "drive %1 is not a drive of line %2")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "\"%1\" names no drive of line %2")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1 cannot be made: %2")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "%1: every name of this second is taken")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the site has no drive %1 on line %2")},
    {"SiteFiles", QT_TRANSLATE_NOOP("SiteFiles", "the site has no line %1")},
    // vfdctl serve's log.
    {"Serve", QT_TRANSLATE_NOOP("Serve", "the queue folder %1 could not be made")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "%1 lines of %2 could not be read and were left out")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "%1 readings of an earlier run wait for the broker")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "the commands sent and drifts found are journaled in %1")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "drifts found are journaled in %1")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "%1; nothing started")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "stopping")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "stopping: the log cannot be written")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "the broker %1:%2 cannot be reached: %3")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "no MQTT client could be made")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "the broker %1:%2 speaks MQTT 3.1.1 only: a command left retained "
                                "is told from a fresh one only by the time it carries")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "the broker %1:%2 refused the connection: %3")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "connected to the broker %1:%2")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "the queue was full: the %1 oldest readings were dropped")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "the connection to the broker was lost (%1); %2 readings wait")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "the queue could not be written: %1")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "%1 readings kept for the next start")},
    {"Serve", QT_TRANSLATE_NOOP(
                  "Serve", "the queue file %1 cannot be written (%2): the readings queued from now "
                           "on are at risk, kept in memory only; trying again every %3 s")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve",
                       "the queue file %1 is written again: the %2 readings waiting are on disk")},
    {"Serve", QT_TRANSLATE_NOOP(
                  "Serve", "the queue file %1 still cannot be written (%2): %3 readings at risk")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: shared with Modbus TCP clients at %2")},
    {"Serve", QT_TRANSLATE_NOOP(
                  "Serve", "line %1: the port %2 cannot be used: %3; trying again every %4 s")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: reading %2")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: drive %2 tripped: %3 %4")},
    {"Serve",
     QT_TRANSLATE_NOOP(
         "Serve",
         "line %1: drift watch: a pass over %2 drives took %3 min (%4 s of the line's time)")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: drift watch: drive %2 is not watched: %3")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: drift watch: drive %2 compared with what it "
                                         "held when first read (%3 parameters)")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: drive %2: %3 %4 (commissioned %5)")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "back at its commissioned value")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "is %1")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "%1: the commands sent from now on wait in memory for it "
                                         "(STOPs still go at once); trying again every %2 s")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "the journal %1 is written again")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "%1 commands sent could not be written into the journal %2")},
    {"Serve",
     QT_TRANSLATE_NOOP(
         "Serve", "line %1: refused a retained command on %2 from %3: a command must be fresh")},
    {"Serve",
     QT_TRANSLATE_NOOP(
         "Serve", "line %1: refused a command from %2 for drive %3: not a drive of this line")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: refused a command from %2 for drive %3: %4")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: drive %2: stop from %3")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "command is fwd, rev or stop")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "hz is a frequency from 0 to 655.35")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "%1 Hz lies above the drive's upper limit (P0.06 = %2 Hz)")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "time is an ISO 8601 time, such as 2024-05-01T12:00:00Z")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve",
                       "sent %1 s ago, longer than the rhythm of %2 s: a command must be fresh")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: drive %2: %3 %4 Hz from %5")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: drive %2: upper limit P0.06 = %3 Hz")},
    {"Serve",
     QT_TRANSLATE_NOOP(
         "Serve",
         "line %1: drive %2: %3 Hz now lies above its upper limit (P0.06 = %4 Hz): stopping it")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: refused a command from %2 for drive %3: its "
                                         "upper limit P0.06 could not be read")},
    {"Serve", QT_TRANSLATE_NOOP("Serve", "line %1: stop of every drive from %2")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "line %1: drive %2: stopped, since nobody will renew its command")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "line %1: drive %2 did not answer its stop, sent %3 times")},
    {"Serve",
     QT_TRANSLATE_NOOP("Serve", "line %1: drive %2: no fresh command within %3 ms: stopping it")},
};

} // namespace

namespace ShownText {

std::span<const Form> siteForms()
{
    return kForms;
}

} // namespace ShownText
