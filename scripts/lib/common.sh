# Shared by scripts/run and scripts/test: package installation and the build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# Packages needed to build and run the desk program.
# The Chinese and Tamil fonts let the demo's names show as letters, not boxes.
RUN_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
  librsvg2-bin fonts-wine fonts-open-sans fonts-dejavu-core fonts-wqy-microhei fonts-lohit-taml)
# Extra packages for the tests, benchmarks and fuzzing.
TEST_PACKAGES=(mdbtools mdbtools-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb openbox xdotool imagemagick)
# Extra packages to make the Debian package (dpkg-shlibdeps needs file) and to check it.
PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream)

# Installs every listed Debian package that is not installed yet.
install_packages() {
  local missing=()
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# Node.js and npm for the npm reference reader; any existing installation will do.
install_node() {
  if ! command -v npm >/dev/null 2>&1; then
    install_packages nodejs npm
  fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir=$1; shift
  if [ ! -f "$ROOT/$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "$@"
  else
    cmake "$ROOT/$dir" "$@" >/dev/null
  fi
  cmake --build "$ROOT/$dir" -j "$(nproc)"
}
