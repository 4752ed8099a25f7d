// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Hexedit.h"

// The far end of an in-memory port answers only what a test injects. A test
// that is not about taking turns on the line lets the answer time-out of each
// request pass the moment it is written, so the next request goes straight out
// instead of waiting for a drive that will never answer.
inline void answerNothing(Hexedit& link)
{
    QObject::connect(&link, &Hexedit::frameSent, &link, [&link] { link.AnswerTimer_Timer(); });
}

// A poll rhythm's worth of time has passed on a manual clock: an answer still
// awaited by now has timed out.
inline void passAnswerTimeout(Hexedit& link)
{
    // A torn answer earns a little more time once; nothing more comes of it.
    for (int guard = 0; guard < 100 && link.AwaitingAnswer(); ++guard)
        link.AnswerTimer_Timer();
}
