// Fuzz target for the ADIF converter and the log record decoder. Built by
// run-fuzz.sh with clang's libFuzzer and sanitizers; built with
// DW_FUZZ_STANDALONE it drives itself with random and mutated inputs for a
// given number of seconds, for machines without clang.

#include "adifconverter.h"
#include "adifwriter.h"
#include "listlineformatter.h"
#include "logrecord.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace {

void exerciseRecord(QByteArrayView line)
{
    const auto record = LogRecord::decode(line);
    if (!record)
        return;
    // Encoding gives the same record back, and 88 characters.
    const QByteArray encoded = record->encode();
    if (encoded.size() != LogRecord::Length || LogRecord::decode(encoded) != record)
        std::abort();
    AdifWriter::recordLines(*record, {});
    for (bool contest : {false, true}) {
        const QByteArray listed = ListLineFormatter::formatLine(*record, {contest, false, false});
        if (!listed.isEmpty() && listed.size() != (contest ? 95 : 84))
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    exerciseRecord(input);

    AdifImportOptions options;
    const uchar choice = size > 0 ? data[0] : 0;
    options.contest = choice & 1;
    options.reverse = choice & 2;
    options.user2Default = choice & 4;
    options.call1 = QStringLiteral("W1AW");
    QBuffer in;
    in.setData(input);
    in.open(QIODevice::ReadOnly);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    const AdifImportResult result = AdifConverter(options).convert(&in, &out);
    if (out.data().size() != result.converted * 90)
        std::abort();
    // Every converted record decodes and survives the exports.
    for (qsizetype i = 0; i < out.data().size(); i += 90)
        exerciseRecord(QByteArrayView(out.data()).sliced(i, 88));
    return 0;
}

#ifdef DW_FUZZ_STANDALONE
#include <QElapsedTimer>
#include <QRandomGenerator>

#include <cstdio>

int main(int argc, char *argv[])
{
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 20;
    static const char *const pieces[] = {
        "<CALL:6>DL1ABC", "<MODE:2>CW", "<MODE:3>SSB", "<QSO_DATE:8>19991231", "<QSO_DATE:8>20240105",
        "<TIME_ON:4>2350", "<TIME_OFF:4>0010", "<BAND:3>20M", "<FREQ:6>14.070", "<SRX:3>001",
        "<STX:2>12", "<NAME:10>Juan Mu\xC3\xB1oz", "<QTH:5>K\xF6ln", "<COMMENT:120>", "<EOR>", "<EOH>",
        "<eor>", "<", ">", ":", "<QSL_VIA:4>BURO", "<NOTES:9>DUPLICATE", "\r\n", "<RST_SENT:3>5NN",
        "<STATION_CALLSIGN:4>W1AW", "<OPERATOR:0>", "<CALL:99999999999>", "<freq:6:N>", "\xEF\xBB\xBF",
    };
    QRandomGenerator random(QRandomGenerator::global()->generate());
    QElapsedTimer clock;
    clock.start();
    qint64 runs = 0;
    while (clock.elapsed() < seconds * 1000) {
        QByteArray input;
        const int parts = random.bounded(1, 60);
        for (int i = 0; i < parts; ++i) {
            if (random.bounded(4) == 0) {
                QByteArray noise(random.bounded(1, 40), Qt::Uninitialized);
                for (char &c : noise)
                    c = char(random.bounded(256));
                input += noise;
            } else {
                input += pieces[random.bounded(int(std::size(pieces)))];
            }
        }
        // Flip a few bytes of the assembled text.
        for (int flips = random.bounded(4); flips > 0 && !input.isEmpty(); --flips)
            input[random.bounded(int(input.size()))] = char(random.bounded(256));
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(input.constData()), size_t(input.size()));
        ++runs;
    }
    std::printf("%lld inputs in %d s without a fault\n", runs, seconds);
    return 0;
}
#endif
