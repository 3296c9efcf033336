#!/usr/bin/env bash
# Checks the Debian package that scripts/package.sh builds, with the tools distributions use, and
# the programs in it as installed.
#
#   check-package.sh [PACKAGE.deb]     (default: the package in build-release/)
#
# - the control fields: name, version (project() in CMakeLists.txt) and architecture in the file
#   name, the dependencies that no linked library brings (libcurl4, the fonts, xdg-utils,
#   libnotify-bin);
# - lintian: no error and no warning (the tags that stay are overridden, with the reason for each,
#   in packaging/lintian-overrides);
# - `apt-get install --simulate`: on this machine, and against an empty system, so that every
#   dependency is shown to come from the archive (Debian 12) and not from what is installed here;
# - dpkg-deb -c: everything under /usr, owned by root/root, directories and the four programs
#   0755, every other file 0644, links to files in the package, and the files a desktop needs;
# - the extracted tree: desktop-file-validate on both desktop entries, `appstreamcli validate`
#   (--no-net) on the metadata and validate-tree on the whole, the complete history, the version
#   of the newest release in the metadata and in changelog.gz, `systemd-analyze verify` on the
#   update timer and its service (installed, not enabled);
# - the extracted `tolvi` and the launcher's first start, as an unprivileged user (nobody, when
#   run as root) with a new home folder: the data folder is made (0700) and given the installed
#   history, `tolvi run` started through the launcher predicts; both window programs start
#   offscreen and keep running.
# Needs lintian, desktop-file-utils and appstream (scripts/install-deps.sh --tests installs them).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
package="${1:-}"
if [ -z "$package" ]; then
  package="$(ls "${PACKAGE_BUILD_DIR:-$root/build-release}"/tolvi-numbers_*.deb 2>/dev/null | head -n 1)"
  [ -n "$package" ] || {
    echo "パッケージがありません。先に scripts/package.sh を実行してください。" >&2
    exit 2
  }
fi
package="$(cd "$(dirname "$package")" && pwd)/$(basename "$package")"

"$root/scripts/install-deps.sh" --tests

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
chmod 0755 "$work"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
ok() { echo "ok: $*"; }

# --- The control fields ---------------------------------------------------------------------------

version="$(sed -n 's/^project(TolviNumbers VERSION \([^ )]*\).*/\1/p' "$root/CMakeLists.txt")"
arch="$(dpkg --print-architecture)"
[ "$(basename "$package")" = "tolvi-numbers_${version}_${arch}.deb" ] ||
  fail "file name $(basename "$package"), expected tolvi-numbers_${version}_${arch}.deb"
field() { dpkg-deb --field "$package" "$1"; }
[ "$(field Package)" = tolvi-numbers ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), expected $version"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
depends="$(field Depends)"
for needed in 'libcurl4 (>= ' fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n libqt6widgets6 libcsv3 libc6; do
  case ", $depends," in
  *", $needed"*) ;;
  *) fail "Depends lacks $needed: $depends" ;;
  esac
done
[ "$(field Recommends)" = "xdg-utils, libnotify-bin" ] || fail "Recommends: $(field Recommends)"
field Description | grep -q 'ナンバーズ' || fail "no Japanese in the description"
ok "control: tolvi-numbers $version $arch; Depends: $depends"

# --- lintian ---------------------------------------------------------------------------------------

# Everything is shown, information tags and the overridden ones with their reasons too; an error
# or a warning that is not overridden fails.
if ! lintian --fail-on none --display-info --show-overrides "$package" >"$work/lintian" 2>&1; then
  fail "lintian did not run: $(cat "$work/lintian")"
elif grep -qE '^[EW]: ' "$work/lintian"; then
  fail "lintian reports errors or warnings"
else
  ok "lintian: no errors or warnings"
fi
grep -v '^running with root privileges' "$work/lintian" | sed 's/^/  /' || true

# --- Installing, simulated --------------------------------------------------------------------------

