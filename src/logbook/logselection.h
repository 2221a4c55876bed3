#pragma once

#include "logrecord.h"

// Which records an ADIF or list export takes: contest records when the
// keyer is in contest mode, else the others; with "only current user" just
// the records of the active user.
struct LogSelection
{
    bool contest = false;
    bool onlyActiveUser = false;
    bool activeUser2 = false;

    bool selects(const LogRecord &record) const
    {
        if (record.isContest() != contest)
            return false;
        return !onlyActiveUser || record.isUser2() == activeUser2;
    }
};
