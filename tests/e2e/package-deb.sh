#!/usr/bin/env bash
# The Debian package: built by CPack from the build, it holds the program folder under /usr/lib/media, the launcher,
# the desktop's files and the manual page, depends on the libraries the program links and on what it loads at run
# time, and its unpacked program runs.
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
            ./usr/lib/media/Skin/DA10/player_skin.bmp ./usr/lib/media/Skin/DA10/playlist_skin.bmp \
            "./usr/bin/media -> ../lib/media/media" ./usr/share/applications/media.desktop \
            ./usr/share/icons/hicolor/16x16/apps/media.png ./usr/share/icons/hicolor/256x256/apps/media.png \
            ./usr/share/metainfo/media.metainfo.xml ./usr/share/man/man1/media.1.gz; do
  grep -qxF "$path" <<<"$contents" || fail "the package lacks $path"
done
[ "$(grep -c '^./usr/lib/media/Skin/DA10/.' <<<"$contents")" = "$(ls "$E2E_BIN/Skin/DA10" | wc -l)" ] ||
  fail "the package's skin pictures are not the build's"

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libgstreamer1.0-0 gstreamer1.0-plugins-base gstreamer1.0-plugins-good \
               gstreamer1.0-plugins-bad gstreamer1.0-plugins-ugly gstreamer1.0-libav fluid-soundfont-gm fonts-wqy-microhei \
               qt6-qpa-plugins qt6-translations-l10n; do
  grep -qE "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done
# Stripped: no debugging sections in the program.
dpkg-deb -x "$deb" "$WORK/root"
! readelf -S "$WORK/root/usr/lib/media/media" | grep -q '\.debug_info' || fail "the program is not stripped"

run_installed_program "$WORK/root/usr/bin/media" "$WORK/root/usr/lib/media"
echo "e2e package-deb: passed"
