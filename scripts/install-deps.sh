#!/usr/bin/env bash
# Installs every Debian package Orvix needs to build, run and test. Safe to run again.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6sql6 libqt6opengl6-dev
  qt6-declarative-dev qt6-multimedia-dev qt6-image-formats-plugins
  libqt6svg6 qt6-tools-dev-tools
  libsqlite3-dev sqlite3 libonig-dev libicu-dev libssl-dev
  bc uuid-runtime python3 xvfb xauth dbus-x11
  libgl1-mesa-dev fonts-dejavu-core clang-format ccache
  # The SQL export's tests load its scripts into these; each test starts its own server on 127.0.0.1.
  postgresql mariadb-server-core mariadb-client-core
  # Backups and templates: the agent's transfers, the template service, and the FTP server and bus its tests start.
  libcurl4-openssl-dev qt6-httpserver-dev qt6-websockets-dev python3-pyftpdlib dbus
  # Report export: OpenDocument packages are zip files (zlib); the tests read exported PDFs with pdfinfo.
  zlib1g-dev poppler-utils
)

# The desktop run also wants audio and video playback; the tests check stored media values, not playback.
if [ "${1:-}" = "--playback" ]; then
  PACKAGES+=(gstreamer1.0-plugins-base gstreamer1.0-plugins-good)
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
