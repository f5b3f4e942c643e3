# Shared by tools/install.sh and tools/uninstall.sh: where a per-user
# install lives, following the freedesktop conventions, and the checks that
# refuse a folder before anything is changed.
#   program folder   DIR (default ~/.local/share/kakeibo): the program with
#                    its Icon.ico and library, and the book ("MD.dat",
#                    "Item.dat"), which the program keeps beside itself
#   launcher         $XDG_DATA_HOME/applications/org.kakeibo.Kakeibo.desktop
#   icons            $XDG_DATA_HOME/icons/hicolor/SIZExSIZE/apps/org.kakeibo.Kakeibo.png
#   metainfo         $XDG_DATA_HOME/metainfo/org.kakeibo.Kakeibo.metainfo.xml

APP_ID=org.kakeibo.Kakeibo
ICON_SIZES=(16 32 48 64 128)
PROGRAM_FILES=(kakeibo libkakeibo_instance.so Icon.ico)
BOOK_FILES=(MD.dat Item.dat)

refuse() {
    echo "$(basename "$0"): $*; nothing was changed." >&2
    exit 1
}

# XDG_DATA_HOME when it is an absolute path (a relative one is ignored, as
# desktops do), else ~/.local/share.
data_home() {
    if [[ ${XDG_DATA_HOME:-} == /* ]]; then
        printf '%s' "$XDG_DATA_HOME"
    else
        printf '%s' "$HOME/.local/share"
    fi
}

# Refuses a path that a desktop entry cannot carry: control characters
# (a newline, a tab ...) or bytes that are not UTF-8.
check_characters() {
    local path=$1
    [[ $path == *[[:cntrl:]]* ]] && refuse "the folder name holds a control character (a newline, a tab ...)"
    printf '%s' "$path" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1 || refuse "the folder name is not UTF-8"
    return 0
}

# Refuses a folder that is not one, or that this user could not write (or,
# when it is missing, could not create).
check_writable_folder() {
    local path=$1 what=$2
    if [[ -e $path || -L $path ]]; then
        [[ -d $path ]] || refuse "$what $path is not a folder"
        [[ -w $path && -x $path ]] || refuse "$what $path is not writable by you"
        return 0
    fi
    local parent
    parent=$(dirname "$path")
    [[ $parent == "$path" ]] && refuse "$what $path cannot be created"
    check_writable_folder "$parent" "$what"
}

# The program folder: DIR as given (made absolute), or the default.
program_folder() {
    local dir=${1:-$(data_home)/kakeibo}
    check_characters "$dir"
    [[ $dir == /* ]] || dir=$PWD/$dir
    printf '%s' "${dir%/}"
}

# The Exec value that starts PROGRAM, quoted the way launchers read it:
# inside double quotes a backslash escapes " ` $ and \, then the string
# value escapes every backslash once more, and % is %%.
desktop_exec() {
    local arg=$1
    arg=${arg//\\/\\\\}
    arg=${arg//\"/\\\"}
    arg=${arg//\`/\\\`}
    arg=${arg//\$/\\\$}
    arg="\"$arg\""
    arg=${arg//\\/\\\\}
    arg=${arg//%/%%}
    printf '%s' "$arg"
}
