#!/usr/bin/env bash
# The Debian package as a lab's administrator and user meet it: `make deb` builds it (lintian
# must find no error), apt-get installs it, an ordinary user runs the installed program
# (drive_installed.sh), and a purge leaves nothing of it outside that user's configuration.
#
#   tests/package/test_installed.sh        (root, or sudo; changes the machine: installs and
#                                           purges the package, adds and deletes a user)
set -euo pipefail

repo=$(cd "$(dirname "$0")/../.." && pwd)
build="${BUILD:-build}-deb"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
fail() {
  echo "test_installed: $*" >&2
  exit 1
}

if dpkg-query -W -f='${Status}' tevran 2>/dev/null | grep -q "installed"; then
  fail "a tevran package is installed already; remove it first"
fi

make -C "$repo" deb BUILD="${build%-deb}"
debs=("$repo/$build"/tevran_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "expected one package in $build: ${debs[*]}"
deb=${debs[0]}

user="tevran$$"
work=$(mktemp -d)
installed=0 added=0
cleanup() {
  [ "$installed" -eq 1 ] && "${sudo_cmd[@]}" apt-get purge -y -q tevran > /dev/null 2>&1 || true
  [ "$added" -eq 1 ] && "${sudo_cmd[@]}" userdel -r "$user" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get install -y -q -o DPkg::Lock::Timeout=300 "$deb"
installed=1
for path in /usr/bin/tevran /usr/bin/tevran-sim /usr/share/tevran/TEVRAN.uir \
            /usr/share/applications/tevran.desktop /usr/share/man/man1/tevran.1.gz \
            /usr/share/metainfo/org.example.tevran.metainfo.xml \
            /usr/share/doc/tevran/copyright; do
  [ -f "$path" ] || fail "$path is not installed"
done
! dpkg -L tevran | grep -q 'tevran-script\|test_' || fail "the package holds test tools"

# An ordinary user, with a home of its own and nothing else.
"${sudo_cmd[@]}" useradd --create-home --shell /bin/bash "$user"
added=1
home=$(getent passwd "$user" | cut -d: -f6)
# Serial-port lock files that killed runs of root's tests left in the sticky /run/lock would make
# the user's pseudo-terminal look taken (only their owner may remove them): drop those whose
# process is gone.
for lock in /run/lock/LCK..pts_*; do
  [ -f "$lock" ] || continue
  pid=$(head -n 1 "$lock" 2> /dev/null | tr -dc 0-9)
  [ -n "$pid" ] && [ -d "/proc/$pid" ] && continue
  "${sudo_cmd[@]}" rm -f "$lock"
done
cp "$repo/tests/package/drive_installed.sh" "$repo/tests/package/close_window.py" "$work/"
chmod 755 "$work"
"${sudo_cmd[@]}" runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin \
  LANG=C.UTF-8 bash "$work/drive_installed.sh"

# Purge, then every file the package had is gone; a directory may stay only while another
# package owns it or something else is in it.
dpkg -L tevran > "$work/files"
"${sudo_cmd[@]}" apt-get purge -y -q -o DPkg::Lock::Timeout=300 tevran
installed=0
! dpkg-query -W -f='${Status}' tevran 2>/dev/null | grep -q "installed\|config-files" ||
  fail "dpkg still knows the package after the purge"
left=0
while IFS= read -r path; do
  [ "$path" = "/." ] && continue
  if [ -d "$path" ] && [ ! -L "$path" ]; then
    if [ -z "$(ls -A "$path")" ] && ! dpkg-query -S "$path" > /dev/null 2>&1; then
      echo "left behind: $path/" >&2
      left=1
    fi
  elif [ -e "$path" ] || [ -L "$path" ]; then
    echo "left behind: $path" >&2
    left=1
  fi
done < "$work/files"
[ "$left" -eq 0 ] || fail "the purge left files of the package"
[ -f "$home/.config/tevran/TEVRAN.ini" ] || fail "the purge took the user's settings"
echo "test_installed: installed, used as $user, purged: nothing left outside $home/.config/tevran"
