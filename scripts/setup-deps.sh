#!/usr/bin/env bash
# Installs the Debian packages Tickvane needs to build, test and run, and only those that
# are missing. Safe to run again; non-interactive.
#   setup-deps.sh            what building and running need
#   setup-deps.sh test       and the validators the install test runs, and the linters
#   setup-deps.sh package    and what the Debian package is made with
#   setup-deps.sh coverage   and llvm-cov and llvm-profdata for `make coverage`
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-svg-dev libgl-dev libpng-dev zlib1g-dev libxcb1-dev
  fonts-liberation2 fonts-dejavu-core poppler-utils
)
for group in "$@"; do
  case $group in
    # The desktop entry, the AppStream data and the man pages of the install layout; the
    # linters (the clang-tidy cache is a Python script) and clazy for the Qt code.
    test) packages+=(desktop-file-utils appstream man-db clang-format clang-tidy clazy python3) ;;
    # cpack's DEB generator: dpkg-deb, and dpkg-shlibdeps with file to find the libraries.
    package) packages+=(dpkg-dev file) ;;
    # clang's coverage tools, matching the compiler's version.
    coverage) packages+=(llvm-14) ;;
    *) echo "setup: unknown group $group (known: test, package, coverage)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "setup: missing packages: ${missing[*]}" >&2
  echo "setup: run as root (or install them with apt-get) and try again" >&2
  exit 1
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
