# Shared by scripts/test and scripts/demo: set-up and builds, quiet when all goes well.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${FXT_BUILD_ROOT:-$ROOT/build}
JOBS=${FXT_JOBS:-$(nproc 2>/dev/null || echo 2)}

# Installs the Debian packages that are missing, and nothing else. The package registry is
# asked as little as it can be and tolerated when it stumbles (a mirror in the middle of a
# sync serves an index of the wrong size now and then): the install is tried first with
# the package lists the machine has; only when that fails are the lists updated and the
# install tried again, up to three times, a pause apart (FXT_APT_PAUSE seconds, 20). An
# update that failed for one index does not stop an install that can still succeed.
# Returns 0 when every package is installed; 3 when they could not be because the
# registry failed (an index or package download error, after the retries), with apt's
# words in REGISTRY_FAILURE; 1 for anything else (a name apt does not know, a broken
# dependency on a sound registry).
REGISTRY_FAILURE=""
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
      missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local apt=(apt-get -o DPkg::Lock::Timeout=600 -o Acquire::Retries=3)
  # Another build on the machine may be installing too: wait for its lock, do not fail.
  [ "$(id -u)" -ne 0 ] && apt=(sudo "${apt[@]}")
  local log="${TMPDIR:-/tmp}/fxt-apt.log"
  : >"$log"
  local attempt
  for attempt in 0 1 2 3; do
    if [ "$attempt" -gt 0 ]; then
      [ "$attempt" -gt 1 ] && sleep "${FXT_APT_PAUSE:-20}"
      "${apt[@]}" update -qq >>"$log" 2>&1
    fi
    DEBIAN_FRONTEND=noninteractive "${apt[@]}" install -y -qq --no-install-recommends \
      "${missing[@]}" >"$log.last" 2>&1 && return 0
    cat "$log.last" >>"$log"
  done
  cat "$log" >&2
  echo "error: could not install ${missing[*]}" >&2
  # A download error counts against the registry unless apt also did not know a package
  # by its name: that is a fault of the request, and fails whatever the registry did.
  local fetch='Failed to fetch|Some index files failed to download|Unable to fetch|Hash Sum mismatch|unexpected size|Mirror sync in progress'
  if grep -qE "$fetch" "$log" &&
     ! grep -qE 'Unable to locate package|has no installation candidate' "$log.last"; then
    REGISTRY_FAILURE=$(grep -m 1 -E "$fetch" "$log" | sed -E 's/^[EW]: //; s/ \[IP: [^]]*\]//')
    return 3
  fi
  return 1
}

# skip_stage NAME REASON: a stage that cannot run because the package registry failed
# says so in its line, which scripts/test counts as skipped and repeats at the end.
skip_stage() {
  echo "$1: skipped: $2"
  echo "$1: 0 passed, 0 failed, 1 skipped"
  exit 0
}

BASE_PACKAGES=(cmake make g++ googletest nlohmann-json3-dev libcli11-dev binutils)
# The MusicXML reader's libraries, for the native builds (native, sanitize, fuzz, demo):
# Debian has no i386 or MinGW build of them, and fxthost is built without the reader there.
MUSICXML_PACKAGES=(libpugixml-dev libzip-dev)

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
