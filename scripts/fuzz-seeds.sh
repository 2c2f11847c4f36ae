#!/usr/bin/env bash
# Makes the seed files of the fuzz targets with real tools: pictures drawn by
# ImageMagick, sounds by sox and oggenc, the example titles compiled by
# VIZud, packs written by nvpack. One folder per kind (see fuzz/seeds.txt).
#   scripts/fuzz-seeds.sh BUILD_DIR OUT_DIR
# BUILD_DIR holds bin/VIZud and bin/nvpack.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "$1" && pwd)/bin
out=$2
rm -rf "$out"
mkdir -p "$out"/{png,jpeg,bmp,gif,pack,title,nvv,nvl,config,expression,wav,ogg,csv}
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Pictures: small, in each of the forms the decoders take apart.
cd "$out/png"
convert -size 16x12 gradient:red-blue -depth 8 rgb.png
convert -size 16x12 xc:none -fill '#ff000080' -draw 'circle 8,6 8,2' -depth 8 PNG32:alpha.png
convert -size 16x12 gradient:white-black -colorspace gray -depth 8 gray.png
convert -size 16x12 plasma:fractal -seed 1 -colors 16 PNG8:palette.png
convert -size 9x7 gradient:green-yellow -depth 16 PNG48:deep.png
convert -size 16x12 gradient:red-blue -interlace PNG -depth 8 interlaced.png
cd "$out/jpeg"
convert -size 16x16 gradient:red-blue -quality 80 baseline.jpg
convert -size 24x16 gradient:yellow-blue -interlace JPEG progressive.jpg
convert -size 16x16 gradient:white-black -colorspace gray gray.jpg
convert -size 17x9 gradient:red-green -sampling-factor 2x2 subsampled.jpg
cd "$out/bmp"
convert -size 16x12 gradient:red-blue -type TrueColor BMP3:rgb24.bmp
convert -size 16x12 xc:none -fill '#00ff0080' -draw 'circle 8,6 8,2' -type TrueColorAlpha BMP:rgba32.bmp
convert -size 16x12 gradient:red-blue -colors 16 -type Palette BMP3:palette.bmp
convert -size 15x5 gradient:white-black -colors 2 -type Bilevel BMP3:mono.bmp
cd "$out/gif"
convert -size 16x12 gradient:red-blue -colors 32 still.gif
convert -size 16x12 xc:none -fill blue -draw 'circle 8,6 8,2' transparent.gif
convert -delay 10 -size 16x12 xc:red xc:blue -loop 0 animated.gif

# Sounds.
sox -n -r 22050 -c 1 -b 16 "$out/wav/mono16.wav" synth 0.05 sine 440
sox -n -r 44100 -c 2 -b 8 "$out/wav/stereo8.wav" synth 0.02 square 220
sox -n -r 22050 -c 2 -b 16 "$work/tone.wav" synth 0.1 sine 330
oggenc -Q -o "$out/ogg/tone.ogg" "$work/tone.wav"

# The example titles compiled by VIZud; each engine file behind the byte
# that picks it in runtime_tables_fuzzer (the order of fuzz/fuzz_title.h).
index_of() {
  case "$1" in
    nve.nbn) echo 0 ;; nvc.nbn) echo 1 ;; nvt.nbn) echo 2 ;; nvt_list.nbn) echo 3 ;;
    nvv.nbn) echo 4 ;; nvl.nbn) echo 5 ;; nvt[0-9]*.nbn) echo 6 ;; *) echo "" ;;
  esac
}
for example in demo script-tour; do
  cp -r "$root/examples/$example" "$work/$example"
  "$bin/VIZud" --quiet "$work/$example"
  for f in "$work/$example"/nvbin/*.nbn; do
    name=$(basename "$f")
    [[ "$name" == nvcfg.nbn ]] && { { printf '\x00'; cat "$f"; } >"$out/config/$example-nvcfg.nbn"; continue; }
    i=$(index_of "$name")
    [[ -n "$i" ]] || continue
    { printf "\\x0$i"; cat "$f"; } >"$out/title/$example-$name"
  done
  cp "$work/$example/nvbin/nvv.nbn" "$out/nvv/$example-nvv.nbn"
  cp "$work/$example/nvbin/nvl.nbn" "$out/nvl/$example-nvl.nbn"
done

# User settings: 32 int32 words, the first few set to 0 or 1; and a short file.
{ printf '\x01'; for w in 1 0 1 1 0 1 0; do printf "\\x0$w\\x00\\x00\\x00"; done; head -c 100 /dev/zero; } \
  >"$out/config/nvcfg.dat"
{ printf '\x01'; printf '\x01\x00\x00\x00\x00\x00'; } >"$out/config/short-nvcfg.dat"

# Packs of the pictures and a text file, in each form nvpack writes.
mkdir -p "$work/packed/sub"
cp "$out/png/rgb.png" "$out/bmp/rgb24.bmp" "$work/packed/"
cp "$out/jpeg/baseline.jpg" "$work/packed/sub/"
printf 'a text file, stored or compressed\n' >"$work/packed/sub/notes.txt"
"$bin/nvpack" -q "$work/packed" -o "$out/pack/default.npf"
"$bin/nvpack" -q --store "$work/packed" -o "$out/pack/stored.npf"
"$bin/nvpack" -q --compress --level 1 "$work/packed" -o "$out/pack/compressed.npf"
"$bin/nvpack" -q --no-repair "$work/packed" -o "$out/pack/no-repair.npf"
"$bin/nvpack" -q --update 1 "$work/packed" -o "$work"
cp "$work/update1.npf" "$out/pack/update1.npf"
head -c 2048 /dev/urandom >"$work/engine"
"$bin/nvpack" -q --exe "$work/engine" "$work/packed" -o "$out/pack/packed-executable"

# Expression token strings: the byte that picks the mode, then the tokens.
e() { printf "$1" >"$out/expression/$2"; }
e '\x00B\x01\x00\x05B\x01\x00\x03+\x00\x00' add
e '\x01F\x08\x00\x00\x00\x00\x00\x00\x00\x04\x40I\x04\x00\x03\x00\x00\x00*\x00\x00' float-mul
e '\x00V\x03\x00\x00\xe8\x03B\x01\x00\x02)\x00\x00B\x01\x00\x07-\x00\x00' element
e '\x02M\x05\x00"ab"H\x03\x00\x00\xe9\x03+\x00\x00' text-join
e '\x03H\x03\x00\x00\xea\x03s\x00\x00i\x00\x00R\x00\x00' convert
e '\x00B\x01\x00\x04B\x01\x00\x03>\x00\x00B\x01\x00\x01&\x00\x00' compare
e '\x20V\x03\x00\x00\xe8\x03B\x01\x00\x03)\x00\x00' declaration
e '\x10B\x01\x00\x02H\x03\x00\x00\xe8\x03/\x00\x00' constant-only

# Comma-separated texts.
printf 'a,b,c\r\n1,2,3\r\n' >"$out/csv/plain.csv"
printf 'name,"quoted, with comma","with ""quotes"""\n,,\nlast' >"$out/csv/quoted.csv"
printf '\x82\xa0,\x83\x65\x83\x58\x83\x67\r\n\x93\xfa,\x96\x7b\r\n' >"$out/csv/shift-jis.csv"
