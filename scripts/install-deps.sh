#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those missing.
# Runs apt-get update once before the first install (package lists on a fresh
# machine are stale). Uses sudo when not root.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libgtk2.0-dev libcairo2-dev libglib2.0-dev-bin
  libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev libcli11-dev libnlopt-cxx-dev
  clang libclang-rt-14-dev
  xvfb xauth xdotool openbox imagemagick
  libxml2-utils fonts-dejavu-core locales poppler-utils
  desktop-file-utils shared-mime-info libglib2.0-bin man-db groff-base dpkg
  chromium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  SUDO="sudo"
fi

echo "Installing missing packages: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
