#!/usr/bin/env bash
# Installs what building, running and testing kakeibo needs on Debian 12,
# and only what is missing; through sudo when not root. Given packages,
# installs those instead (the Windows scripts' own).
# Usage: tools/setup.sh [PACKAGE...]
set -euo pipefail

packages=("$@")
[[ $# -gt 0 ]] || packages=(g++ clang libclang-rt-14-dev cmake make pkg-config qt6-base-dev qt6-wayland libwayland-dev wayland-protocols
          fonts-ipafont-gothic fonts-ipafont-mincho
          xvfb xdotool x11-utils python3 desktop-file-utils appstream
          dbus at-spi2-core gir1.2-atspi-2.0 orca speech-dispatcher ibus ibus-mozc gir1.2-ibus-1.0 python3-gi fcitx5 fcitx5-mozc fcitx5-frontend-qt6 openbox sway wtype
          adwaita-qt6)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

as_root=()
[[ $(id -u) -ne 0 ]] && as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
