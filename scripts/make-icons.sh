#!/bin/sh
# Renders the scalable icon into the 16, 32 and 48 pixel 256-colour images
# that are committed beside it, with ImageMagick (installed where missing),
# and into the sizes those take at scales 1.25, 1.5 and 2, so that the window
# icon is drawn from an image of its own size at every scale.
set -eu
"$(dirname "$0")/install-deps.sh" images
cd "$(dirname "$0")/../data/icons"
for size in 16 20 24 32 40 48 60 64 72 96; do
    mkdir -p "$size"
    convert -background none -density 384 scalable/pelmora.svg -resize "${size}x${size}" \
        -colors 255 -define png:exclude-chunks=date,time "PNG8:$size/pelmora.png"
done
# The Windows program icon carries the same three images.
convert 16/pelmora.png 32/pelmora.png 48/pelmora.png -colors 256 pelmora.ico
