#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a Linux user gets there: the file
# layout, sonames, the exported symbols, package files free of build-tree paths, and a C host
# (tests/install/consumer/) built outside the project once with find_package(vellora) and once
# with pkg-config, each converting the sample to a PDF that qpdf accepts. The installed
# emf2pdf converts it too.
#
#   run.sh BUILD_DIR SOURCE_DIR LIBDIR CMAKE CC CXX [FLAG...]
#
# LIBDIR is the build's CMAKE_INSTALL_LIBDIR; the FLAGs go to every compile and link of the
# consumer (the sanitizer flags of a sanitizer build: a host of sanitized libraries must load
# the sanitizer runtime first, so it is built with the same flags). Nothing is fetched from the
# network. VELLORA_KEEP_INSTALL_TEST=1 keeps the temporary folder.
set -euo pipefail

if [ $# -lt 6 ]; then
  echo "usage: run.sh BUILD_DIR SOURCE_DIR LIBDIR CMAKE CC CXX [FLAG...]" >&2
  exit 2
fi
build=$1 source=$2 libdir_rel=$3 cmake=$4 cc=$5 cxx=$6
shift 6
flags=("$@")

work=$(mktemp -d "${TMPDIR:-/tmp}/vellora-install.XXXXXX")
cleanup() {
  if [ "${VELLORA_KEEP_INSTALL_TEST:-}" = 1 ]; then
    echo "install test: kept $work"
  else
    rm -rf "$work"
  fi
}
trap cleanup EXIT

fail() {
  echo "install test: FAILED: $*" >&2
  exit 1
}
# Runs a step with its output in a log, shown only when it fails.
step() {
  local name=$1
  shift
  if ! "$@" >"$work/$name.log" 2>&1; then
    cat "$work/$name.log" >&2
    fail "$name: $*"
  fi
}

for tool in nm readelf qpdf pkg-config c++filt; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup installs it)"
done
# The host must see only the installed package.
unset LD_LIBRARY_PATH LD_PRELOAD VELLORA_ENGINE PKG_CONFIG_PATH CMAKE_PREFIX_PATH
sample=$source/examples/sample.emf
[ -f "$sample" ] || fail "no sample at $sample"

