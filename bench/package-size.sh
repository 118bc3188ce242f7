#!/usr/bin/env bash
# What installing the package costs a clean Debian 12 system, beside the players a user would pick instead: the
# packages, the download and the disk that apt needs for each, with and without the recommended packages, in a
# minimal root made by debootstrap from Debian's archive (as root; a few minutes the first time, the root is kept).
#   bench/package-size.sh <build folder> [root folder, default /var/tmp/media-package-root]
set -euo pipefail
build=$(realpath "${1:?usage: bench/package-size.sh <build folder> [root folder]}")
root=${2:-/var/tmp/media-package-root}
[ "$(id -u)" = 0 ] || { echo "package-size: debootstrap and chroot need root" >&2; exit 1; }

if [ ! -x "$root/usr/bin/apt-get" ]; then
  debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$root.log" 2>&1 ||
    { echo "package-size: debootstrap failed, see $root.log" >&2; exit 1; }
fi
# The same archive and updates as this machine, so that the figures compare with its own.
rm -f "$root/etc/apt/sources.list"
cp /etc/apt/sources.list.d/*.sources "$root/etc/apt/sources.list.d/" 2>/dev/null || cp /etc/apt/sources.list "$root/etc/apt/"
chroot "$root" apt-get update -qq

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log") || { cat "$work/cpack.log" >&2; exit 1; }
deb=$(ls "$work"/media_*.deb)
cp "$deb" "$root/tmp/media.deb"

# Packages apt would install, megabytes it would fetch and megabytes the disk would gain, for one set of arguments.
measure() {
  local count download disk
  count=$(chroot "$root" apt-get install --simulate "$@" 2>/dev/null | grep -c '^Inst ')
  read -r download disk < <(chroot "$root" apt-get install --assume-no "$@" 2>/dev/null |
    sed -n 's/^Need to get \([0-9.,]*\) \([kMG]\)B.*/\1 \2/p; s/^After this operation, \([0-9.,]*\) \([kMG]\)B.*/\1 \2/p' |
    awk '{ v = $1; gsub(",", "", v); v *= ($2 == "G" ? 1000 : $2 == "k" ? 0.001 : 1); printf "%.0f ", v } END { print "" }')
  printf '%-10s %-20s %6s %8s MB %8s MB\n' "$player" "$mode" "$count" "$download" "$disk"
}
printf '%-10s %-20s %6s %11s %11s\n' player install packages download disk
for player in media audacious qmmp; do
  target=$player
  [ "$player" = media ] && target=/tmp/media.deb
  mode=default measure "$target"
  mode=no-recommends measure --no-install-recommends "$target"
done
