#!/bin/sh
# Builds the Debian package of Dovi, dovi_<version>_<arch>.deb, in build-package/ or in the folder
# given: the program and its libraries in /usr/lib/dovi, what it delivers in /usr/share/dovi, the
# start command /usr/bin/dovi (packaging/install.cmake lays the install out), with Debian's own
# compiler and linker flags (hardening) and stripped binaries.
#
# The .deb is written with dpkg-deb from the staged install rather than by cpack: cpack's DEB
# generator gives any package with a library under /usr/lib, private ones in /usr/lib/dovi included,
# postinst and postrm scripts that run ldconfig, which lintian rightly flags (ldconfig never looks
# in /usr/lib/dovi; the program finds its libraries through its $ORIGIN run path), and it cannot be
# told not to.
set -eu
cd "$(dirname "$0")/.."
umask 022
build="${1:-build-package}"
# Every hardening Debian has (bind now, PIE) besides its defaults.
DEB_BUILD_MAINT_OPTIONS=hardening=+all
export DEB_BUILD_MAINT_OPTIONS
cppflags="$(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_INSTALL_PREFIX=/usr -DDOVI_PACKAGE=ON \
    -DCMAKE_CXX_FLAGS="$cppflags $cxxflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" --parallel

build="$(cd "$build" && pwd)"
stage="$build/stage"
rm -rf "$stage" "$build"/dovi_*.deb
# Stripped: the debug symbols stay out of the package.
DESTDIR="$stage" cmake --install "$build" --strip >/dev/null

version="$(dpkg-parsechangelog -l packaging/changelog -S Version)"
arch="$(dpkg --print-architecture)"
mkdir -m 755 "$stage/DEBIAN"
# dpkg-shlibdeps wants to run beside a debian/control; the private libraries are the package's own.
shlibs="$build/shlibdeps"
mkdir -p "$shlibs/debian"
: >"$shlibs/debian/control"
depends="$(cd "$shlibs" && dpkg-shlibdeps -O -l"$stage/usr/lib/dovi" "$stage/usr/lib/dovi/Dovi" \
    "$stage"/usr/lib/dovi/*.so 2>"$shlibs/warnings" | sed -n 's/^shlibs:Depends=//p')"
# Private libraries without a version and plugin symbols are what it warns about: keep its word aside.
[ -n "$depends" ] || { cat "$shlibs/warnings" >&2; exit 1; }
size="$(du -sk "$stage/usr" | cut -f1)"

sed -e "s#@VERSION@#$version#" -e "s#@ARCH@#$arch#" -e "s#@SIZE@#$size#" -e "s#@DEPENDS@#$depends#" \
    packaging/control.in >"$stage/DEBIAN/control"
(cd "$stage" && find usr -type f | LC_ALL=C sort | xargs -d '\n' md5sum) >"$stage/DEBIAN/md5sums"
chmod 644 "$stage/DEBIAN/control" "$stage/DEBIAN/md5sums"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$build/dovi_${version}_${arch}.deb" >/dev/null
ls "$build/dovi_${version}_${arch}.deb"