# ---- Install ----
prefix=$work/prefix
step install "$cmake" --install "$build" --prefix "$prefix"
prefix=$(cd "$prefix" && pwd -P)
libdir=$prefix/$libdir_rel
for f in "$libdir/libvellora.so" "$libdir/libvellora.so.0" "$libdir/libqvplatform.so" \
  "$libdir/libqvplatform.so.0" include/vellora/vellora.h include/qvplatform/qvplatform_c.h \
  include/qvplatform/metafile.h include/qvplatform/debug_output.h bin/emf2pdf "$libdir_rel/pkgconfig/vellora.pc" \
  "$libdir_rel/cmake/vellora/velloraConfig.cmake" \
  "$libdir_rel/cmake/vellora/velloraConfigVersion.cmake" \
  "$libdir_rel/cmake/vellora/velloraTargets.cmake"; do
  case $f in /*) ;; *) f=$prefix/$f ;; esac
  [ -e "$f" ] || fail "not installed: ${f#"$prefix"/}"
done
for lib in vellora qvplatform; do
  soname=$(readelf -d "$libdir/lib$lib.so" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')
  [ "$soname" = "lib$lib.so.0" ] || fail "lib$lib.so has soname '$soname', not lib$lib.so.0"
done

# ---- Nothing of the build tree, nothing static ----
build_real=$(cd "$build" && pwd -P)
source_real=$(cd "$source" && pwd -P)
if grep -rlF -e "$build_real" -e "$source_real" "$prefix/$libdir_rel/cmake" \
  "$prefix/$libdir_rel/pkgconfig" "$prefix/include"; then
  fail "installed package files name the build or source tree (files above)"
fi
if grep -nE 'qvp_|QVPDF[A-Za-z]*Dev|QVGenDC|QVK2PDFDLL|vellora_api|\.a\b' \
  "$prefix/$libdir_rel"/cmake/vellora/velloraTargets*.cmake; then
  fail "the exported targets drag in build-only components (lines above)"
fi
for f in "$libdir"/libvellora.so.0 "$libdir"/libqvplatform.so.0 "$prefix/bin/emf2pdf"; do
  runpath=$(readelf -d "$f" | sed -n 's/.*R\(UN\)\?PATH.*\[\(.*\)\]/\2/p')
  case $runpath in
    *"$build_real"* | *"$source_real"*) fail "${f#"$prefix"/} keeps the run path $runpath" ;;
  esac
done

# ---- Exports ----
engine_exports=$(nm -D --defined-only "$libdir/libvellora.so" | awk '{print $NF}' | sort)
expected=$(printf '%s\n' QVPDF_Initialize QVPDF_Finalize QVPDF_SetSProp QVPDF_SetIProp \
  QVPDF_Do QVPDF_InitializePage _QVPDF_QVKEXEC QVPDF_XPOS QVPDF_YPOS | sort)
[ "$engine_exports" = "$expected" ] ||
  fail "libvellora.so exports other than the nine entry points:
$(diff <(echo "$expected") <(echo "$engine_exports") || true)"

# Every symbol of libqvplatform.so is in namespace qvplatform, its outermost name after
# qvplatform:: declared in the platform headers, or a C name of qvplatform_c.h.
nm -D --defined-only "$libdir/libqvplatform.so" | awk '{print $NF}' >"$work/platform.raw"
c++filt <"$work/platform.raw" >"$work/platform.symbols"
[ -s "$work/platform.symbols" ] || fail "libqvplatform.so exports nothing"
declared=$(cat "$source/platform/include/qvplatform/"*.h)
stray=()
while IFS= read -r symbol; do
  # The C interface: unmangled names starting with Qv, each declared in its header.
  if [[ $symbol == Qv* ]]; then
    grep -qw -- "$symbol" "$source/platform/include/qvplatform/qvplatform_c.h" || stray+=("$symbol")
    continue
  fi
  name=${symbol#typeinfo name for }
  name=${name#typeinfo for }
  name=${name#vtable for }
  if [[ $name != qvplatform::* ]]; then
    stray+=("$symbol")
    continue
  fi
  outer=${name#qvplatform::}
  outer=${outer%%[^A-Za-z0-9_]*}
  grep -qw -- "$outer" <<<"$declared" || stray+=("$symbol")
done <"$work/platform.symbols"
if [ ${#stray[@]} -gt 0 ]; then
  printf '  %s\n' "${stray[@]}" >&2
  fail "libqvplatform.so exports ${#stray[@]} symbols outside the platform API (above)"
fi
for private in qvplatform::fonts:: qvplatform::bitmaps:: qvplatform::metafile:: \
  qvplatform::codepage_detail::; do
  if grep -qE "^((typeinfo (name )?|vtable )for )?$private" "$work/platform.symbols"; then
    fail "libqvplatform.so exports the component namespace $private"
  fi
done

# Checks a conversion: the host's exit status, the engine it loaded, the PDF.
check_pdf() {
  local name=$1 pdf=$2
  [ -s "$pdf" ] || fail "$name wrote no PDF"
  qpdf --check "$pdf" >"$work/$name.qpdf.log" 2>&1 ||
    fail "$name: qpdf --check rejects $pdf: $(cat "$work/$name.qpdf.log")"
}
check_consumer() {
  local name=$1 program=$2
  step "$name.run" "$program" "$sample" "$work/$name.pdf"
  local loaded
  loaded=$(sed -n 's/^engine: //p' "$work/$name.run.log")
  [ -n "$loaded" ] || fail "$name did not say which engine it loaded"
  loaded=$(readlink -f "$loaded")
  [[ $loaded == "$libdir"/* ]] || fail "$name loaded the engine $loaded, not the installed one"
  local platform
  platform=$(ldd "$program" | sed -n 's/.*libqvplatform\.so\.0 => \([^ ]*\).*/\1/p')
  [ -n "$platform" ] || fail "$name does not link libqvplatform.so.0"
  platform=$(readlink -f "$platform")
  [[ $platform == "$libdir"/* ]] || fail "$name uses the platform $platform, not the installed one"
  check_pdf "$name" "$work/$name.pdf"
  # A C host: nothing it binds is a C++ name.
  if nm -D --undefined-only "$program" | awk '{print $NF}' | grep -q '^_Z'; then
    fail "$name binds C++ symbols: $(nm -D --undefined-only "$program" | grep ' _Z' | head -3)"
  fi
}

flag_text="${flags[*]}"
# ---- find_package(vellora) ----
step cmake-configure "$cmake" -S "$source/tests/install/consumer" -B "$work/cmake-build" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DCMAKE_FIND_USE_SYSTEM_PACKAGE_REGISTRY=OFF \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" \
  -DCMAKE_C_FLAGS="$flag_text" -DCMAKE_CXX_FLAGS="$flag_text" \
  -DCMAKE_EXE_LINKER_FLAGS="$flag_text"
found=$(sed -n 's/^vellora_DIR:PATH=//p' "$work/cmake-build/CMakeCache.txt")
[ "$(readlink -f "$found")" = "$libdir/cmake/vellora" ] ||
  fail "find_package(vellora) found $found, not the installed package"
step cmake-build "$cmake" --build "$work/cmake-build"
check_consumer find_package "$work/cmake-build/consumer"

# ---- pkg-config --cflags --libs vellora ----
export PKG_CONFIG_LIBDIR=$libdir/pkgconfig
pc_prefix=$(pkg-config --variable=prefix vellora) || fail "pkg-config does not find vellora.pc"
[ "$pc_prefix" = "$prefix" ] || fail "vellora.pc has prefix $pc_prefix, not $prefix"
pc_libdir=$(pkg-config --variable=libdir vellora)
[ "$pc_libdir" = "$libdir" ] || fail "vellora.pc has libdir $pc_libdir, not $libdir"
[ "$(pkg-config --variable=includedir vellora)" = "$prefix/include" ] ||
  fail "vellora.pc has includedir $(pkg-config --variable=includedir vellora)"
[ "$(pkg-config --modversion vellora)" = "$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")/\1/p' \
  "$libdir/cmake/vellora/velloraConfigVersion.cmake")" ] ||
  fail "vellora.pc and velloraConfigVersion.cmake disagree on the version"
read -r -a cflags <<<"$(pkg-config --cflags vellora)"
read -r -a libs <<<"$(pkg-config --libs vellora)"
consumer=$source/tests/install/consumer
out=$work/pkg-config-build
mkdir -p "$out"
warnings=(-Wall -Wextra -Werror)
step pkg-config-c "$cc" -std=c11 "${warnings[@]}" "${flags[@]}" "${cflags[@]}" \
  -DVELLORA_CONSUMER_ENGINE="\"$pc_libdir/libvellora.so\"" -c "$consumer/consumer.c" \
  -o "$out/consumer.o"
# The engine is loaded, not linked: --as-needed drops it from the libraries pkg-config names.
step pkg-config-link "$cc" "${flags[@]}" "$out/consumer.o" -o "$out/consumer" \
  -Wl,--as-needed "${libs[@]}" -Wl,-rpath,"$pc_libdir" -ldl
check_consumer pkg-config "$out/consumer"

# ---- The installed example host ----
step emf2pdf "$prefix/bin/emf2pdf" "$sample" "$work/emf2pdf.pdf"
check_pdf emf2pdf "$work/emf2pdf.pdf"

echo "install test: passed ($(wc -l <"$work/platform.symbols") platform symbols, prefix $prefix)"
