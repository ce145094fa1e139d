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

svg src/background.svg background.png 797 577

tabs="autoquote:自动报价 tools:家装工具 pictures:装修效果图 precise:精确报价 instructions:使用说明"
for t in $tabs; do
  name=${t%%:*} label=${t#*:}
  sed "s/@LABEL@/$label/" src/tab.svg.in > "$tmp/tab_$name.svg"
  svg "$tmp/tab_$name.svg" "tab_$name.png" 122 38
done
svg src/tab_highlight.svg tab_highlight.png 122 38
svg src/quote_button.svg quote_button.png 117 40
svg src/qq_badge.svg qq_badge.png 68 20

# the cursor gets hard edges and a small palette, like a classic cursor
svg src/hand_cursor.svg "$tmp/hand.png" 48 48
"$CONVERT" "$tmp/hand.png" -channel A -threshold 50% +channel -dither None -colors 16 -strip -define png:exclude-chunks=date,time PNG32:hand_cursor.png

sizes="16 24 32 48 64 72 96 128"
icons=()
for n in $sizes; do
  mkdir -p "icons/hicolor/${n}x${n}/apps"
  out="icons/hicolor/${n}x${n}/apps/tovakidoviv.png"
  if [ "$n" -eq 16 ]; then src=src/icon_small.svg; else src=src/icon.svg; fi
  svg "$src" "$out" "$n" "$n"
  icons+=("$out")
done
mkdir -p icons/hicolor/scalable/apps
cp src/icon.svg icons/hicolor/scalable/apps/tovakidoviv.svg
python3 src/make_ico.py icon.ico "${icons[@]}"

# ---- checks: every picture must have exactly the size the program expects ----
check() { # check FILE WIDTH HEIGHT
  [ -s "$1" ] || die "$1 was not written"
  got=$("$IDENTIFY" -format '%wx%h' "$1")
  [ "$got" = "$2x$3" ] || die "$1 is $got, expected $2x$3"
}
check background.png 797 577
for t in $tabs; do check "tab_${t%%:*}.png" 122 38; done
check tab_highlight.png 122 38
check quote_button.png 117 40
check qq_badge.png 68 20
check hand_cursor.png 48 48
for n in $sizes; do check "icons/hicolor/${n}x${n}/apps/tovakidoviv.png" "$n" "$n"; done

# the .ico: ImageMagick must read 16 images with the expected sizes, in our order
want=""
for n in $sizes; do want+="${n}x${n} "; done
want="$want$want"
got=$("$IDENTIFY" -format '%wx%h ' icon.ico)
[ "$got" = "$want" ] || die "icon.ico holds '$got', expected '$want'"

python3 src/check_assets.py .
echo "render.sh: all pictures rendered and checked"
