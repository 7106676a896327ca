#!/usr/bin/env bash
# Fills <build>/fuzz/seeds/<target>/ with real files of each kind: the demo data the build
# assembled, a compressed copy of its XML, a small font, and what make_seeds writes.
#   collect_seeds.sh BUILD_DIR MAKE_SEEDS ZXML MVECCONV TTF
set -euo pipefail
build=$1 make_seeds=$2 zxml=$3 mvecconv=$4 ttf=$5
assets=$build/assets
seeds=$build/fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{fuzz_xml,fuzz_archive,fuzz_font,fuzz_anim,fuzz_lua,fuzz_images,fuzz_sound_decoders}
cp "$assets"/*.xml "$assets"/anims/*.xml "$seeds/fuzz_xml/"
"$zxml" "$assets/strings.xml" "$seeds/fuzz_xml/strings.zxml" >/dev/null
cp "$assets"/*.zvp "$seeds/fuzz_archive/"
"$mvecconv" --range 65-90 "$ttf" "$seeds/fuzz_font/small.mvec" >/dev/null
cp "$assets"/anims/*.anm "$seeds/fuzz_anim/"
find "$assets" -name '*.lua' -exec cp {} "$seeds/fuzz_lua/" \;
find "$assets" -name '*.png' -size -64k -exec cp {} "$seeds/fuzz_images/" \;
find "$assets" -name '*.ogg' -size -64k -exec cp {} "$seeds/fuzz_sound_decoders/" \;
"$make_seeds" "$seeds"
