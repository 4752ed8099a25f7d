// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"

// The far end of an in-memory port answers only what a test injects. A test
// that is not about taking turns on the line lets the answer time-out of each
// request pass the moment it is written, so the next request goes straight out
// instead of waiting for a drive that will never answer.
// A poll rhythm's worth of time has passed on a manual clock: an answer still
// awaited by now has timed out.
inline void passAnswerTimeout(Hexedit& link)
{
    // The time-out, then the quiet kept for a late answer; a torn answer
    // earns a little more time once; nothing more comes of it.
    for (int guard = 0; guard < 100 && link.AwaitingAnswer(); ++guard)
        link.AnswerTimer_Timer();
}

// The time-out of the frame on the wire passes, with the quiet kept after it,
// and no more: the next waiting frame goes out and is left awaiting its answer.
inline void passOneTimeout(Hexedit& link)
{
    bool next = false;
    const QMetaObject::Connection sent =
        QObject::connect(&link, &Hexedit::frameSent, [&next] { next = true; });
    for (int guard = 0; guard < 100 && link.AwaitingAnswer() && !next; ++guard)
        link.AnswerTimer_Timer();
    QObject::disconnect(sent);
}

inline void answerNothing(Hexedit& link)
{
    QObject::connect(&link, &Hexedit::frameSent, &link, [&link] { passAnswerTimeout(link); });
}
