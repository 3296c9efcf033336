#!/usr/bin/env bash
# Builds the Debian package of the programs, tolvi-numbers_VERSION_ARCH.deb, and prints its path.
#
# A Release build in build-release/ (or $PACKAGE_BUILD_DIR) of only what is installed: both programs,
# tolvi and the documents, no tests or benchmarks, compiled with the flags Debian's own packages are
# built with (dpkg-buildflags: fortified, stack-protected, full RELRO, bind-now). CPack's DEB
# generator then packs everything `cmake --install` puts under /usr (cmake/Packaging.cmake), stripped,
# with the dependencies dpkg-shlibdeps finds in the linked libraries. The version is the one in
# CMakeLists.txt's project().
#
# --check: then checks the package as scripts/check-package.sh does.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${PACKAGE_BUILD_DIR:-$root/build-release}"
check=0
case "${1:-}" in
--check) check=1 ;;
"") ;;
*)
  echo "使い方: $0 [--check]" >&2
  exit 2
  ;;
esac

"$root/scripts/install-deps.sh"

# Debian's build flags with every hardening feature; CMake reads no CPPFLAGS, so they join the
# compiler's flags. No -g: the package ships stripped programs and no debugging symbols.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cxxflags="$(echo " $CXXFLAGS $CPPFLAGS " | sed 's/ -g / /')"

cmake -S "$root" -B "$build" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr \
  -DTOLVI_BUILD_GUI=ON -DTOLVI_BUILD_TESTS=OFF -DTOLVI_BUILD_BENCH=OFF \
  -DTOLVI_SANITIZE=OFF -DTOLVI_FUZZ=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" >/dev/null
cmake --build "$build" -j"$(nproc)"

# Only this build's package is left in the folder.
rm -f "$build"/tolvi-numbers_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || {
  cat "$build/cpack.log" >&2
  exit 1
}
package="$(ls "$build"/tolvi-numbers_*.deb)"
echo "$package"

if [ $check = 1 ]; then
  "$root/scripts/check-package.sh" "$package"
fi
