#!/usr/bin/env bash
# Installs the Debian packages of scripts/packages.txt that are missing.
#   setup.sh                 every section: building, running, packaging, tests, benchmarks, fuzzing
#   setup.sh SECTION...      only these sections, named by the first word of their "# ..." heading (build, run, ...)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
list=$here/packages.txt

# The packages of the asked sections (all when none is asked), one a line.
packages_of() {
  awk -v asked=" $* " '
    /^[[:space:]]*#/ { split(tolower($0), words, /[^a-z0-9]+/); section = words[2]; next }
    /^[[:space:]]*$/ { next }
    asked == "  " || index(asked, " " section " ") { print $1 }' "$list"
}

for section in "$@"; do
  grep -qiE "^#[[:space:]]*${section}([^[:alnum:]]|$)" "$list" || { echo "setup: no section \"$section\" in $list" >&2; exit 2; }
done
mapfile -t wanted < <(packages_of "${@,,}")
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "setup: installing ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
