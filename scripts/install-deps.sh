#!/usr/bin/env bash
# Installs the Debian 12 packages TEVRAN needs to build, test and run; with --packaging also
# those that make, check and test the Debian package (`make deb`, tests/package).
# Idempotent: packages already present are left alone. Uses sudo only when not root.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev qt6-serialport-dev libqt6opengl6-dev libgl-dev
  libgtest-dev libgmock-dev
  xvfb xauth xdotool imagemagick fonts-dejavu-core
  locales
)
if [ "${1:-}" = "--packaging" ]; then
  # dpkg-shlibdeps and dpkg-buildflags; the package check, with the desktop entry's and the
  # AppStream file's; closing a window without a window manager in the installed-program test.
  packages+=(dpkg-dev lintian file man-db python3-xlib desktop-file-utils appstream)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

# A comma locale, so the tests can prove that numbers keep their point under it.
ensure_comma_locale() {
  if locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    return 0
  fi
  "${sudo_cmd[@]}" sed -i 's/^# *\(de_DE.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'de_DE.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
}

if [ ${#missing[@]} -eq 0 ]; then
  ensure_comma_locale
  exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
ensure_comma_locale
