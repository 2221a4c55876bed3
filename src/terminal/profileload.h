#pragma once

#include <QByteArray>

class KeyerLink;
class ProfileStore;

// Loading a profile into the keyer: the acknowledged command "L", after a
// pause the profile's records, then the keyer's byte 3 and the stop byte
// that ends the transfer.
class ProfileLoad
{
public:
    enum class Outcome { Loaded, Failed, Cancelled };
    // The number reported with the operation letter "K" when the keyer
    // does not acknowledge the command or does not finish the load.
    static constexpr int ErrorNumber = 2013;

    explicit ProfileLoad(KeyerLink &link) : m_link(link) {}

    // "<" + key + ">" + value + CR for CALL1, CALL2, OPER1, OPER2, NAME1,
    // NAME2, QTH_1, QTH_2, MSG10..MSG19, MSG20..MSG29, MSG30..MSG39, in
    // that order and in the keyer's code page; empty values are left out.
    // A line break or control character inside a value would end or
    // corrupt the record on the wire, so each goes as a blank; a "<" would
    // start a record of its own and is left out.
    static QByteArray records(const ProfileStore &store, int profile);

    // Runs the transfer; the stop byte goes out on every outcome, so a
    // keyer that took the command never stays in the load.
    Outcome run(const QByteArray &records);

private:
    Outcome stop(Outcome outcome);

    KeyerLink &m_link;
};
