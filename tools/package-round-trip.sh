#!/usr/bin/env bash
# The Debian package on this machine for real: makes it from a build folder,
# runs lintian on it, installs it with apt-get, starts the installed program
# with its command on the PATH and with its desktop entry's command (from
# another folder, up to the console with sound, on a private X server),
# removes it again and checks that no file of it is left.
#
# It changes /usr: run it where installing and removing a package is wanted.
# The package must not be installed before. The user's settings are left.
#
# Usage: tools/package-round-trip.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ] || [ ! -f "$1/CPackConfig.cmake" ]; then
  echo "usage: $0 BUILD_DIR (a configured and built build folder)" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
source=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
apt=($sudo apt-get -o DPkg::Lock::Timeout=900 -y)

package_state() { dpkg-query -W -f='${db:Status-Status}' vorlak-simulator 2>/dev/null || true; }
if [ -n "$(package_state)" ] && [ "$(package_state)" != not-installed ]; then
  echo "vorlak-simulator is installed already ($(package_state)); remove it first" >&2
  exit 1
fi

work=$(mktemp -d)
chmod 755 "$work"  # apt reads the package as its own user
installed=no
finish() {
  if [ "$installed" = yes ]; then
    echo "== removing the package after a failure"
    "${apt[@]}" remove vorlak-simulator >/dev/null || true
  fi
  rm -rf "$work"
}
trap finish EXIT

echo "== cpack"
if ! cpack -G DEB -B "$work" --config "$build/CPackConfig.cmake" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
deb=$(ls "$work"/*.deb)
chmod 644 "$deb"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

echo "== lintian"
lintian --info --display-info --pedantic "$deb" | tee "$work/lintian.txt" || true
if grep -q '^E:' "$work/lintian.txt"; then
  echo "lintian reports errors" >&2
  exit 1
fi

echo "== apt-get install $deb"
installed=yes
"${apt[@]}" install "$deb"
dpkg -L vorlak-simulator | sort >"$work/files"

echo "== the installed program"
status=0
python3 "$source/tests/package/package_test.py" --installed --version "$version" --source-dir "$source" || status=$?

echo "== apt-get remove vorlak-simulator"
"${apt[@]}" remove vorlak-simulator
installed=no
left=()
while read -r path; do
  # Folders such as /usr/share/icons belong to other packages as well.
  if [ -e "$path" ] && [ ! -d "$path" ]; then left+=("$path"); fi
done <"$work/files"
for folder in /usr/lib/vorlak-simulator /usr/share/vorlak-simulator /usr/share/doc/vorlak-simulator; do
  if [ -e "$folder" ]; then left+=("$folder"); fi
done
if [ -n "$(package_state)" ] && [ "$(package_state)" != not-installed ]; then
  left+=("(dpkg still lists the package as $(package_state))")
fi
if [ ${#left[@]} -gt 0 ]; then
  printf 'left behind: %s\n' "${left[@]}" >&2
  exit 1
fi
echo "removed: none of its $(wc -l <"$work/files") paths is left"
if [ "$status" -ne 0 ]; then
  echo "the installed program failed its checks" >&2
  exit "$status"
fi
echo "== round trip passed"
