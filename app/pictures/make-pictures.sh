#!/bin/bash
# Draws the program's pictures with ImageMagick. The results are committed; run this again only to
# change them. Bitmaps are 24-bit (BMP3); magenta (#FF00FF) marks the transparent part of glyphs.
set -euo pipefail
cd "$(dirname "$0")"
bmp() { convert "$@"; }

# Section marks, 20x21: a rounded blue square with a chevron; BITMAP1 = open (up), BITMAP2 = closed.
section() {
    local out=$1 chevron=$2
    bmp -size 20x21 xc:'#D7E2F7' \
        -fill '#3A62B8' -stroke '#24458F' -draw 'roundrectangle 1,1 18,19 4,4' \
        -stroke white -strokewidth 2 -fill none -draw "polyline $chevron" \
        BMP3:"$out"
}
section BITMAP1.bmp '6,12 10,8 14,12'
section BITMAP2.bmp '6,9 10,13 14,9'

# Top strip tile, 8x25, and the buttons' resting and hover faces, 8x19 (stretched across a button).
bmp -size 8x25 gradient:'#5B82CF-#2F55A6' BMP3:topstrip.bmp
bmp -size 8x19 gradient:'#D9E5FA-#9DB9EB' BMP3:button.bmp
bmp -size 8x19 gradient:'#FFF3C8-#F9C95C' BMP3:buttonhover.bmp

# Side-bar header tile, 8x18.
bmp -size 8x18 gradient:'#BBD0F3-#8AA9E2' BMP3:header.bmp

# Window background tile, 32x32: the side-bar blue with a faint diagonal weave.
bmp -size 32x32 xc:'#9DB9EB' -stroke '#A7C1EE' -strokewidth 1 \
    -draw 'line 0,0 31,31' -draw 'line 0,16 15,31' -draw 'line 16,0 31,15' BMP3:background.bmp

# Glyphs, a strip of 16x16 cells: settings, view style, about, language, minimise, close, find.
bmp -size 112x16 xc:'#FF00FF' +antialias \
    -fill '#4A5568' -draw 'circle 8,8 8,2' -fill '#FF00FF' -draw 'circle 8,8 8,5' \
    -fill '#4A5568' -draw 'rectangle 7,0 9,15' -draw 'rectangle 0,7 15,9' \
    -fill '#FF00FF' -draw 'circle 8,8 8,6' \
    -fill '#2F55A6' -draw 'rectangle 17,2 22,7' -draw 'rectangle 25,2 30,7' \
    -draw 'rectangle 17,9 22,14' -draw 'rectangle 25,9 30,14' \
    -fill '#2F55A6' -draw 'circle 40,8 40,1' -fill white -draw 'rectangle 39,7 41,12' \
    -draw 'rectangle 39,4 41,5' \
    -fill '#2E8B57' -draw 'circle 56,8 56,1' -stroke '#D7F0E0' -fill none \
    -draw 'line 49,8 63,8' -draw 'ellipse 56,8 3,7 0,360' -stroke none \
    -fill '#2F55A6' -draw 'rectangle 67,11 76,13' \
    -stroke '#C0392B' -strokewidth 3 -draw 'line 84,4 91,11' -draw 'line 91,4 84,11' \
    -stroke '#8B5A2B' -strokewidth 3 -draw 'line 107,11 110,14' \
    -stroke '#2F55A6' -strokewidth 2 -fill '#CFE0FF' -draw 'circle 103,7 103,2' \
    BMP3:glyphs.bmp

# The file panel's picture, 48x48: a magnifier over a sheet of paper.
bmp -size 48x48 xc:'#D7E2F7' \
    -fill white -stroke '#7F93B8' -draw 'path "M 6,3 L 26,3 L 34,11 L 34,44 L 6,44 Z"' \
    -fill '#E6ECF8' -draw 'path "M 26,3 L 26,11 L 34,11"' \
    -stroke '#B6C4DE' -strokewidth 2 -draw 'line 11,17 28,17' -draw 'line 11,23 24,23' \
    -draw 'line 11,29 22,29' -draw 'line 11,35 20,35' \
    -stroke '#8B5A2B' -strokewidth 6 -draw 'line 35,35 44,44' \
    -stroke '#2F55A6' -strokewidth 4 -fill '#CFE0FF' -draw 'circle 28,28 28,17' \
    BMP3:findpanel.bmp

# Program icon, 16 and 32 pixels: a magnifier on the theme's blue.
icon() {
    local size=$1 out=$2
    convert -size 64x64 xc:none -fill '#3A62B8' -draw 'roundrectangle 2,2 61,61 12,12' \
        -stroke '#F9C95C' -strokewidth 9 -draw 'line 38,38 54,54' \
        -stroke white -strokewidth 6 -fill '#9DB9EB' -draw 'circle 27,27 27,10' \
        -resize "${size}x${size}" "$out"
}
icon 16 icon16.png
icon 32 icon32.png
icon 48 icon48.png
convert icon16.png icon32.png icon48.png FindFile.ico
rm -f icon16.png icon32.png icon48.png

# The settings dialog's picture, 32x32 on the white title strip: a panel with two ticked boxes.
bmp -size 32x32 xc:white \
    -fill '#3A62B8' -stroke '#24458F' -draw 'roundrectangle 1,2 30,29 5,5' \
    -stroke none -fill white -draw 'rectangle 6,8 12,14' -draw 'rectangle 6,18 12,24' \
    -fill '#CFE0FF' -draw 'rectangle 15,10 26,12' -draw 'rectangle 15,20 26,22' \
    -stroke '#2E8B57' -strokewidth 2 -fill none -draw 'polyline 7,11 9,13 12,8' \
    -draw 'polyline 7,21 9,23 12,18' \
    BMP3:settings.bmp

# Dialog button glyphs, a strip of 16x16 cells: OK, Cancel.
bmp -size 32x16 xc:'#FF00FF' +antialias \
    -stroke '#2E8B57' -strokewidth 2 -fill none -draw 'polyline 2,8 6,12 13,4' \
    -stroke '#C0392B' -strokewidth 2 -draw 'line 20,4 28,12' -draw 'line 28,4 20,12' \
    BMP3:dlgglyphs.bmp
