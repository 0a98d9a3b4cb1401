#!/usr/bin/env bash
# Renders every drawing in src/assets/svg to the image of the same name in src/assets/images.
# A drawing "name.png.svg" or "name.svg" becomes "name.png"; "name.jpg.svg" becomes "name.jpg"
# (rendered to PNG first, then re-encoded by a small Qt program built on the fly, since
# rsvg-convert writes PNG only). Images are drawn at twice the logical size.
# Needs rsvg-convert (librsvg2-bin), a C++ compiler and the Qt 6 Gui development files.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
svg_dir=$root/src/assets/svg
out_dir=$root/src/assets/images
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build_jpeg_encoder() {
  cat >"$work/tojpeg.cpp" <<'CPP'
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>

// tojpeg <in.png> <out.jpg>: re-encodes a picture as a JPEG of good quality on a white ground.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tojpeg <in.png> <out.jpg>\n");
        return 2;
    }
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull())
        return 1;
    QImage flat(picture.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, picture);
    painter.end();
    return flat.save(QString::fromLocal8Bit(argv[2]), "JPG", 92) ? 0 : 1;
}
CPP
  # shellcheck disable=SC2046
  c++ -std=c++17 -fPIC -O1 -o "$work/tojpeg" "$work/tojpeg.cpp" $(pkg-config --cflags --libs Qt6Gui)
}

mkdir -p "$out_dir"
for svg in "$svg_dir"/*.svg; do
  name=$(basename "$svg" .svg)
  case "$name" in
    *.jpg)
      [ -x "$work/tojpeg" ] || build_jpeg_encoder
      rsvg-convert --format=png -o "$work/$name.png" "$svg"
      "$work/tojpeg" "$work/$name.png" "$out_dir/$name"
      ;;
    *.png) rsvg-convert --format=png -o "$out_dir/$name" "$svg" ;;
    *) rsvg-convert --format=png -o "$out_dir/$name.png" "$svg" ;;
  esac
  echo "rendered $name"
done
