#include "trainerconfig.h"

#include "payloadcodec.h"

#include <QFile>
#include <QSaveFile>

namespace TrainerBlock {

namespace {

bool isHex(QByteArrayView text)
{
    for (char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

} // namespace

bool parse(QByteArrayView block, TrainerConfig *config)
{
    if (block.size() < Length || !isHex(block.first(Length)))
        return false;
    for (int i = 0; i < TrainerConfig::ByteCount; ++i)
        config->bytes[i] = quint8(PayloadCodec::fromHex8(block.sliced(2 * i, 2)));
    config->flags = PayloadCodec::fromHex16(block.sliced(2 * TrainerConfig::ByteCount, 4));
    return true;
}

QByteArray build(const TrainerConfig &config)
{
    QByteArray block;
    block.reserve(Length);
    for (quint8 byte : config.bytes)
        block += PayloadCodec::Hex8(byte);
    block += PayloadCodec::Hex16(config.flags);
    return block;
}

int keyerMode(quint16 flags)
{
    const int mode = (flags & TrainerFlag::KeyerModeMask) >> 8;
    return mode > 6 ? 0 : mode;
}

quint16 withKeyerMode(quint16 flags, int mode)
{
    return quint16((flags & ~TrainerFlag::KeyerModeMask) | ((qBound(0, mode, 6) << 8) & TrainerFlag::KeyerModeMask));
}

QByteArray toFileBytes(const TrainerConfig &config)
{
    QByteArray bytes = config.firmwareVersion.leftJustified(2, ' ', true);
    bytes += build(config);
    bytes += char(config.charSpeed);
    bytes += char(config.wordSpeed);
    return bytes;
}

bool fromFileBytes(QByteArrayView bytes, TrainerConfig *config)
{
    TrainerConfig read = *config;
    if (bytes.size() < FileLength || !parse(bytes.sliced(2, Length), &read))
        return false;
    read.firmwareVersion = bytes.first(2).toByteArray();
    read.charSpeed = quint8(bytes.at(2 + Length));
    read.wordSpeed = quint8(bytes.at(3 + Length));
    *config = read;
    return true;
}

QString saveFile(const QString &path, const TrainerConfig &config)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    file.write(toFileBytes(config));
    if (!file.commit())
        return file.errorString();
    return {};
}

bool loadFile(const QString &path, TrainerConfig *config)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && fromFileBytes(file.read(FileLength), config);
}

} // namespace TrainerBlock
