#pragma once

#include <QByteArray>

#include <functional>

// Puts the keyer's record stream ("E", "A", "X") back together from the
// chunks a read returns: each record is its 88 characters and a CR, and the
// stream ends with byte 3 (ETX). A chunk may end anywhere in a record; the
// rest waits as pending text for the next chunk.
class RecordAssembler
{
public:
    enum class Feed { More, End, Refused };
    // Takes one record, padded with blanks or cut to 88 characters; false
    // stops the feed (the record could not be kept).
    using Deliver = std::function<bool(QByteArrayView record)>;

    // The log has ended when a chunk begins with ETX or ETX follows the
    // last record's CR. Refused: deliver said no.
    Feed feed(QByteArrayView chunk, const Deliver &deliver);

    QByteArrayView pending() const { return m_pending; }

private:
    QByteArray m_pending;
};
