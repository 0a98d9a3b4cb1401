#!/usr/bin/env bash
# Installs every Debian package the project needs. Safe to run again: apt-get skips what is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  clang libclang-rt-14-dev
  libcurl4-openssl-dev libxml2-dev libpugixml-dev libsqlite3-dev libssl-dev
  libpq-dev postgresql-15
  libcpp-httplib-dev libmicrohttpd-dev nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-declarative-dev qt6-svg-dev qt6-qpa-plugins
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts
  qml6-module-qtquick-window qml6-module-qtquick-templates qml6-module-qtqml-workerscript
  qml6-module-qtqml qml6-module-qtquick-shapes qml6-module-qt-labs-qmlmodels
  qtkeychain-qt6-dev libsecret-1-0
  dbus-daemon gnome-keyring
  fonts-wqy-microhei librsvg2-bin xvfb locales
  desktop-file-utils
)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f '${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# A locale whose decimal separator is a comma, so the number-reading test can show that the
# process locale does not change how documents are read.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
