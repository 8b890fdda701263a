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

# The network panel's picture, 49x41: two screens joined by a cable.
bmp -size 49x41 xc:'#D7E2F7' \
    -stroke '#2F55A6' -strokewidth 2 -fill '#CFE0FF' -draw 'rectangle 2,3 20,17' -draw 'rectangle 28,3 46,17' \
    -fill '#7F93B8' -stroke none -draw 'rectangle 9,18 13,21' -draw 'rectangle 35,18 39,21' \
    -draw 'rectangle 5,22 17,24' -draw 'rectangle 31,22 43,24' \
    -stroke '#2E8B57' -strokewidth 2 -fill none -draw 'polyline 11,25 11,33 37,33 37,25' \
    -fill '#2E8B57' -stroke none -draw 'circle 24,33 24,37' \
    BMP3:netpanel.bmp

# The computer picture of the network rows, 16x16, magenta transparent.
bmp -size 16x16 xc:'#FF00FF' \
    -stroke '#2F55A6' -strokewidth 1 -fill '#CFE0FF' -draw 'rectangle 1,1 14,10' \
    -fill '#7F93B8' -stroke none -draw 'rectangle 6,11 9,12' -draw 'rectangle 3,13 12,14' \
    BMP3:netcomputer.bmp

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

# Flags, drawn as 200x200 squares and cut to a circle with a thin dark rim: 20x20 on the language
# dialog's panel colour (FLAG*), 25x25 on the About logo's white (ABOUTFLAG*).
flag_art() {
    local code=$1 out=$2
    case "$code" in
        CSY) convert -size 200x200 xc:white -fill '#D7141A' -draw 'rectangle 0,100 199,199' \
                 -fill '#11457E' -draw 'polygon 0,0 100,100 0,199' "$out" ;;
        DE) convert -size 200x200 xc:'#000000' -fill '#DD0000' -draw 'rectangle 0,67 199,133' \
                -fill '#FFCE00' -draw 'rectangle 0,134 199,199' "$out" ;;
        EN) convert -size 200x200 xc:'#012169' \
                -stroke white -strokewidth 40 -draw 'line 0,0 199,199' -draw 'line 199,0 0,199' \
                -stroke '#C8102E' -strokewidth 13 -draw 'line 0,0 199,199' -draw 'line 199,0 0,199' \
                -stroke none -fill white -draw 'rectangle 78,0 121,199' -draw 'rectangle 0,78 199,121' \
                -fill '#C8102E' -draw 'rectangle 88,0 111,199' -draw 'rectangle 0,88 199,111' "$out" ;;
        ES) convert -size 200x200 xc:'#AA151B' -fill '#F1BF00' -draw 'rectangle 0,50 199,149' "$out" ;;
        FR) convert -size 200x200 xc:white -fill '#002395' -draw 'rectangle 0,0 66,199' \
                -fill '#ED2939' -draw 'rectangle 133,0 199,199' "$out" ;;
        IT) convert -size 200x200 xc:white -fill '#009246' -draw 'rectangle 0,0 66,199' \
                -fill '#CE2B37' -draw 'rectangle 133,0 199,199' "$out" ;;
        RUS) convert -size 200x200 xc:white -fill '#0039A6' -draw 'rectangle 0,67 199,133' \
                 -fill '#D52B1E' -draw 'rectangle 0,134 199,199' "$out" ;;
    esac
}
round_flag() {
    local art=$1 size=$2 background=$3 out=$4
    convert "$art" \( -size 200x200 xc:black -fill white -draw 'circle 99.5,99.5 99.5,4' \) \
        -alpha off -compose CopyOpacity -composite \
        -fill none -stroke '#333333' -strokewidth 8 -draw 'circle 99.5,99.5 99.5,6' \
        -background "$background" -compose Over -flatten -resize "${size}x${size}" BMP3:"$out"
}
for code in CSY DE EN ES FR IT RUS; do
    flag_art "$code" flag-art.png
    round_flag flag-art.png 20 '#D8D092' "flag${code}.bmp"
    round_flag flag-art.png 25 white "aboutflag${code}.bmp"
done
rm -f flag-art.png

# The language dialog's background tile, 32x32: a warm sand weave around its panel colour.
bmp -size 32x32 xc:'#C9BF7A' -stroke '#D3CA8B' -strokewidth 1 \
    -draw 'line 0,0 31,31' -draw 'line 0,16 15,31' -draw 'line 16,0 31,15' BMP3:langbackground.bmp

# Glyphs of the dialogs' OK and Cancel buttons (language and settings dialogs), two 16x16 cells:
# a green tick, a red cross.
bmp -size 32x16 xc:'#FF00FF' +antialias \
    -fill none -stroke '#1E8C3A' -strokewidth 3 -draw 'polyline 2,8 6,12 13,3' \
    -stroke '#C0392B' -strokewidth 3 -draw 'line 20,4 28,12' -draw 'line 28,4 20,12' \
    BMP3:dialogglyphs.bmp

# The About box's logo, 200x200: a sky that fades to white (the name, version and flag are drawn
# over the lower part), a sheet of paper and the program's magnifier.
bmp -size 200x150 gradient:'#3A62B8-#FFFFFF' -background white -extent 200x200 \
    -fill white -stroke '#7F93B8' -strokewidth 2 -draw 'path "M 44,22 L 104,22 L 124,42 L 124,150 L 44,150 Z"' \
    -fill '#E6ECF8' -draw 'path "M 104,22 L 104,42 L 124,42"' \
    -stroke '#B6C4DE' -strokewidth 4 -draw 'line 58,62 108,62' -draw 'line 58,80 100,80' \
    -draw 'line 58,98 94,98' -draw 'line 58,116 88,116' \
    -stroke '#8B5A2B' -strokewidth 16 -draw 'line 128,128 160,160' \
    -stroke '#F9C95C' -strokewidth 10 -draw 'line 130,130 158,158' \
    -stroke '#2F55A6' -strokewidth 10 -fill '#CFE0FFB0' -draw 'circle 108,104 108,72' \
    BMP3:aboutlogo.bmp

# The small picture beside the legal notice, 81x13: the maker's mark in the theme's blue.
bmp -size 81x13 xc:white -fill '#2F55A6' -draw 'roundrectangle 0,0 80,12 3,3' \
    -fill white -font DejaVu-Sans-Bold -pointsize 9 -gravity center -annotate +0+0 'PELION INFO' \
    BMP3:aboutcopyr.bmp

# The settings dialog's picture, 32x32 on the white title strip: a panel with two ticked boxes.
bmp -size 32x32 xc:white \
    -fill '#3A62B8' -stroke '#24458F' -draw 'roundrectangle 1,2 30,29 5,5' \
    -stroke none -fill white -draw 'rectangle 6,8 12,14' -draw 'rectangle 6,18 12,24' \
    -fill '#CFE0FF' -draw 'rectangle 15,10 26,12' -draw 'rectangle 15,20 26,22' \
    -stroke '#2E8B57' -strokewidth 2 -fill none -draw 'polyline 7,11 9,13 12,8' \
    -draw 'polyline 7,21 9,23 12,18' \
    BMP3:settings.bmp
