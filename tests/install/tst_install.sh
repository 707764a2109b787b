#!/usr/bin/env bash
# Installs Quillock from an existing build into a temporary home whose data folder's path holds blanks, quotes, a
# dollar sign, a semicolon, an equals sign and a hash, the way a user runs scripts/install.sh, and starts the
# installed program there: tst_install.sh <source folder> <build folder>
set -euo pipefail
source_dir=$1
build_dir=$2
work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
export HOME="$work/home" XDG_DATA_HOME="$work/my \"data\" \$HOME; it's=#1"
share=$XDG_DATA_HOME
folder="$share/quillock"
install() { "$source_dir/scripts/install.sh" --build-dir "$build_dir" "$@"; }

install
for program in quillock quillock-utility; do
    [[ -f "$folder/$program" && -x "$folder/$program" ]] || fail "$program is not installed as a program"
done
cmp -s "$source_dir/data/quillock-help.html" "$folder/quillock-help.html" || fail "the help page is not beside them"
[[ $(stat -c %a "$folder/Quillock.mdb") == 600 ]] || fail "the new data file is not readable by its owner only"
entries=("$share/applications/example.quillock.Quillock.desktop"
         "$share/applications/example.quillock.QuillockUtility.desktop")
desktop-file-validate "${entries[@]}" || fail "desktop-file-validate refused an entry"
appstreamcli validate --no-net "$share/metainfo/example.quillock.Quillock.metainfo.xml" || fail "appstreamcli refused"
[[ -f "$share/icons/hicolor/scalable/apps/example.quillock.Quillock.svg" ]] || fail "no icon"

# The installed program opens its data file in that folder: once it has read it, it holds its lock beside it.
lock="$folder/Quillock.mdb.lock"
lock_held() { [[ -e "$lock" ]] && ! flock -n -x "$lock" true; }
QT_QPA_PLATFORM=offscreen "$folder/quillock" >"$work/quillock.log" 2>&1 &
quillock_pid=$!
for _ in $(seq 200); do lock_held && break; sleep 0.1; done
held=no
lock_held && held=yes
# it dumps no core, which would write its keys and the websites to disk
core_limit=$(awk '/^Max core file size/ {print $5}' "/proc/$quillock_pid/limits")
kill "$quillock_pid"
wait "$quillock_pid" 2>/dev/null || true
[[ $held == yes ]] || fail "the installed program did not open its data file in $folder"
[[ $core_limit == 0 ]] || fail "the program may dump a core of $core_limit bytes"

# A folder whose path holds a "%" is refused (the desktops would not list its entries), and nothing is made.
if install --prefix "$work/100%" 2>/dev/null; then fail "the install took a folder with a %"; fi
[[ ! -e "$work/100%" ]] || fail "a refused install made its folder"

# The desktop starts the installed program from the entry, its path read back whole.
# shellcheck disable=SC2016 # the stub's own shell expands them
printf '#!/bin/sh\nprintf %%s "$0" >"$(dirname "$0")/started"\n' >"$folder/quillock"
gio launch "${entries[0]}"
for _ in $(seq 50); do [[ -s "$folder/started" ]] && break; sleep 0.1; done
[[ $(<"$folder/started") == "$folder/quillock" ]] || fail "the entry started '$(<"$folder/started")'"

# A second install keeps the data file; a link planted at a target is replaced, not written through.
echo "the user's websites" >>"$folder/Quillock.mdb"
before=$(sha256sum <"$folder/Quillock.mdb")
echo "victim" >"$work/victim"
ln -sf "$work/victim" "${entries[1]}"
install
[[ $(sha256sum <"$folder/Quillock.mdb") == "$before" ]] || fail "the second install changed the data file"
[[ $(<"$work/victim") == victim && ! -L "${entries[1]}" ]] || fail "the install wrote through a link"
cmp -s "$build_dir/bin/quillock" "$folder/quillock" || fail "the second install did not renew the program"

# A data file that is a link stops the install and nothing is written at the link's end.
rm "$folder/Quillock.mdb"
ln -s "$work/elsewhere.mdb" "$folder/Quillock.mdb"
if install 2>/dev/null; then fail "the install went on over a linked data file"; fi
[[ ! -e "$work/elsewhere.mdb" ]] || fail "the install wrote a data file through a link"
# The data file writer answers --help with its usage and takes no name beginning with "-" for a file to write.
(
    cd "$work"
    "$build_dir/bin/quillock-make-data-file" --help | grep -q "^usage: quillock-make-data-file" ||
        fail "--help gave no usage"
    if "$build_dir/bin/quillock-make-data-file" -x 2>/dev/null; then fail "a name beginning with - was taken"; fi
    [[ ! -e "$work/--help" && ! -e "$work/-x" ]] || fail "the data file writer wrote a file named as an option"
)

# start.sh builds in a build/ folder configured by the test command without undoing its options; a new folder
# gets the program alone. Its build and package steps are stubbed in a copy of the scripts.
mkdir -p "$work/root/scripts" "$work/root/build"
cp "$source_dir/scripts/start.sh" "$source_dir/scripts/build-program.sh" "$work/root/scripts/"
printf '#!/bin/sh\n' >"$work/root/scripts/install-deps.sh"
printf '#!/bin/sh\necho "$*" >>"%s/built"\n' "$work" >"$work/root/scripts/build.sh"
chmod +x "$work/root/scripts/"*.sh
started() { env -u DISPLAY -u WAYLAND_DISPLAY "$work/root/scripts/start.sh" 2>/dev/null || true; }
started
touch "$work/root/build/CMakeCache.txt"
started
[[ $(<"$work/built") == $'build -DQUILLOCK_TESTS=OFF -DQUILLOCK_BENCHMARKS=OFF\nbuild' ]] ||
    fail "start.sh configured build/ with: $(<"$work/built")"
echo "PASS"
