#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Quorvane needs.
# Safe to run again: packages already present are left alone.
set -euo pipefail
PACKAGES=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-image-formats-plugins qt6-translations-l10n
  libreoffice-impress-nogui libreoffice-writer-nogui libreofficekit-dev
  libqpdf-dev libzip-dev
  libgtest-dev libgmock-dev libbenchmark-dev strace
  fonts-liberation2 fonts-dejavu-core
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
