#!/usr/bin/env bash
# `make install` and `make uninstall`.
#   install.sh install BUILD PREFIX     installs the build under DESTDIR+PREFIX
#   install.sh uninstall BUILD PREFIX   takes away exactly what that install put there
# CMake records the installed files in BUILD/install_manifest.txt, without DESTDIR; the DESTDIR and the folders the
# install had to create are recorded beside it, so that uninstalling takes away the same files and leaves the prefix
# as it found it. The desktop's caches are refreshed
# only where the desktop already keeps them: none is created.
set -euo pipefail
action=${1:?usage: $0 install|uninstall BUILD PREFIX}
build=${2:?no build folder}
prefix=$(realpath -m "${3:?no prefix}")
root=${DESTDIR:-}$prefix
manifest=$build/install_manifest.txt
created=$build/install_created_folders.txt
destdir_record=$build/install_destdir.txt

refresh_desktop_caches() {
  local icons=$root/share/icons/hicolor applications=$root/share/applications
  if [ -f "$icons/icon-theme.cache" ] && command -v gtk-update-icon-cache >/dev/null; then
    gtk-update-icon-cache -q -t -f "$icons" || true
  fi
  if [ -f "$applications/mimeinfo.cache" ] && command -v update-desktop-database >/dev/null; then
    update-desktop-database -q "$applications" || true
  fi
}

# The folders of the installed tree (given as a staged copy) that do not exist under the root yet, and the
# root's own missing parents.
missing_folders() {
  local staged=$1 folder parent
  (cd "$staged" && find . -type d) | while IFS= read -r folder; do
    folder=$root/${folder#./}
    folder=${folder%/.}
    [ -d "$folder" ] || echo "$folder"
  done
  parent=$(dirname "$root")
  while [ ! -d "$parent" ]; do echo "$parent"; parent=$(dirname "$parent"); done
}

stage=
install_files() {
  local earlier=
  # Folders an earlier install made and no uninstall has taken away yet stay on the record.
  [ -f "$manifest" ] && [ -f "$created" ] && earlier=$(cat "$created")
  # A staged install first shows which folders the real one is going to create.
  stage=$(mktemp -d)
  trap 'rm -rf "$stage"' EXIT
  DESTDIR=$stage cmake --install "$build" --prefix "$prefix" >/dev/null
  { [ -n "$earlier" ] && echo "$earlier"; missing_folders "$stage$prefix"; } | sort -u >"$created"
  printf '%s\n' "${DESTDIR:-}" >"$destdir_record"
  cmake --install "$build" --prefix "$prefix"
  refresh_desktop_caches
}

uninstall_files() {
  if [ ! -f "$manifest" ]; then
    echo "uninstall: nothing recorded in $manifest"
    return 0
  fi
  local file folder destdir=
  [ -f "$destdir_record" ] && destdir=$(cat "$destdir_record")
  root=$destdir$prefix
  while IFS= read -r file || [ -n "$file" ]; do  # the manifest ends without a line break
    [ -n "$file" ] || continue
    file=$destdir$file
    if [ -e "$file" ] || [ -L "$file" ]; then
      echo "-- Removing: $file"
      rm -f -- "$file"
    fi
  done <"$manifest"
  # Deepest first, so that a folder's sub-folders have gone before it; folders holding anything else stay.
  if [ -f "$created" ]; then
    sort -r "$created" | while IFS= read -r folder; do rmdir -- "$folder" 2>/dev/null || true; done
  fi
  rm -f -- "$manifest" "$created" "$destdir_record"
  refresh_desktop_caches
}

case $action in
  install) install_files ;;
  uninstall) uninstall_files ;;
  *) echo "usage: $0 install|uninstall BUILD PREFIX" >&2; exit 2 ;;
esac
