#!/usr/bin/env bash
# Installs Quillock for the current user, so that Quillock and Quillock Utility appear in the desktop's menu.
#
#   install.sh [--prefix FOLDER] [--build-dir FOLDER]
#
#   --prefix FOLDER     where the programs go (default: ${XDG_DATA_HOME:-~/.local/share}/quillock). The data file
#                       lives beside the programs, so the folder must be the user's own and writable.
#   --build-dir FOLDER  take the programs already built in FOLDER/bin and build nothing (default: build the
#                       project's build/ folder first, installing missing Debian packages as start.sh does)
#
# The folder receives quillock, quillock-utility, the help page and, when none is there, a new data file
# Quillock.mdb; an existing data file is never touched. The desktop entries, the icon and the AppStream
# metadata go under the user's XDG data folder. Every file is written to a new temporary file and renamed
# over its target, so a link standing at a target is replaced, never written through; a target folder that
# is a link, or a data file that is a link or not a regular file, stops the install.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

die() {
    echo "install.sh: $*" >&2
    exit 1
}

usage() {
    sed -n '3,9s/^# \{0,1\}//p' "$0" >&2
    exit 2
}

# The XDG data folder: XDG_DATA_HOME when it is an absolute path, ~/.local/share otherwise.
data_home() {
    if [[ "${XDG_DATA_HOME:-}" == /* ]]; then
        printf '%s' "$XDG_DATA_HOME"
    else
        [[ "${HOME:-}" == /* ]] || die "HOME is not set to an absolute path"
        printf '%s' "$HOME/.local/share"
    fi
}

absolute() {
    if [[ "$1" == /* ]]; then printf '%s' "$1"; else printf '%s' "$PWD/$1"; fi
}

prefix=""
build=""
while [[ $# -gt 0 ]]; do
    case "$1" in
    --prefix) [[ $# -ge 2 ]] || usage; prefix=$2; shift 2 ;;
    --build-dir) [[ $# -ge 2 ]] || usage; build=$2; shift 2 ;;
    *) usage ;;
    esac
done

share=$(data_home)
prefix=$(absolute "${prefix:-$share/quillock}")
# A desktop entry holds the path as UTF-8 text on one line; GLib's desktops do not list an entry whose program
# path holds a "%", even when it is escaped.
[[ "$prefix" =~ [[:cntrl:]%] ]] && die "the install folder's path holds a control character or a %: $prefix"
iconv -f UTF-8 -t UTF-8 <<<"$prefix" >/dev/null 2>&1 || die "the install folder's path is not UTF-8 text"

if [[ -z "$build" ]]; then
    build="$root/build"
    "$root/scripts/build-program.sh"
fi
bin=$(absolute "$build")/bin
for file in quillock quillock-utility quillock-make-data-file quillock-help.html; do
    [[ -f "$bin/$file" && ! -L "$bin/$file" ]] || die "$bin/$file is missing: build Quillock first"
done

temporaries=()
trap 'rm -f -- "${temporaries[@]}"' EXIT

# Makes a folder (and its parents) and refuses one that is a link or that the user cannot write.
make_folder() {
    local folder=$1 mode=$2
    [[ -L "$folder" ]] && die "$folder is a link; remove it or choose another folder"
    if [[ ! -e "$folder" ]]; then
        mkdir -p -- "$(dirname -- "$folder")"
        mkdir -m "$mode" -- "$folder"
    fi
    [[ -d "$folder" && -O "$folder" && -w "$folder" ]] || die "$folder is not a folder of yours that you can write"
}

# Writes standard input to the target through a new temporary file in the target's folder, then renames it
# over the target: whatever stood there (a link included) is replaced, nothing is written through it.
write_file() {
    local target=$1 mode=$2 temporary
    [[ -d "$target" && ! -L "$target" ]] && die "$target is a folder"
    temporary=$(mktemp -- "$(dirname -- "$target")/.quillock-install.XXXXXX")
    temporaries+=("$temporary")
    cat >"$temporary"
    chmod "$mode" -- "$temporary"
    mv -fT -- "$temporary" "$target"
}

# The Exec value of a desktop entry for one program path: the path in double quotes, with ", `, $ and \
# escaped by a backslash inside them; then, as for any string value, each backslash doubled.
# (Replacements are quoted so that bash takes no & or \ in them for a pattern's match or an escape.)
desktop_exec() {
    local text=$1 c
    # shellcheck disable=SC1003 # the first is a lone backslash
    for c in '\' '"' '`' '$'; do
        text=${text//"$c"/"\\$c"}
    done
    text="\"$text\""
    desktop_string "$text"
}

# A plain string value of a desktop entry: each backslash doubled.
desktop_string() {
    printf '%s' "${1//\\/"\\\\"}"
}

install_entry() {
    local template=$1 program=$2 text
    text=$(<"$root/data/desktop/$template.desktop.in")
    text=${text/@TRYEXEC@/"$(desktop_string "$prefix/$program")"}
    text=${text/@EXEC@/"$(desktop_exec "$prefix/$program")"}
    printf '%s\n' "$text" | write_file "$share/applications/$template.desktop" 644
}

# The programs, the help page and the data file, in a folder readable by its owner only: the data file
# holds the websites' passwords.
make_folder "$prefix" 700
write_file "$prefix/quillock" 755 <"$bin/quillock"
write_file "$prefix/quillock-utility" 755 <"$bin/quillock-utility"
write_file "$prefix/quillock-help.html" 644 <"$bin/quillock-help.html"
data="$prefix/Quillock.mdb"
if [[ -L "$data" ]] || [[ -e "$data" && ! -f "$data" ]]; then
    die "$data is a link or not a regular file; it was left as it is and the install stopped"
elif [[ -e "$data" ]]; then
    echo "Kept the existing data file $data"
else
    "$bin/quillock-make-data-file" "$data"
fi

# The desktop's menu entries, icon and software-centre metadata.
make_folder "$share/applications" 755
make_folder "$share/icons/hicolor/scalable/apps" 755
make_folder "$share/metainfo" 755
# An entry's file name is the application ID under which the desktop starts the program from its menu (in a scope
# app-example.quillock.Quillock-<number>): KDE's portal asks consent to type only of a program it knows by that ID.
install_entry example.quillock.Quillock quillock
install_entry example.quillock.QuillockUtility quillock-utility
write_file "$share/icons/hicolor/scalable/apps/example.quillock.Quillock.svg" 644 \
    <"$root/data/desktop/example.quillock.Quillock.svg"
write_file "$share/metainfo/example.quillock.Quillock.metainfo.xml" 644 \
    <"$root/data/desktop/example.quillock.Quillock.metainfo.xml"

echo "Installed Quillock in $prefix."
echo "Start it from the desktop's menu (Quillock, Quillock Utility) or as $prefix/quillock."
