#!/bin/sh
# Draws the delivered skin bitmaps and the two flag icons of the language chooser with ImageMagick.
# Run from anywhere; the pictures are written beside this script and kept in the repository.
set -eu
cd "$(dirname "$0")"

# The see-through colour of the skins: RGB(255, 0, 230), 15073535 as a configuration value.
KEY='rgb(255,0,230)'
SHAPE='roundrectangle 1,1 46,46 11,11'

# skin NAME TOP BOTTOM BORDER GLOSS: up and down pictures of a rounded, glossy 48 x 48 button.
skin() {
    name=$1 top=$2 bottom=$3 border=$4 gloss=$5
    convert -size 48x48 xc:"$KEY" +antialias -fill black -draw "$SHAPE" -type TrueColor "BMP3:${name}_Mask.bmp"
    # At rest: light at the top, a gloss over the upper half.
    convert -size 48x48 gradient:"$top-$bottom" \
        \( -size 48x48 xc:none -fill "$gloss" -draw 'roundrectangle 5,4 42,22 8,8' -blur 0x1 \) -composite \
        \( -size 48x48 xc:black +antialias -fill white -stroke none -draw "$SHAPE" \) -alpha off -compose CopyOpacity -composite \
        -compose over -fill none -stroke "$border" -strokewidth 1 +antialias -draw "$SHAPE" \
        -background "$KEY" -flatten -type TrueColor "BMP3:${name}_Up.bmp"
    # Pressed: the light comes from below, the gloss is faint and one pixel lower, the rim darker.
    convert -size 48x48 gradient:"$bottom-$top" \
        \( -size 48x48 xc:none -fill 'rgba(255,255,255,0.18)' -draw 'roundrectangle 5,6 42,24 8,8' -blur 0x1 \) -composite \
        \( -size 48x48 xc:none -fill none -stroke 'rgba(0,0,0,0.35)' -strokewidth 2 -draw 'roundrectangle 3,3 44,44 9,9' \) -composite \
        \( -size 48x48 xc:black +antialias -fill white -stroke none -draw "$SHAPE" \) -alpha off -compose CopyOpacity -composite \
        -compose over -fill none -stroke "$border" -strokewidth 1 +antialias -draw "$SHAPE" \
        -background "$KEY" -flatten -type TrueColor "BMP3:${name}_Down.bmp"
}

skin XP '#ffffff' '#a7afbd' '#5d6676' 'rgba(255,255,255,0.70)'
skin XP_Blue '#d6ebff' '#2a64c8' '#173f86' 'rgba(255,255,255,0.60)'

# flag ID POLYGON FILL...: the outline filled with a flag, a grey drop shadow, a see-through surround;
# drawn at 128 pixels and reduced to 32 and 16.
flag() {
    id=$1 polygon=$2
    shift 2
    convert -size 128x128 "$@" \
        \( -size 128x128 xc:black -fill white -draw "polygon $polygon" \) -alpha off -compose CopyOpacity -composite \
        -compose over -fill none -stroke '#2b2b2b' -strokewidth 3 -draw "polygon $polygon" \
        \( -size 128x128 xc:none -fill 'rgb(128,128,128)' -draw "translate 6,6 polygon $polygon" \) \
        +swap -compose over -composite flags/tmp_$id.png
    convert flags/tmp_$id.png -resize 32x32 "PNG32:flags/${id}_32.png"
    convert flags/tmp_$id.png -resize 16x16 "PNG32:flags/${id}_16.png"
    rm flags/tmp_$id.png
}

mkdir -p flags

FRANCE='52,6 64,12 78,18 92,24 106,32 104,46 102,58 96,66 100,78 104,92 110,100 98,106 84,106 72,112 60,116 46,112 30,108 26,100 30,86 28,72 24,62 14,56 4,48 2,42 14,38 24,38 28,28 34,26 38,34 46,28 48,20'
flag 101 "$FRANCE" xc:white -fill '#0055a4' -draw 'rectangle 0,0 42,127' -fill '#ef4135' -draw 'rectangle 85,0 127,127'

USA='6,26 70,26 74,34 82,36 88,32 96,40 104,32 112,26 118,34 110,44 104,54 100,64 96,72 98,84 102,98 94,98 90,86 80,82 70,84 62,86 56,98 50,94 44,82 34,82 24,76 14,72 8,62 4,46'
STRIPES=''
i=0
while [ $i -lt 13 ]; do
    if [ $((i % 2)) -eq 0 ]; then
        y0=$((24 + i * 6)); y1=$((y0 + 5))
        STRIPES="$STRIPES rectangle 0,$y0 127,$y1"
    fi
    i=$((i + 1))
done
STARS=''
for y in 30 38 46 54; do
    for x in 8 18 28 38 48; do
        STARS="$STARS circle $x,$y $((x + 1)),$y"
    done
done
flag 102 "$USA" xc:white -fill '#b22234' -draw "rectangle 0,0 127,23 $STRIPES rectangle 0,102 127,127" \
    -fill '#3c3b6e' -draw 'rectangle 0,0 58,59' -fill white -draw "$STARS"
