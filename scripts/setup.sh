# Shared by ./run and ./test: installs what is missing, then configures and builds.
# Sourced, not run; expects to be called from the repository root.

HM_PACKAGES="cmake g++ make pkg-config libglfw3-dev libglew-dev nlohmann-json3-dev libglm-dev \
libstb-dev libopenal-dev libsndfile1-dev libgtest-dev libbenchmark-dev libx11-dev xvfb xauth \
libgl1-mesa-dri"

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

# hm_sanitizer_build DIR TARGET: builds one instrumented test program in a build directory of its
# own (configured once).
hm_sanitizer_build() {
  local dir="$1" target="$2"
  [ -f "$dir/CMakeCache.txt" ] ||
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHM_BUILD_BENCHMARKS=OFF >/dev/null
  if ! cmake --build "$dir" -j "$(nproc)" --target "$target" >"$dir/build.log" 2>&1; then
    tail -n 80 "$dir/build.log"
    echo "Build of $target failed; the whole log is in $dir/build.log"
    return 1
  fi
}

# hm_sanitizer_test DIR TARGET [ENV=VALUE...]: builds one instrumented test program and runs it.
hm_sanitizer_test() {
  local dir="$1" target="$2"; shift 2
  hm_sanitizer_build "$dir" "$target" || return 1
  env "$@" "./$dir/$target" --gtest_brief=1
}

# hm_sanitizer_gl_test DIR TARGET [ENV=VALUE...]: the same for a program that needs OpenGL, run
# on a virtual X server.
hm_sanitizer_gl_test() {
  local dir="$1" target="$2"; shift 2
  hm_sanitizer_build "$dir" "$target" || return 1
  env "$@" xvfb-run -a -s "-screen 0 1280x1024x24" "./$dir/$target" --gtest_brief=1
}
