#!/usr/bin/env bash
# Draws the demo title's pictures with ImageMagick into the folder given
# (default: this folder's "images"). Everything is made here; no artwork is
# taken from elsewhere.
set -euo pipefail
out=${1:-$(dirname "$0")/images}
mkdir -p "$out"
cd "$out"
im() { convert "$@"; }
im -size 640x480 gradient:'#2a6fd6-#bfe3ff' -depth 8 sky.png
im -size 640x480 gradient:'#04061a-#1b1f5a' -fill '#fff8d0' \
   -draw 'point 40,30 point 120,80 point 200,40 point 300,110 point 380,60 point 470,25 point 560,90 point 610,50' \
   -draw 'circle 520,90 520,60' -depth 8 night.png
im -size 160x160 radial-gradient:'#ffd040-#000000' -depth 8 sun.png
im -size 200x80 xc:none -fill '#ffffffe0' -draw 'ellipse 60,45 55,30 0,360' \
   -draw 'ellipse 120,35 60,32 0,360' -draw 'ellipse 160,50 38,26 0,360' -depth 8 PNG32:cloud.png
im -size 640x150 xc:none -fill '#2f7d32' -draw 'ellipse 160,150 260,110 0,360' \
   -fill '#3c9a40' -draw 'ellipse 480,160 300,90 0,360' -depth 8 PNG32:hill.png
im -size 300x200 xc:'#fff4e0' -fill '#d04040' -draw 'roundrectangle 10,10 290,190 18,18' \
   -fill '#fff4e0' -draw 'roundrectangle 24,24 276,176 12,12' \
   -fill '#d04040' -pointsize 40 -gravity center -annotate +0+0 'Nivalo' -depth 8 card.png
im -size 640x480 radial-gradient:'#000000-#ffffff' -colorspace gray -depth 8 rule.png
# The message window: a translucent panel, and a clear layer the text is drawn into.
im -size 600x120 xc:none -fill '#102040c0' -stroke '#c0d0ff' -strokewidth 2 \
   -draw 'roundrectangle 1,1 598,118 12,12' -depth 8 PNG32:window.png
im -size 568x96 xc:none -depth 8 PNG32:msg.png
