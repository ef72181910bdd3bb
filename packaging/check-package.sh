#!/bin/sh
# Builds the Linux package of the build folder BUILD with cpack and checks its
# listing: the bundle, the helper service and its launch definitions at their
# places on the target system, the two programs executable, everything else a
# plain file nobody but its owner may write, and nothing more (no file of the
# build tree, no test program).
#   check-package.sh BUILD [CPACK]
set -eu
build=$1
cpack=${2:-cpack}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

# The strictest umask a packer may have: no folder may come out closed.
(umask 077 && cd "$build" && "$cpack" -G TGZ -B "$out" >"$out/cpack.log" 2>&1) || { cat "$out/cpack.log"; exit 1; }
set -- "$out"/*.tar.gz
[ $# -eq 1 ] && [ -f "$1" ] || { echo "package: expected one .tar.gz in $out"; ls "$out"; exit 1; }
# "mode owner size date time path"; no path of the package holds a blank.
tar -tvzf "$1" | awk '{ print $1, $6 }' >"$out/listing"

app=Applications/Kestrelsweep.app/Contents
cat >"$out/required" <<LIST
$app/MacOS/Kestrelsweep
$app/Info.plist
$app/Resources/cn.qm
$app/Resources/de.qm
$app/Resources/en.qm
$app/Resources/es.qm
$app/Resources/fr.qm
$app/Resources/it.qm
$app/Resources/jp.qm
$app/Resources/pt.qm
$app/Resources/empty_trash.wav
$app/Resources/Kestrelsweep.icns
usr/local/Kestrelsweep/kestrel-helper
Library/LaunchDaemons/com.vextora.Kestrelsweep.helper.plist
etc/systemd/system/kestrel-helper.service
LIST

fail=0
bad() {
  echo "package: $*"
  fail=1
}
while read -r mode path; do
  case "$mode" in
    d*)
      [ "$mode" = drwxr-xr-x ] || bad "$path is $mode, not drwxr-xr-x"
      awk -v d="$path" 'index($0, d) == 1 { found = 1 } END { exit !found }' "$out/required" ||
        bad "unexpected folder $path"
      continue
      ;;
  esac
  case "$path" in
    "$app/MacOS/Kestrelsweep" | usr/local/Kestrelsweep/kestrel-helper) want=-rwxr-xr-x ;;
    "$app/Resources/"*/*) bad "unexpected $path"; continue ;;
    # Resources may grow; anything else must be named here.
    "$app/Resources/"*.qm | "$app/Resources/"*.wav | "$app/Resources/"*.icns | "$app/Resources/"*.png) want=-rw-r--r-- ;;
    "$app/Info.plist" | Library/LaunchDaemons/com.vextora.Kestrelsweep.helper.plist | \
      etc/systemd/system/kestrel-helper.service) want=-rw-r--r-- ;;
    *) bad "unexpected $path"; continue ;;
  esac
  [ "$mode" = "$want" ] || bad "$path is $mode, not $want"
done <"$out/listing"
while read -r path; do
  awk -v p="$path" '$2 == p { found = 1 } END { exit !found }' "$out/listing" || bad "missing $path"
done <"$out/required"

if [ "$fail" != 0 ]; then
  cat "$out/listing"
  exit 1
fi
echo "package: $(wc -l <"$out/listing") entries as expected"
