#!/usr/bin/env bash
# Builds the Linux programs for release (build-deb) and packs them as a Debian package,
# dist/quorvane_<version>_<architecture>.deb: the programs, the desktop entry, the icons, the
# AppStream metainfo, the man pages and FlightGear's protocol files, as `cmake --install` lays
# them out under /usr. Its dependencies are computed from the programs' libraries
# (dpkg-shlibdeps). Installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/ensure-packages.sh

# Built the way Debian builds its own packages: its compiler and linker flags, hardening
# included (dpkg-buildflags), and no build type adding flags of its own.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DQUORVANE_BUILD_TESTS=OFF -DQUORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-deb
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-deb/CMakeCache.txt)
release_date=$(sed -n 's/^set(QUORVANE_RELEASE_DATE \(.*\))$/\1/p' CMakeLists.txt)
architecture=$(dpkg --print-architecture)
package=quorvane

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
# Laid out the way dpkg-shlibdeps expects a package being built, in a source tree's debian/.
root="$staging/src/debian/$package"
DESTDIR="$root" cmake --install build-deb >/dev/null
mkdir "$root/DEBIAN"
# Stripped as Debian's own build helpers strip, notes and compiler comments included.
strip --remove-section=.comment --remove-section=.note --strip-unneeded "$root"/usr/bin/*

# What Debian asks of every package beside the programs: the copyright and a changelog.
doc="$root/usr/share/doc/$package"
mkdir -p "$doc"
cat > "$doc/copyright" <<TEXT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quorvane

Files: *
Copyright: ${release_date%%-*} The Quorvane developers
License: no license granted
 The authors have not published Quorvane under a licence yet.
TEXT
cat > "$staging/changelog" <<TEXT
$package ($version) unstable; urgency=medium

  * Quorvane $version.

 -- The Quorvane developers <quorvane@users.noreply.invalid>  $(LC_ALL=C date -u -R -d "$release_date")
TEXT
gzip --best --no-name -c "$staging/changelog" > "$doc/changelog.gz"
# Tags of lintian, Debian's package checker, that do not apply here (docs/packaging.md).
mkdir -p "$root/usr/share/lintian/overrides"
cat > "$root/usr/share/lintian/overrides/$package" <<TEXT
# "Lon:" is the longitude in the status texts, as Quorvane's users know them.
$package: spelling-error-in-binary Lon Long [usr/bin/*]
$package: typo-in-manual-page Lon Long [usr/share/man/man1/quorvane-probe.1.gz:*]
TEXT

# The libraries the programs link decide the dependencies. dpkg-shlibdeps needs the source
# tree's debian/control, which is made up here for it.
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$package" "$package" \
  > "$staging/src/debian/control"
(cd "$staging/src" && dpkg-shlibdeps -O "debian/$package"/usr/bin/*) > "$staging/substvars"
depends=$(sed -n 's/^shlibs:Depends=//p' "$staging/substvars")

cat > "$root/DEBIAN/control" <<TEXT
Package: $package
Version: $version
Architecture: $architecture
Maintainer: The Quorvane developers <quorvane@users.noreply.invalid>
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends
Recommends: xdg-user-dirs, xdg-utils
Section: utils
Priority: optional
Description: shows the flight simulator's aircraft in Google Earth
 Quorvane follows the aircraft of a running flight simulator through FSUIPC
 (or WideClient) and writes its position, heading and the route flown as KML
 files for Google Earth, and the route as a GPX track.
 .
 The package also holds quorvane-sim, a stand-in simulator for trying
 Quorvane without one, and quorvane-probe, which checks the link to the
 simulator.
TEXT
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) > "$root/DEBIAN/md5sums"
find "$root" -type d -exec chmod 0755 {} +
find "$root" -type f -exec chmod go-w {} +
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

mkdir -p dist
rm -f dist/"${package}"_*.deb
output="dist/${package}_${version}_${architecture}.deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$output" >/dev/null
echo "$output:"
dpkg-deb --info "$output" | sed -n 's/^ \(Package\|Version\|Depends\|Recommends\|Installed-Size\):/  \1:/p'