if ! ls /var/lib/apt/lists/*_Packages* >/dev/null 2>&1 && [ "$(id -u)" = 0 ]; then
  apt-get update -qq
fi
if apt-get install --simulate "$package" >"$work/apt" 2>&1 && grep -q '^Inst tolvi-numbers ' "$work/apt"; then
  ok "apt-get install --simulate: $(grep -c '^Inst ' "$work/apt") package(s) to install here"
else
  fail "apt-get install --simulate: $(cat "$work/apt")"
fi
: >"$work/empty-status"
if apt-get install --simulate -o Dir::State::status="$work/empty-status" "$package" >"$work/apt" 2>&1 &&
  grep -q '^Inst tolvi-numbers ' "$work/apt"; then
  ok "apt-get install --simulate on an empty system: every dependency resolved ($(grep -c '^Inst ' "$work/apt") packages)"
else
  fail "apt-get install --simulate on an empty system: $(grep -E '^( |E:)' "$work/apt")"
fi

# --- Contents: owners, modes, places ----------------------------------------------------------------

executables=" ./usr/bin/tolvi ./usr/libexec/tolvi-numbers/TolviNumbers3 ./usr/libexec/tolvi-numbers/TolviNumbersMini ./usr/libexec/tolvi-numbers/tolvi-numbers-launch "
dpkg-deb --contents "$package" >"$work/contents"
failures_before=$failures
while read -r mode owner _size _date _time path _arrow target; do
  [ "$owner" = root/root ] || fail "$path is owned by $owner"
  case $path in
  ./ | ./usr/*) ;;
  *) fail "$path is outside /usr" ;;
  esac
  case $mode in
  d*) [ "$mode" = drwxr-xr-x ] || fail "directory $path is $mode" ;;
  l*)
    [ "$mode" = lrwxrwxrwx ] || fail "link $path is $mode"
    case $target in
    /*) link="./${target#/}" ;;
    *) link="$(dirname "$path")/$target" ;;
    esac
    link="$(realpath --canonicalize-missing --no-symlinks --relative-to=/ "/$link")"
    grep -q " \./$link\$" "$work/contents" || fail "link $path points to $target, which is not in the package"
    ;;
  -*)
    case $executables in
    *" $path "*) [ "$mode" = -rwxr-xr-x ] || fail "program $path is $mode" ;;
    *) [ "$mode" = -rw-r--r-- ] || fail "file $path is $mode" ;;
    esac
    ;;
  *) fail "$path is neither a file, a directory nor a link ($mode)" ;;
  esac
done <"$work/contents"
for path in $executables \
  ./usr/bin/TolviNumbers3 ./usr/bin/TolviNumbersMini \
  ./usr/libexec/tolvi-numbers/help.html ./usr/libexec/tolvi-numbers/index.html \
  ./usr/share/tolvi-numbers/Numbers.dat ./usr/share/man/man1/tolvi.1.gz ./usr/share/man/ja/man1/tolvi.1.gz \
  ./usr/share/doc/tolvi-numbers/copyright ./usr/share/doc/tolvi-numbers/changelog.gz \
  ./usr/share/lintian/overrides/tolvi-numbers \
  ./usr/lib/systemd/user/tolvi-numbers-update.service ./usr/lib/systemd/user/tolvi-numbers-update.timer; do
  grep -q " $path\( ->.*\)\?\$" "$work/contents" || fail "$path is missing"
done
for program in TolviNumbers3 TolviNumbersMini; do
  id=io.github.tolvinumbers.$program
  icon=tolvi-numbers${program#TolviNumbers}
  icon=${icon,,}
  for path in ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/$icon.svg \
    ./usr/share/icons/hicolor/{48x48,64x64,96x96,128x128,256x256}/apps/$icon.png; do
    grep -q " $path\$" "$work/contents" || fail "$path is missing"
  done
done
# The update timer is off until a user turns it on: the package enables nothing.
! grep -q '\.wants/' "$work/contents" || fail "the package enables a unit: $(grep '\.wants/' "$work/contents")"
[ $failures != "$failures_before" ] ||
  ok "contents: $(grep -c '' "$work/contents") entries, owners and modes as Debian wants"

# --- The extracted tree -----------------------------------------------------------------------------

tree="$work/tree"
dpkg-deb --extract "$package" "$tree"
usr="$tree/usr"

for entry in "$usr"/share/applications/*.desktop; do
  if desktop-file-validate "$entry" >"$work/out" 2>&1 && [ ! -s "$work/out" ]; then
    ok "desktop-file-validate $(basename "$entry")"
  else
    fail "desktop-file-validate $(basename "$entry"): $(cat "$work/out")"
  fi
  # What the entry starts, as installed.
  exec="$(sed -n 's/^Exec="\{0,1\}\([^" ]*\)"\{0,1\} .*/\1/p' "$entry")"
  [ -x "$tree$exec" ] || fail "$(basename "$entry") starts $exec, which is not in the package"
  tryexec="$(sed -n 's/^TryExec=//p' "$entry")"
  [ -x "$tree$tryexec" ] || fail "$(basename "$entry") tries $tryexec, which is not in the package"
done

