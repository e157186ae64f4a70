#!/usr/bin/env bash
# The Debian package as a user gets it: installed with apt; the installed programs answer
# --version; the program started the way its menu entry starts it, off-screen, against the
# installed quorvane-sim, writes letadlo.kml and keeps its settings in ~/.config/quorvane; then
# the package is purged and nothing it brought is left behind. The desktop entry, the
# metainfo and the package itself are checked by their validators on the way.
# Usage: debian_package_check.sh PACKAGE.deb. Needs root (apt); one run at a time on a machine.
set -euo pipefail
deb=$(realpath "$1")
cd /
fail() { echo "debian package check: $*" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then
  echo "debian package check: skipped, installing with apt needs root"
  exit 0
fi
package=$(dpkg-deb --field "$deb" Package)
version=$(dpkg-deb --field "$deb" Version)

# The package is installed machine-wide: one check at a time, and never over a copy someone
# installed for use.
exec 8>/tmp/quorvane-debian-package-check.lock
flock 8
status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
if [ -n "$status" ] && [ "$status" != "not-installed" ]; then
  fail "$package is installed here already ($status); purge it first: apt-get purge $package"
fi

lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' ||
  [ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian reports the tags above"

work=$(mktemp -d /tmp/quorvane-package-XXXXXX)
sim="" program=""
cleanup() {
  for process in $program $sim; do
    kill -KILL "$process" 2>/dev/null || true
    wait "$process" 2>/dev/null || true
  done
  DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$package" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT

# What is on the machine before: the package's folders may be shared with other packages, and
# its maintainer scripts or triggers could leave files it does not list.
snapshot() { find /usr /etc /opt -xdev 2>/dev/null | LC_ALL=C sort; }
snapshot > "$work/before"
mapfile -t paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|; s|/$||' | grep .)
declare -A existed
for path in "${paths[@]}"; do
  if [ -e "$path" ]; then existed[$path]=1; fi
done

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get could not install $deb"; }
mapfile -t listed < <(dpkg -L "$package")

[ "$(command -v quorvane)" = /usr/bin/quorvane ] || fail "quorvane is not /usr/bin/quorvane"
[ "$(quorvane --version)" = "quorvane $version" ] || fail "quorvane --version: $(quorvane --version)"
[ "$(quorvane-probe --version)" = "quorvane-probe $version" ] || fail "quorvane-probe --version"
[ "$(quorvane-sim --about)" = "quorvane-sim $version" ] || fail "quorvane-sim --about"
entry=$(dpkg -L "$package" | grep '^/usr/share/applications/.*\.desktop$')
desktop-file-validate "$entry" || fail "desktop-file-validate finds fault with $entry"
appstreamcli validate --no-net /usr/share/metainfo/*quorvane*.xml >"$work/appstream.log" ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli finds fault with the metainfo"; }

# A user's fresh desktop: a home with its Documents folder named, a private runtime folder for
# the simulator's socket, and a stand-in opener that only records what it is asked to open.
home="$work/home"
mkdir -p "$home/.config" "$home/Documents" "$work/bin" "$work/run"
chmod 0700 "$work/run"
echo "XDG_DOCUMENTS_DIR=\"\$HOME/Documents\"" > "$home/.config/user-dirs.dirs"
printf '#!/bin/sh\necho "$*" >> "%s/opened"\n' "$work" > "$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"
as_user=(env -i HOME="$home" PATH="$work/bin:/usr/bin:/bin" XDG_RUNTIME_DIR="$work/run"
  QT_QPA_PLATFORM=offscreen)

"${as_user[@]}" quorvane-sim --lat 50.1 --lon 14.25 --speed 80 --ready-file "$work/run/ready" 8>&- &
sim=$!
for _ in $(seq 100); do [ -e "$work/run/ready" ] && break; sleep 0.1; done
[ -e "$work/run/ready" ] || fail "the installed quorvane-sim did not start"

# The menu runs the entry's command in the user's home folder.
read -r -a command < <(sed -n 's/^Exec=//p' "$entry")
(cd "$home" && exec "${as_user[@]}" "${command[@]}" >"$work/program.log" 2>&1 8>&-) &
program=$!
for _ in $(seq 300); do [ -e "$home/Documents/letadlo.kml" ] && break; sleep 0.1; done
[ -e "$home/Documents/letadlo.kml" ] || { cat "$work/program.log" >&2; fail "no letadlo.kml"; }
grep -q '<coordinates>14.250000,50.100000,10</coordinates>' "$home/Documents/letadlo.kml" ||
  fail "letadlo.kml does not hold the aircraft"
kill -TERM "$program"
status=0
wait "$program" || status=$?
program=""
[ "$status" -eq 0 ] || { cat "$work/program.log" >&2; fail "quorvane ended with $status"; }
[ -s "$home/.config/quorvane/quorvane.INI" ] || fail "no settings in ~/.config/quorvane"
[ ! -e "$home/quorvane.INI" ] || fail "the settings went to the folder the menu started it in"
grep -q '<coordinates>14.250000,50.100000,0 </coordinates>' "$home/Documents/trasa.kml" ||
  fail "trasa.kml does not hold the route"

DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq "$package" >"$work/apt.log" 2>&1 ||
  { cat "$work/apt.log" >&2; fail "apt-get could not purge $package"; }
left=()
for path in "${listed[@]}" "${paths[@]}"; do
  case "$path" in / | /.) continue ;; esac
  if [ -e "$path" ] && [ -z "${existed[$path]:-}" ]; then left+=("$path"); fi
done
snapshot > "$work/after"
mapfile -t -O "${#left[@]}" left < <(LC_ALL=C comm -13 "$work/before" "$work/after")
[ ${#left[@]} -eq 0 ] || fail "left behind after the purge: ${left[*]}"
echo "debian package check: $(basename "$deb") installed, ran from its menu entry against" \
  "quorvane-sim and purged without a trace"
