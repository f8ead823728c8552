# Shared by ./run and ./test: installs what is missing, then configures and builds.
# Sourced, not run; expects to be called from the repository root.

HM_PACKAGES="cmake g++ make pkg-config libglfw3-dev libglew-dev nlohmann-json3-dev libglm-dev \
libstb-dev libopenal-dev libsndfile1-dev libgtest-dev libbenchmark-dev libx11-dev xvfb xauth \
libgl1-mesa-dri clang-14 libclang-rt-14-dev llvm-14"

hm_install_missing() {
  local missing=()
  for pkg in $HM_PACKAGES; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# hm_build DIR [extra cmake arguments...]: quiet on success, the compiler's output on failure.
# HM_TARGETS, when set, limits the build to those targets (./run needs only the game).
hm_build() {
  local dir="$1"; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null || return 1
  fi
  mkdir -p "$dir"
  if ! cmake --build "$dir" -j "$(nproc)" ${HM_TARGETS:+--target $HM_TARGETS} >"$dir/build.log" 2>&1; then
    grep -vE '^\[ *[0-9]+%\]' "$dir/build.log" | tail -n 80
    echo "Build failed; the whole log is in $dir/build.log"
    return 1
  fi
}

# hm_sanitizer_test DIR TARGET [ENV=VALUE...]: builds one instrumented test program in a build
# directory of its own and runs it.
hm_sanitizer_test() {
  local dir="$1" target="$2"; shift 2
  HM_TARGETS="$target" hm_build "$dir" -DHM_BUILD_BENCHMARKS=OFF || return 1
  env "$@" "./$dir/$target" --gtest_brief=1
}

# hm_build_sanitized DIR: the whole suite and the fuzz targets, built by clang under
# AddressSanitizer and UndefinedBehaviorSanitizer. Lightly optimised, with line tables only and
# without benchmarks and tools: it is a second full build on every run, so it has to be quick.
hm_build_sanitized() {
  local flags="-O1 -g1 -DNDEBUG"
  CC=clang-14 CXX=clang++-14 hm_build "$1" -DHM_SANITIZE=address,undefined -DHM_FUZZ=ON \
    -DHM_BUILD_BENCHMARKS=OFF -DHM_BUILD_TOOLS=OFF \
    -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$flags" -DCMAKE_C_FLAGS_RELWITHDEBINFO="$flags"
}
