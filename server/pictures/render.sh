#!/bin/sh
# Renders the picture sources (sources/*.svg) into the PNG files the server ships below
# /images/: avatars at 128 x 128, resource pictures at 640 x 400 and their thumbnails at
# 160 x 100. Run it again after changing a source, and commit the PNG files with it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out="$here/images"
mkdir -p "$out/avatars" "$out/resources/thumbs"
for src in "$here"/sources/avatar-*.svg; do
  name=$(basename "$src" .svg)
  rsvg-convert -w 128 -h 128 -o "$out/avatars/${name#avatar-}.png" "$src"
done
for src in "$here"/sources/resource-*.svg; do
  name=$(basename "$src" .svg)
  rsvg-convert -w 640 -h 400 -o "$out/resources/${name#resource-}.png" "$src"
  rsvg-convert -w 160 -h 100 -o "$out/resources/thumbs/${name#resource-}.png" "$src"
done
