#include "remoteallowlist.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

RemoteAllowList RemoteAllowList::parse(const QString &text, QStringList *invalid)
{
    RemoteAllowList list;
    static const QRegularExpression separators(u"[,;\\s]+"_s);
    for (const QString &entry : text.split(separators, Qt::SkipEmptyParts)) {
        QPair<QHostAddress, int> network = entry.contains(u'/') ? QHostAddress::parseSubnet(entry)
                                                                 : QPair<QHostAddress, int>(QHostAddress(entry), -1);
        if (network.first.isNull()) {
            if (invalid)
                invalid->append(entry);
            continue;
        }
        network.first = plain(network.first);
        if (network.second < 0)
            network.second = network.first.protocol() == QAbstractSocket::IPv4Protocol ? 32 : 128;
        list.m_networks.append(network);
    }
    return list;
}

QHostAddress RemoteAllowList::plain(const QHostAddress &address)
{
    bool mapped = false;
    const quint32 v4 = address.toIPv4Address(&mapped);
    return mapped ? QHostAddress(v4) : address;
}

bool RemoteAllowList::allows(const QHostAddress &address) const
{
    const QHostAddress peer = plain(address);
    if (m_networks.isEmpty()) {
        static const QList<QPair<QHostAddress, int>> local = {
            QHostAddress::parseSubnet(u"10.0.0.0/8"_s),     QHostAddress::parseSubnet(u"172.16.0.0/12"_s),
            QHostAddress::parseSubnet(u"192.168.0.0/16"_s), QHostAddress::parseSubnet(u"169.254.0.0/16"_s),
            QHostAddress::parseSubnet(u"fc00::/7"_s),       QHostAddress::parseSubnet(u"fe80::/10"_s),
        };
        if (peer.isLoopback())
            return true;
        for (const auto &network : local) {
            if (peer.isInSubnet(network))
                return true;
        }
        return false;
    }
    for (const auto &network : m_networks) {
        if (peer.isInSubnet(network))
            return true;
    }
    return false;
}
