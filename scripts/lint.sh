#!/usr/bin/env bash
# Runs clang-tidy, with the committed .clang-tidy, on every source file of the
# project that a build compiles (not the files a build generates), the fuzz
# targets included; any finding fails. Usage: scripts/lint.sh [BUILD_DIR]
# (build/dev by default, configured with the dev preset when it has no
# compile_commands.json).
# The `lint` preset runs it: cmake --workflow --preset lint
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build/dev}"

if [ ! -f "$build/compile_commands.json" ]; then
  [ "$#" -eq 0 ] || { echo "$build/compile_commands.json not found: configure it first" >&2; exit 2; }
  (cd "$root" && cmake --preset dev >/dev/null)
fi

runner=$(command -v run-clang-tidy || command -v run-clang-tidy-14 || true)
tidy=$(command -v clang-tidy || command -v clang-tidy-14 || true)
if [ -z "$runner" ] || [ -z "$tidy" ]; then
  echo "clang-tidy not found: run scripts/install-deps.sh" >&2
  exit 1
fi

folders='app|bench|cli|command|core|ebook|platform|render|tests|textio|tools|ui|unicode|web'
"$runner" -quiet -p "$build" -clang-tidy-binary "$tidy" -j "$(nproc)" "^$root/($folders)/"

# The fuzz targets are compiled only by the fuzz preset (clang, libFuzzer),
# so they are checked against that build's compile commands.
fuzz_build="$root/build/fuzz"
if [ ! -f "$fuzz_build/compile_commands.json" ]; then
  "$root/scripts/install-deps.sh" clang libclang-rt-14-dev
  (cd "$root" && cmake --preset fuzz >/dev/null)
fi
"$runner" -quiet -p "$fuzz_build" -clang-tidy-binary "$tidy" -j "$(nproc)" "^$root/fuzz/"

# The browser's edition compiles its bindings (and the WebAssembly sides of
# web/ and textio/) only with emscripten, so they are checked against the
# web build's compile commands, given the target, the sysroot and the
# definitions that emscripten's compiler driver adds by itself. -msse2,
# which that driver takes for its SIMD headers, means nothing to clang for
# WebAssembly.
web_build="$root/build/web"
if [ ! -f "$web_build/compile_commands.json" ]; then
  "$root/scripts/install-deps.sh"
  (cd "$root" && cmake --preset web >/dev/null)
fi
read -ra driver_flags <<<"$(em++ --cflags 2>/dev/null)"
web_args=(-extra-arg=-Wno-unused-command-line-argument)
for ((i = 0; i < ${#driver_flags[@]}; i++)); do
  flag="${driver_flags[i]}"
  case "$flag" in
    -mllvm) i=$((i + 1)) ;;  # the code generator's options
    -target) i=$((i + 1)); web_args+=("-extra-arg-before=--target=${driver_flags[i]}") ;;
    -Xclang) i=$((i + 1)); web_args+=(-extra-arg-before=-Xclang "-extra-arg-before=${driver_flags[i]}") ;;
    *) web_args+=("-extra-arg-before=$flag") ;;
  esac
done
"$runner" -quiet -p "$web_build" -clang-tidy-binary "$tidy" -j "$(nproc)" "${web_args[@]}" \
  "^$root/(web|textio)/"
