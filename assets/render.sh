#!/bin/bash
# Renders every picture in this folder from the sources in src/.
#   bash assets/render.sh
# Needs: rsvg-convert (librsvg2-bin), ImageMagick 6 (imagemagick), python3,
# fonts-arphic-ukai and fonts-wqy-microhei.  The results are committed, so this
# only has to be run after a source changes.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here"
export PYTHONDONTWRITEBYTECODE=1

die() { echo "render.sh: $*" >&2; exit 1; }

# Prefer Debian's own ImageMagick; another "convert" earlier in PATH may be something else.
CONVERT=""
IDENTIFY=""
for dir in /usr/bin "$(dirname "$(command -v convert 2>/dev/null || echo /nonexistent/x)")"; do
  if [ -x "$dir/convert" ] && [ -x "$dir/identify" ] \
     && [[ "$("$dir/convert" -version 2>/dev/null || true)" == "Version: ImageMagick"* ]]; then
    CONVERT="$dir/convert"; IDENTIFY="$dir/identify"; break
  fi
done
[ -n "$CONVERT" ] || die "ImageMagick 6 (convert, identify) not found; apt-get install imagemagick"
command -v rsvg-convert >/dev/null || die "rsvg-convert not found; apt-get install librsvg2-bin"
command -v python3 >/dev/null || die "python3 not found"
for font in "AR PL UKai CN" "WenQuanYi Micro Hei"; do
  [ -n "$(fc-list "$font" family)" ] || die "font '$font' is not installed"
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

svg() { # svg SOURCE OUTPUT WIDTH HEIGHT
  rsvg-convert --width "$3" --height "$4" --format png -o "$2" "$1"
}

# Every picture the windows show comes at 1x and, as NAME@2x.png, at twice the
# size for screens with a device pixel ratio above 1; the program picks by ratio.
picture() { # picture SOURCE NAME WIDTH HEIGHT   -> NAME.png and NAME@2x.png
  svg "$1" "$2.png" "$3" "$4"
  svg "$1" "$2@2x.png" $(($3 * 2)) $(($4 * 2))
}

picture src/background.svg background 797 577

tabs="autoquote:自动报价 tools:家装工具 pictures:装修效果图 precise:精确报价 instructions:使用说明"
for t in $tabs; do
  name=${t%%:*} label=${t#*:}
  sed "s/@LABEL@/$label/" src/tab.svg.in > "$tmp/tab_$name.svg"
  picture "$tmp/tab_$name.svg" "tab_$name" 122 38
done
picture src/tab_highlight.svg tab_highlight 122 38
picture src/quote_button.svg quote_button 117 40
picture src/qq_badge.svg qq_badge 68 20

# the cursor gets hard edges and a small palette, like a classic cursor
for scale in 1 2; do
  if [ "$scale" -eq 1 ]; then out=hand_cursor.png; else out=hand_cursor@2x.png; fi
  svg src/hand_cursor.svg "$tmp/hand.png" $((48 * scale)) $((48 * scale))
  "$CONVERT" "$tmp/hand.png" -channel A -threshold 50% +channel -dither None -colors 16 -strip -define png:exclude-chunks=date,time PNG32:"$out"
done

sizes="16 24 32 48 64 72 96 128"
for n in $sizes; do
  mkdir -p "icons/hicolor/${n}x${n}/apps"
  out="icons/hicolor/${n}x${n}/apps/tovakidoviv.png"
  if [ "$n" -eq 16 ]; then src=src/icon_small.svg; else src=src/icon.svg; fi
  svg "$src" "$out" "$n" "$n"
done
mkdir -p icons/hicolor/scalable/apps
cp src/icon.svg icons/hicolor/scalable/apps/tovakidoviv.svg

# ---- checks: every picture must have exactly the size the program expects ----
check() { # check FILE WIDTH HEIGHT
  [ -s "$1" ] || die "$1 was not written"
  got=$("$IDENTIFY" -format '%wx%h' "$1")
  [ "$got" = "$2x$3" ] || die "$1 is $got, expected $2x$3"
}
check2() { # check2 NAME WIDTH HEIGHT: NAME.png and NAME@2x.png
  check "$1.png" "$2" "$3"
  check "$1@2x.png" $(($2 * 2)) $(($3 * 2))
}
check2 background 797 577
for t in $tabs; do check2 "tab_${t%%:*}" 122 38; done
check2 tab_highlight 122 38
check2 quote_button 117 40
check2 qq_badge 68 20
check2 hand_cursor 48 48
for n in $sizes; do check "icons/hicolor/${n}x${n}/apps/tovakidoviv.png" "$n" "$n"; done

python3 src/check_assets.py .
echo "render.sh: all pictures rendered and checked"
