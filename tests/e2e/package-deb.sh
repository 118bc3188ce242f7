#!/usr/bin/env bash
# The Debian package: built by CPack from the build, it holds the program folder under /usr/lib/media, the launcher,
# the desktop's files, the manual page, the licence and the history; it depends on the libraries the program links and
# on what playing the listed formats loads at run time, recommends the rest, and is lintian clean. Its unpacked
# program runs, and as a system-wide install it keeps the list in the user's data folder, even when root runs it.
source "$(dirname "$0")/install-lib.sh"
# Its own output folder, so that CPack's work files stay out of the build folder.
(cd "$BUILD_DIR" && cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1) || fail "cpack: $(cat "$WORK/cpack.log")"
deb=$(ls "$WORK"/out/media_*.deb 2>/dev/null | head -n1)
[ -n "$deb" ] || fail "no package: $(cat "$WORK/cpack.log")"
[ "$(dpkg-deb -f "$deb" Package)" = media ] || fail "the package is named $(dpkg-deb -f "$deb" Package)"
[ "$(dpkg-deb -f "$deb" Version)" = "$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD_DIR/CMakeCache.txt")" ] ||
  fail "the package's version $(dpkg-deb -f "$deb" Version) is not the project's"

contents=$(dpkg-deb -c "$deb" | awk '{ print $6 ($7 == "->" ? " -> " $8 : "") }')
for path in ./usr/lib/media/media ./usr/lib/media/liblorvex.so ./usr/lib/media/media.manifest \
            ./usr/lib/media/gstreamer-1.0/libmediadecoders.so \
            ./usr/lib/media/Skin/DA10/player_skin.bmp ./usr/lib/media/Skin/DA10/playlist_skin.bmp \
            "./usr/bin/media -> ../lib/media/media" ./usr/share/applications/media.desktop \
            ./usr/share/icons/hicolor/16x16/apps/media.png ./usr/share/icons/hicolor/256x256/apps/media.png \
            ./usr/share/metainfo/org.morvane.tavri.metainfo.xml ./usr/share/man/man1/media.1.gz \
            ./usr/share/doc/media/copyright ./usr/share/doc/media/changelog.gz ./usr/lib/media/shared-install; do
  grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
[ "$(grep -c '^./usr/lib/media/Skin/DA10/.' <<<"$contents")" = "$(ls "$E2E_BIN/Skin/DA10" | wc -l)" ] ||
  fail "the package's skin pictures are not the build's"

depends=$(dpkg-deb -f "$deb" Depends) recommends=$(dpkg-deb -f "$deb" Recommends)
has() { grep -qE "(^|, |\| )$2( |,|$)" <<<"$1"; }
for package in libqt6core6 libqt6gui6 libqt6widgets6 libgstreamer1.0-0 gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
               gstreamer1.0-alsa libavcodec59 libavformat59 libfluidsynth3 fonts-wqy-microhei qt6-qpa-plugins; do
  has "$depends" "$package" || fail "Depends lacks $package: $depends"
done
# The player's own plugin decodes what these would: each drags in a stack of packages no player needs (libav's
# filters, a desktop's worth for MIDI).
for package in gstreamer1.0-libav gstreamer1.0-plugins-ugly gstreamer1.0-plugins-bad; do
  ! has "$depends, $recommends" "$package" || fail "the package pulls $package: $depends; $recommends"
done
has "$recommends" qt6-translations-l10n || fail "Recommends lacks qt6-translations-l10n: $recommends"
[ "$(dpkg-deb -f "$deb" Maintainer)" = "$(sed -n 's/^ -- \(.*>\)  .*/\1/p' <(zcat "$BUILD_DIR/doc/changelog.gz"))" ] ||
  fail "the Maintainer field and the changelog name different people"
# The grid library is the program's own, loaded by path: no ldconfig for it.
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -qx './triggers' && fail "the package activates a trigger"
report=$(lintian --no-cfg "$deb" 2>&1 | grep -v '^running with root privileges') || true
[ -z "$report" ] || fail "lintian: $report"
# Every package it depends on or recommends exists for this system (the clean-root figures: bench/package-size.sh).
report=$(apt-get install --simulate -o Debug::NoLocking=1 "$deb" 2>&1) || fail "apt-get --simulate: $report"

# Stripped: no debugging sections in the program.
dpkg-deb -x "$deb" "$WORK/root"
! readelf -S "$WORK/root/usr/lib/media/media" | grep -q '\.debug_info' || fail "the program is not stripped"

run_installed_program "$WORK/root/usr/bin/media" "$WORK/root/usr/lib/media" "$XDG_DATA_HOME/media/default.lst"
echo "e2e package-deb: passed"
