#!/bin/sh
# Makes the removal sound: a short paper crumple (about 0.7 s) from sox noise.
# The crumple is a soft rustle under a series of sharp crackles of varying
# pitch and loudness; -R keeps the noise the same on every build.
#   empty_trash.sh OUTPUT.wav
set -eu
out=$1
sox=${SOX:-sox}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

rate=44100
gen() { "$sox" -R -n -r $rate -c 1 -b 16 "$@"; }

# The rustle.
gen "$tmp/body.wav" synth 0.68 pinknoise highpass 900 lowpass 6000 \
    fade h 0.03 0.68 0.22 tremolo 23 60 gain -16

# Crackles: start offset, length, band centre (Hz), level (dB).
parts="$tmp/body.wav"
i=0
while read -r at len centre level; do
  i=$((i + 1))
  gen "$tmp/c$i.wav" synth "$len" whitenoise sinc -n 64 "$((centre / 2))-$((centre * 2))" \
      fade q 0.002 "$len" "$(echo "$len" | awk '{ print $1 * 0.7 }')" gain "$level" pad "$at"
  parts="$parts $tmp/c$i.wav"
done <<'LIST'
0.000 0.030 2400 -4
0.035 0.018 3800 -9
0.060 0.045 1800 -2
0.110 0.020 4200 -8
0.140 0.035 2600 -5
0.190 0.015 5000 -11
0.215 0.050 2000 -3
0.280 0.022 3400 -7
0.310 0.040 2200 -4
0.365 0.018 4600 -10
0.395 0.032 2800 -6
0.450 0.020 3600 -9
0.480 0.045 1900 -7
0.540 0.016 4400 -13
0.570 0.028 2500 -11
LIST

# -m would scale each input down by the count; the final norm sets the level.
inputs=""
for p in $parts; do inputs="$inputs -v 1 $p"; done
# shellcheck disable=SC2086
"$sox" -R -m $inputs -b 16 "$out" norm -3
