#pragma once

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The clients a server lets in (setting RemoteAllow): addresses and
// networks ("192.168.1.7", "192.168.1.0/24", "fd00::/8"), separated by
// commas, semicolons or blanks. The wire format has no authentication, so
// an empty list does not mean everybody: it means this computer and the
// local networks (loopback, the private and the link-local ranges).
class RemoteAllowList
{
public:
    // Entries that are no address or network are left out and listed in
    // *invalid.
    static RemoteAllowList parse(const QString &text, QStringList *invalid = nullptr);

    bool allows(const QHostAddress &address) const;
    bool isEmpty() const { return m_networks.isEmpty(); }

    // An address as people write it: an IPv4 client of a dual-stack
    // listener as a.b.c.d, not ::ffff:a.b.c.d.
    static QHostAddress plain(const QHostAddress &address);

private:
    QList<QPair<QHostAddress, int>> m_networks;
};
