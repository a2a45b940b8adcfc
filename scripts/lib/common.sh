# Shared by scripts/run and scripts/test: package installation and the build.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# Packages needed to build and run the desk program.
# The Chinese and Tamil fonts let the demo's names show as letters, not boxes.
RUN_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev
  librsvg2-bin fonts-wine fonts-open-sans fonts-dejavu-core fonts-wqy-microhei fonts-lohit-taml)
# Extra packages for the tests, benchmarks, fuzzing and the lint stage (clang-tools brings
# run-clang-tidy).
TEST_PACKAGES=(mdbtools mdbtools-dev libbenchmark-dev sqlite3 clang libclang-rt-14-dev
  xvfb openbox xdotool imagemagick clang-format clang-tidy clang-tools)
# Extra packages to make the Debian package (dpkg-shlibdeps needs file) and to check it.
# hardening-check comes with devscripts.
PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream devscripts)

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

# The tested build and the package's build use Debian's build flags (stack protector,
# _FORTIFY_SOURCE, full RELRO, source paths relative to the tree), so that the tests run the
# code the package ships and the package's bytes do not depend on the build folder.
# Optimisation as Debian builds: -O2 (RelWithDebInfo, the default). CMake does not read CPPFLAGS
# by itself.
release_cmake_options() {
  flag() { (cd "$ROOT" && DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"); }
  local cpp ld
  cpp=$(flag CPPFLAGS)
  ld=$(flag LDFLAGS)
  RELEASE_CMAKE_OPTIONS=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
    "-DCMAKE_CXX_FLAGS=$cpp $(flag CXXFLAGS)" "-DCMAKE_EXE_LINKER_FLAGS=$ld")
}

# The time recorded in the package's files and in what the build writes (resources, the demo
# database), as Debian does it: the date of the newest changelog entry. It changes only with a
# new entry, so incremental builds stay the same bytes as fresh ones.
# Set for the build commands only: the tests' own files carry the current time.
source_date_epoch() {
  echo "${SOURCE_DATE_EPOCH:-$(date -d "$(sed -n 's/^ -- .*  \(.*\)$/\1/p' \
    "$ROOT/packaging/debian/changelog.in" | head -n 1)" +%s)}"
}

# configure DIR [cmake options...]
configure() {
  local dir=$1; shift
  if [ ! -f "$ROOT/$dir/build.ninja" ]; then
    cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "$@"
  else
    cmake "$ROOT/$dir" "$@" >/dev/null
  fi
}

# configure_and_build DIR [cmake options...]
configure_and_build() {
  local dir=$1; shift
  configure "$dir" "$@"
  SOURCE_DATE_EPOCH=$(source_date_epoch) cmake --build "$ROOT/$dir" -j "$(nproc)"
}
