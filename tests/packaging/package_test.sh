#!/bin/sh
# Builds the Debian package from the build tree, unpacks it into a
# temporary root and starts the manager from there.
# Usage: package_test.sh CPACK CPACK_CONFIG
set -eu
cpack=$1
config=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

if ! "$cpack" -G DEB -B "$out" --config "$config" >"$out/cpack.log" 2>&1; then
    cat "$out/cpack.log"
    echo "FAIL: cpack did not build the package"
    exit 1
fi
deb=$(ls "$out"/dashwright_*_*.deb)
dpkg-deb -x "$deb" "$out/root"
for f in usr/bin/krv usr/bin/krt usr/lib/dashwright/dashwright-sim usr/share/dashwright/countries.txt usr/share/doc/dashwright/README.md \
         usr/share/icons/hicolor/scalable/apps/org.dashwright.krv.svg usr/share/icons/hicolor/scalable/apps/org.dashwright.krt.svg; do
    [ -e "$out/root/$f" ] || { echo "FAIL: $f missing from $deb"; exit 1; }
done
lintian --fail-on error,warning "$deb" 2>/dev/null || { echo "FAIL: lintian finds faults in $deb"; exit 1; }
appstreamcli validate --no-net "$out"/root/usr/share/metainfo/*.xml || { echo "FAIL: the AppStream metainfo"; exit 1; }
found=$(cd "$out/root/usr/share/applications" && desktop-file-validate org.dashwright.krv.desktop org.dashwright.krt.desktop 2>&1) \
    && [ -z "$found" ] || { echo "$found"; echo "FAIL: the desktop entries"; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q "libqt6widgets6.*qt6-qpa-plugins\|qt6-qpa-plugins.*libqt6widgets6" \
    || { echo "FAIL: Depends lacks Qt: $(dpkg-deb -f "$deb" Depends)"; exit 1; }
HOME="$out/home" QT_QPA_PLATFORM=offscreen "$out/root/usr/bin/krv" --help >"$out/help.txt" 2>&1 \
    && grep -q -- "--port" "$out/help.txt" || { cat "$out/help.txt"; echo "FAIL: the installed krv --help"; exit 1; }

# Started from the installed tree with --demo, the manager finds its simulators in
# ../lib/dashwright, takes the user's data folder and copies the shipped country list into it.
HOME="$out/home" XDG_CONFIG_HOME="$out/home/.config" XDG_DATA_HOME="$out/home/data" QT_QPA_PLATFORM=offscreen \
    "$out/root/usr/bin/krv" --demo >"$out/krv.log" 2>&1 &
krv=$!
copied="$out/home/data/Dashwright/krv/countries.txt"
i=0
while [ ! -s "$copied" ] && [ $i -lt 200 ] && kill -0 $krv 2>/dev/null; do
    sleep 0.1
    i=$((i + 1))
done
kill $krv 2>/dev/null || true
wait $krv 2>/dev/null || true
cmp -s "$copied" "$out/root/usr/share/dashwright/countries.txt" \
    || { cat "$out/krv.log"; echo "FAIL: the installed krv did not copy countries.txt into the user's data folder"; exit 1; }
[ ! -e "$out/root/usr/bin/countries.txt" ] || { echo "FAIL: data written into the program folder"; exit 1; }
grep -q "simulated radio (Elecraft K3) on" "$out/krv.log" || { cat "$out/krv.log"; echo "FAIL: krv --demo found no simulators"; exit 1; }
echo "PASS: $(basename "$deb") installs and its krv runs"
