#!/bin/sh
# Renders the scalable icon into the 16, 32 and 48 pixel 256-colour images
# that are committed beside it, with ImageMagick (installed where missing).
set -eu
"$(dirname "$0")/install-deps.sh" images
cd "$(dirname "$0")/../data/icons"
for size in 16 32 48; do
    convert -background none -density 384 scalable/pelmora.svg -resize "${size}x${size}" \
        -colors 255 "PNG8:$size/pelmora.png"
done
# The Windows program icon carries the same three images.
convert 16/pelmora.png 32/pelmora.png 48/pelmora.png -colors 256 pelmora.ico
