#!/usr/bin/env bash
# Installs the Debian packages the build and the programs need, and with --tests also what only
# the tests use (a browser for the help pages, the test servers' tools, the tools that check the
# Debian package). Run as root; does nothing when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev qt6-charts-dev libqt6opengl6-dev
  libcurl4-openssl-dev libcsv-dev
  libboost-dev  # Boost.Math's distributions for the analyses (header-only)
  libsqlite3-dev libsqlitecpp-dev  # the purchase ledger (tickets/TicketLedger)
  nlohmann-json3-dev libcli11-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho
  qt6-translations-l10n  # Qt's own texts (standard dialogs) in Japanese: app/QtTranslations.cpp
  dpkg-dev file  # scripts/package.sh: dpkg-shlibdeps, and file, which CPack finds the programs with
)
if [ "${1:-}" = --tests ]; then
  packages+=(python3 chromium openssl lintian desktop-file-utils appstream)
  packages+=(clang-format-14)  # the format-check target: the style is checked by one pinned version
  packages+=(python3-scipy)  # scripts/crosscheck-analysis.py: the analyses' figures computed independently
fi

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "次のパッケージが必要です (root で実行してください): ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
