#!/usr/bin/env bash
# Builds the ADIF converter fuzz target with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, then runs it for a bounded time.
# Usage: run-fuzz.sh SOURCE_DIR WORK_DIR [SECONDS]
# Exit status 77 (skipped) when clang++ or libFuzzer is not there.
set -euo pipefail
src="$1"
work="$2"
seconds="${3:-60}"

clang="$(command -v clang++-14 || command -v clang++ || true)"
if [ -z "$clang" ]; then
    echo "clang++ not found: libFuzzer run skipped (the standalone randomized test still runs)"
    exit 77
fi
mkdir -p "$work/corpus"
read -r -a qt <<<"$(pkg-config --cflags --libs Qt6Core)"

# The log formats only: the transfers and the windows need the serial link and widgets.
codecs=(adifconverter adifrecordreader adifwriter bandtable listlineformatter logexport logrecord logtimestamp
        nativelogfile textblock)
sources=("${codecs[@]/#/$src/src/logbook/}")
sources=("${sources[@]/%/.cpp}" "$src"/src/link/ansitext.cpp "$src"/src/link/payloadcodec.cpp "$src"/src/link/configrecord.cpp)
binary="$work/fuzz_adifconverter"
if ! "$clang" -std=c++20 -O1 -g -fPIC -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
        -DQT_NO_CAST_FROM_ASCII -DQT_NO_CAST_TO_ASCII \
        -DDW_VERSION_MAJOR=4 -DDW_VERSION_MINOR=1 -DDW_VERSION_REVISION=10 \
        -I"$src/src/logbook" -I"$src/src/link" "${qt[@]}" \
        "$src/tests/logbook/fuzz/fuzz_adifconverter.cpp" "${sources[@]}" -o "$binary" 2>"$work/build.log"; then
    if grep -q "libclang_rt.fuzzer\|fuzzer.*not found\|cannot find" "$work/build.log"; then
        cat "$work/build.log"
        echo "libFuzzer runtime missing: skipped"
        exit 77
    fi
    cat "$work/build.log"
    exit 1
fi

# Seeds: small records of the kinds the converter meets.
printf '%s' '<CALL:6>DL1ABC<MODE:2>CW<QSO_DATE:8>19991231<TIME_ON:4>2350<TIME_OFF:4>0010<BAND:3>20M<NAME:4>HANS<EOR>' >"$work/corpus/seed1"
printf 'hdr <EOH>\n<call:4>w1aw<mode:3>ssb<qso_date:8>20240105<time_on:6>120000<freq:6:N>14.070<srx:2>12<eor>\n' >"$work/corpus/seed2"
printf '<COMMENT:120>%0120d<CALL:4>K1AB<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1200<BAND:3>40M<EOR>' 0 >"$work/corpus/seed3"
printf '<NAME:10>Juan Mu\xc3\xb1oz<QTH:5>K\xf6ln<CALL:3>EA1<MODE:2>CW<QSO_DATE:8>20240105<TIME_ON:4>1200<BAND:3>40M<EOR>' >"$work/corpus/seed4"
printf '07444C31414243000000000000000000000000000000000000000000059905790000121020033010121020' >"$work/corpus/seed5"

export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
cd "$work"
"$binary" -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 corpus