appstream() {
  if appstreamcli "$@" >"$work/out" 2>&1 && ! grep -qE '^ *[EW]: ' "$work/out"; then
    ok "appstreamcli $1 $(basename "${*: -1}")"
  else
    fail "appstreamcli $*: $(cat "$work/out")"
  fi
}
for metainfo in "$usr"/share/metainfo/*.metainfo.xml; do
  appstream validate --no-net "$metainfo"
  newest="$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)"
  [ "$newest" = "$version" ] || fail "$(basename "$metainfo"): newest release $newest, expected $version"
done
# The launchables, icons and metadata together, as a software centre finds them.
appstream validate-tree --no-net "$tree"

# The user units as systemd reads them, with the installed manual page their Documentation= names.
units=("$usr"/lib/systemd/user/tolvi-numbers-update.{service,timer})
mkdir -m 0700 "$work/units-runtime"
if ! command -v systemd-analyze >/dev/null; then
  echo "  (systemd-analyze is not installed: the units are not verified)"
elif XDG_RUNTIME_DIR="$work/units-runtime" MANPATH="$usr/share/man" systemd-analyze --user verify "${units[@]}" \
  >"$work/out" 2>&1; then
  ok "systemd-analyze verify: tolvi-numbers-update.service, .timer"
else
  fail "systemd-analyze verify: $(cat "$work/out")"
fi
grep -qF "\"/usr/bin/tolvi\" update --notify" "${units[0]}" || fail "the service does not run /usr/bin/tolvi update"

changelog="$(zcat "$usr/share/doc/tolvi-numbers/changelog.gz" | head -n 1)"
case $changelog in
"tolvi-numbers ($version) "*) ;;
*) fail "changelog.gz starts with: $changelog" ;;
esac
cmp -s "$usr/share/tolvi-numbers/Numbers.dat" "$root/data/Numbers.dat" ||
  fail "share/tolvi-numbers/Numbers.dat is not the complete history data/Numbers.dat"

# --- First start as a new user ----------------------------------------------------------------------

home="$work/home"
runtime="$work/runtime"
mkdir "$home" "$runtime"
chmod 0700 "$runtime"
as_user=()
if [ "$(id -u)" = 0 ] && setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
  chown 65534:65534 "$home" "$runtime"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  user="nobody (65534)"
else
  user="$(id -un) (not root: no other user to be had)"
fi
# A clean environment, as a desktop session would give: no XDG_DATA_HOME, a new HOME.
run() {
  "${as_user[@]}" env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "$@"
}

run "$usr/bin/tolvi" --help >"$work/out" 2>&1 || fail "tolvi --help: $(cat "$work/out")"
status=0
run "$usr/bin/tolvi" >"$work/out" 2>&1 || status=$?
[ $status = 2 ] || fail "tolvi without a command exits $status, not 2"

data="$home/.local/share/tolvi-numbers"
status=0
run "$usr/libexec/tolvi-numbers/tolvi-numbers-launch" "$usr/bin/tolvi" run >"$work/out" 2>&1 || status=$?
if [ $status = 0 ] && grep -qF '回抽選予想番号' "$work/out" && ! grep -qF 'エラー' "$work/out"; then
  ok "first start as $user: $(grep -F '回抽選予想番号' "$work/out" | head -n 1 | sed 's/^ *//')"
else
  fail "first start as $user (exit $status): $(cat "$work/out")"
fi
cmp -s "$usr/share/tolvi-numbers/Numbers.dat" "$data/Numbers.dat" || fail "$data/Numbers.dat is no copy of the installed history"
[ "$(ls -A "$data" 2>&1)" = Numbers.dat ] || fail "in the data folder: $(ls -A "$data" 2>&1)"
[ "$(stat -c %a "$data" 2>&1)" = 700 ] || fail "the data folder: $(stat -c %a "$data" 2>&1), not 700"
[ "$(stat -c %u "$data/Numbers.dat" 2>&1)" = "$(stat -c %u "$home")" ] || fail "the user does not own $data/Numbers.dat"
run "$usr/bin/tolvi" check --dir "$data" >"$work/out" 2>&1 || fail "tolvi check on the user's copy: $(cat "$work/out")"

# The window programs, offscreen: they load their libraries, open their window on the user's
# history and are still running when stopped.
for program in TolviNumbers3 TolviNumbersMini; do
  status=0
  run QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$runtime" timeout 4 \
    "$usr/libexec/tolvi-numbers/tolvi-numbers-launch" "$program" >"$work/out" 2>&1 || status=$?
  if [ $status = 124 ]; then
    ok "$program starts through the launcher (offscreen)"
  else
    fail "$program ended with $status before it was stopped: $(cat "$work/out")"
  fi
done

# --- Summary ----------------------------------------------------------------------------------------

echo "$(basename "$package"): $(stat -c %s "$package") bytes, installed $(field Installed-Size) KiB"
if [ $failures -gt 0 ]; then
  echo "パッケージの検査: $failures 件の問題があります。" >&2
  exit 1
fi
echo "パッケージの検査: 問題はありません。"
