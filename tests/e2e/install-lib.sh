# Shared steps of the installation and package tests, on top of lib.sh: the build and source folders, an installed
# tree, and a run of the installed program.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
BUILD_DIR=$(cd "$E2E_BIN/.." && pwd)
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Installs the build under the prefix $1. Installing the component by name keeps the build's record of
# `make install` (install_manifest.txt) as it is.
install_build() {
  cmake --install "$BUILD_DIR" --component media --prefix "$1" >"$WORK/install.log" || fail "install: $(cat "$WORK/install.log")"
}

# Starts the installed program through its launcher $1, whose program folder is $2, on a list of two rows, and checks
# that it found its skin and its grid there and kept the list in the file $3: beside the program (the default) for a
# user install, in the data folder for a system-wide one, whose program folder must then stay unwritten.
run_installed_program() {
  local launcher=$1 folder=$2 list=${3:-$2/default.lst} point saved
  [ -x "$launcher" ] || fail "no launcher $launcher"
  make_tone "$WORK/one.wav" 440 2
  make_tone "$WORK/two.wav" 550 2
  mkdir -p "$(dirname "$list")"
  printf '"One","","00:00","%s"\r\n"Two","","00:00","%s"\r\n' "$WORK/one.wav" "$WORK/two.wav" >"$list"
  # Saving the list writes the file anew; an old time stamp shows whether that happened.
  touch -d '2001-01-01' "$list"
  local folder_before
  folder_before=$(cd "$folder" && find . -printf '%p %T@\n' | sort)
  start_display
  APP=$(dirname "$launcher")
  start_media
  # The skin: the main window's frame shows the installed background picture's pixels.
  import -window root "$WORK/screen.png"
  for point in "2 100" "4 140" "265 100" "200 8"; do
    set -- $point
    [ "$(pixel_of "$WORK/screen.png" $((MAIN_X + $1)) $((MAIN_Y + $2)))" = "$(pixel_of "$folder/Skin/DA10/player_skin.bmp" "$1" "$2")" ] ||
      fail "the main window does not show the skin at $1,$2 (screenshot kept with E2E_KEEP=1): $(head -n3 "$WORK/media.log")"
  done
  wait_for_window '播放列表' >/dev/null || fail "the playlist window did not appear"
  click_twips 3857 202
  wait_for_exit "$MEDIA_PID" || fail "the program did not end"
  # Without its grid the program keeps the list file as it found it, so a rewritten file shows the grid held the rows.
  [ "$list" -nt "$WORK/one.wav" ] || fail "the list was not saved in $list: $(cat "$WORK/media.log")"
  saved=$(tr -d '\r' <"$list" | cut -d, -f4)
  [ "$saved" = $'"'"$WORK/one.wav"$'"\n"'"$WORK/two.wav"'"' ] || fail "the saved list holds: $saved"
  if [ "$list" = "$folder/default.lst" ]; then
    [ ! -e "$XDG_DATA_HOME/media/default.lst" ] || fail "the list went to the data folder although the program folder is writable"
  else
    [ "$(cd "$folder" && find . -printf '%p %T@\n' | sort)" = "$folder_before" ] ||
      fail "the program wrote into its system-wide folder: $(diff <(echo "$folder_before") <(cd "$folder" && find . -printf '%p %T@\n' | sort))"
  fi
}
