#include "catreply.h"

namespace {

// The digits of a field as a number; -1 when one is no digit or missing.
int digits(QByteArrayView field, qsizetype count)
{
    if (field.size() < count)
        return -1;
    int value = 0;
    for (qsizetype i = 0; i < count; ++i) {
        const char c = field.at(i);
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

CatReply::State CatReply::parse(QByteArrayView text, CatReply *reply)
{
    struct Field
    {
        const char *marker;
        qsizetype width;
        int *value;
    };
    const Field fields[] = {{"BN", 2, &reply->band}, {"MD", 1, &reply->mode}, {"VX", 1, &reply->vox}};
    int values[3];
    bool numeric = true;
    for (int i = 0; i < 3; ++i) {
        const qsizetype at = text.indexOf(QByteArrayView(fields[i].marker));
        if (at < 0)
            return State::Incomplete;
        const qsizetype end = text.indexOf(';', at + 2);
        if (end < 0)
            return State::Incomplete;
        values[i] = digits(text.sliced(at + 2, end - at - 2), fields[i].width);
        numeric = numeric && values[i] >= 0;
    }
    if (!numeric)
        return State::NotNumeric;
    for (int i = 0; i < 3; ++i)
        *fields[i].value = values[i];
    return State::Complete;
}

bool CatReply::isK3Identification(QByteArrayView reply)
{
    return reply.size() >= 4 && reply.startsWith("K3");
}

bool CatReply::isKxOptionReply(QByteArrayView reply)
{
    return reply.startsWith("OM") && (reply.endsWith("01;") || reply.endsWith("02;"));
}

int CatReply::bandPosition(int band)
{
    return band >= 0 && band <= 10 ? 12 - band : -1;
}

int CatReply::modePosition(int mode, bool ssb)
{
    const bool cw = mode == 3 || mode == 7;
    if (cw)
        return ssb ? 0 : -1;
    return ssb ? -1 : 1;
}
