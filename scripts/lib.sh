# Shared by scripts/test and scripts/demo: set-up and builds, quiet when all goes well.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${FXT_BUILD_ROOT:-$ROOT/build}
JOBS=${FXT_JOBS:-$(nproc 2>/dev/null || echo 2)}

# Installs the Debian packages that are missing, and nothing else.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # Another build on the machine may be installing too: wait for its lock, do not fail.
  local lock=(-o DPkg::Lock::Timeout=600)
  if ! { $sudo apt-get "${lock[@]}" update -qq && DEBIAN_FRONTEND=noninteractive \
         $sudo apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"; } \
       >"${TMPDIR:-/tmp}/fxt-apt.log" 2>&1; then
    cat "${TMPDIR:-/tmp}/fxt-apt.log" >&2
    echo "error: could not install ${missing[*]}" >&2
    return 1
  fi
}

BASE_PACKAGES=(cmake make g++ googletest nlohmann-json3-dev libcli11-dev binutils)

# The cmake arguments of a test build that keeps line tables only, at -O2 or -O1: failures
# and sanitizer reports name files and lines, and the build takes far less time than with
# full debug information.
LINE_TABLES_O2=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG")
LINE_TABLES_O1=(-DCMAKE_BUILD_TYPE=RelWithDebInfo
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG")

# configure_and_build DIR [cmake arguments...]: output goes to DIR/build.log, shown
# only when something fails.
configure_and_build() {
  local dir=$1
  shift
  mkdir -p "$dir"
  if ! cmake -S "$ROOT" -B "$dir" "$@" >"$dir/build.log" 2>&1 ||
     ! cmake --build "$dir" --parallel "$JOBS" >>"$dir/build.log" 2>&1; then
    tail -n 60 "$dir/build.log" >&2
    return 1
  fi
}

# build_qemu_compat DIR: builds tests/windows/qemu_i386_compat.c, what qemu-i386 lacks for
# Wine's 32-bit programs, into DIR/lib/i386-linux-gnu and (empty) DIR/lib/x86_64-linux-gnu,
# for LD_PRELOAD="DIR/\$LIB/fxt-qemu-i386-compat.so" (needs gcc-multilib).
build_qemu_compat() {
  local dir=$1 lib
  for lib in i386-linux-gnu:-m32 x86_64-linux-gnu:-m64; do
    mkdir -p "$dir/lib/${lib%%:*}"
    if ! gcc "${lib#*:}" -O2 -Wall -Wextra -Werror -shared -fPIC \
           -o "$dir/lib/${lib%%:*}/fxt-qemu-i386-compat.so" \
           "$ROOT/tests/windows/qemu_i386_compat.c" -ldl 2>"$dir/build.log"; then
      cat "$dir/build.log" >&2
      return 1
    fi
  done
}
