#!/usr/bin/env bash
# Installed into a prefix, the program runs from the launcher in <prefix>/bin: through the link it finds its program
# folder <prefix>/lib/media, with the skin, the grid library and the list.
source "$(dirname "$0")/install-lib.sh"
PREFIX=$WORK/prefix
install_build "$PREFIX"

[ "$(readlink "$PREFIX/bin/media")" = ../lib/media/media ] || fail "the launcher is not a relative link to the program"
# The program folder holds what the build's program folder holds for running.
for file in media liblorvex.so media.manifest; do
  [ -s "$PREFIX/lib/media/$file" ] || fail "$file is missing from the program folder"
done
cmp -s "$E2E_BIN/media.manifest" "$PREFIX/lib/media/media.manifest" || fail "the installed manifest differs from the build's"
diff <(ls "$E2E_BIN/Skin/DA10") <(ls "$PREFIX/lib/media/Skin/DA10") >/dev/null || fail "the skin pictures differ:
$(diff <(ls "$E2E_BIN/Skin/DA10") <(ls "$PREFIX/lib/media/Skin/DA10"))"

run_installed_program "$PREFIX/bin/media" "$PREFIX/lib/media"
echo "e2e install-run: passed"
