#!/bin/sh
# A new user's first start of an installation, the way the desktop entries start the programs:
# the build is installed into a staging folder (DESTDIR, prefix /usr) and the installed `tolvi`
# is run through the installed launcher with a fresh home folder, twice. Run as root, the same
# again as an unprivileged user where one can be had.
# Usage: LauncherFirstStart.sh CMAKE BUILD_DIR
set -eu
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

DESTDIR=$work/stage "$1" --install "$2" --prefix /usr >"$work/out" 2>&1 || fail "$(cat "$work/out")"
chmod -R a+rX "$work"
prefix=$work/stage/usr

# twoStarts HOME [COMMAND...]: starts `tolvi run` through the launcher as COMMAND runs it, changes
# the history, and starts it again.
twoStarts() {
  home=$1
  shift
  data=$home/.local/share/tolvi-numbers
  for start in first second; do
    "$@" env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$home" \
      "$prefix/libexec/tolvi-numbers/tolvi-numbers-launch" "$prefix/bin/tolvi" run >"$work/out" 2>&1 || true
    if ! grep -qF '回抽選予想番号' "$work/out" || grep -qF 'エラー' "$work/out"; then
      fail "no prediction at the $start start: $(cat "$work/out")"
    fi
    if [ $start = first ]; then
      cmp -s "$prefix/share/tolvi-numbers/Numbers.dat" "$data/Numbers.dat" || fail "$data/Numbers.dat is no copy"
      [ "$(ls -A "$data")" = Numbers.dat ] || fail "left in $data: $(ls -A "$data")"
      # The user's own history, here cut down in place to its first 100 draws, must outlive the
      # next start.
      "$@" sh -c 'head -n 100 "$1" >"$1.new" && cat "$1.new" >"$1" && rm "$1.new"' sh "$data/Numbers.dat" ||
        fail "$data/Numbers.dat cannot be changed by its user"
      cp "$data/Numbers.dat" "$work/changed"
    fi
  done
  cmp -s "$work/changed" "$data/Numbers.dat" || fail "the second start replaced the user's history"
}

mkdir "$work/home"
twoStarts "$work/home"

if [ "$(id -u)" = 0 ] && setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null; then
  mkdir "$work/nobody"
  chown 65534:65534 "$work/nobody"
  twoStarts "$work/nobody" setpriv --reuid=65534 --regid=65534 --clear-groups
else
  echo "no unprivileged user to be had: only the run as $(id -un) was made"
fi
