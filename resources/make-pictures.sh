#!/usr/bin/env bash
# Draws the window's pictures with ImageMagick. The results are checked in; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
im=/usr/bin/convert # the first `convert` on PATH may be something else

# Banner: 232 x 60, JPEG. A blue band, the name, and a file cut in three.
"$im" -size 232x60 gradient:'#1c3f94-#5a8fd8' \
    -fill '#ffffff' -stroke '#1c3f94' -strokewidth 1 \
    -draw 'rectangle 10,12 26,48' -draw 'rectangle 30,12 46,48' -draw 'rectangle 50,12 66,48' \
    -stroke none -fill '#ffd54a' -draw 'rectangle 10,12 26,16' \
    -fill '#1c3f94' -draw 'line 13,24 23,24' -draw 'line 13,30 23,30' -draw 'line 33,24 43,24' \
    -draw 'line 33,30 43,30' -draw 'line 53,24 63,24' -draw 'line 53,30 63,30' \
    -fill '#ffffff' -font DejaVu-Sans-Bold -pointsize 20 -annotate +78+30 'Parvix' \
    -fill '#dfe8ff' -font DejaVu-Sans -pointsize 12 -annotate +79+47 'cut and join files' \
    -strip -quality 92 banner.jpg

# Program icon: a sheet of paper with a dashed cut across it, 16 colours, 32 x 32 and 16 x 16.
draw_icon() { # size output
    local s=$1 out=$2
    "$im" -size 32x32 xc:none \
        -fill '#ffffff' -stroke '#000080' -strokewidth 1.5 -draw 'polygon 6,2 21,2 27,8 27,30 6,30' \
        -fill '#c0c0c0' -draw 'polygon 21,2 21,8 27,8' \
        -stroke '#ff0000' -strokewidth 2 -draw 'line 2,16 30,16' \
        -stroke '#000080' -strokewidth 1.5 -draw 'line 10,8 17,8' -draw 'line 10,12 22,12' \
        -draw 'line 10,21 22,21' -draw 'line 10,25 22,25' \
        -resize "${s}x${s}" -colors 16 "PNG8:$out"
}
draw_icon 32 icon32.png
draw_icon 16 icon16.png
"$im" icon16.png icon32.png parvix.ico

# Mail pointer: 32 x 32, an arrow with a small envelope; the hot spot is the arrow's tip (0, 0).
"$im" -size 32x32 xc:none \
    -fill '#ffffff' -stroke '#000000' -strokewidth 1 -draw 'polygon 0,0 0,17 4,13 7,20 10,19 7,12 12,12' \
    -fill '#ffff80' -draw 'rectangle 13,17 30,29' -fill none -draw 'polyline 13,17 21,24 30,17' \
    PNG32:mailpointer.png
