#!/usr/bin/env bash
# The downloads as a user gets them. scripts/package runs in two clones of this commit in folders
# of different names and lengths, and must write the same bytes in both; SHA256SUMS names every
# download; each zip holds the five files, the guides in the code page with CRLF; each program
# and installer carries the version of CMakeLists.txt's project(); the program unpacked into a
# fresh folder shows its window under Wine, finds the files of a tree made here and ends with exit
# code 0 on Fine; and each installer, run silently in a fresh Wine prefix of its bitness, puts
# the zip's files, the Start-menu shortcut and the uninstall entry in place, its program searches
# the same way, a second install replaces a changed file, neither installer nor uninstaller
# changes anything while the installed program runs, the silent uninstaller leaves none of them
# behind, a desktop shortcut asked for with /DESKTOP outlives a silent install over it, and the
# uninstall entry goes only with the last installed file (the 32-bit downloads run only where the
# host runs 32-bit programs). Both programs, the build's and the zip's, are large-address-aware
# and hardened. None of the programs, installers and uninstallers loads a DLL planted beside it.
# The program's first icon resource, the installer's and the uninstaller's icon are the eight
# images of the zip's "new icon.ico", and the installer's shortcuts start the program in the
# install folder, where its window loads that file.
# Prints its checks in GoogleTest's words, so that scripts/test counts them. Needs what
# scripts/test provides: both builds' vdrive.exe, an X display, Wine started for the bitnesses
# that run here. It packages the commit checked out (HEAD), not uncommitted changes.
set -uo pipefail
source "$(dirname "$0")/../../scripts/lib.sh"

passed=0
failed=0
pass() {
    echo "[       OK ] Release.$1"
    passed=$((passed + 1))
}
fail() {
    echo "[  FAILED  ] Release.$1"
    shift
    printf '    %s\n' "$@"
    failed=$((failed + 1))
}
finish() {
    echo "[  PASSED  ] $passed tests."
    if [ "$failed" -ne 0 ]; then
        echo "[  FAILED  ] $failed tests, listed above"
        exit 1
    fi
    exit 0
}

tmp=$(mktemp -d)
setup_servers=()
stop_setup_servers() {
    local server
    for server in "${setup_servers[@]}"; do
        WINEPREFIX="${server% *}" "/usr/lib/wine/wineserver${server##* }" -k 2>/dev/null || true
    done
}
trap 'stop_wine; stop_setup_servers; rm -rf "$tmp"' EXIT
version=$(sed -nE 's/^project\(vortilo VERSION ([0-9]+\.[0-9]+\.[0-9]+)[ )].*/\1/p' \
    "$root/CMakeLists.txt")
commit=$(git -C "$root" rev-parse HEAD)

# Two checkouts of this commit, each packaged on its own.
for name in one second-checkout; do
    if ! git clone -q --local --no-checkout "$root" "$tmp/$name" ||
        ! git -C "$tmp/$name" checkout -q --detach "$commit" ||
        ! bash "$tmp/$name/scripts/package" >"$tmp/$name.log" 2>&1; then
        fail PackageRuns "scripts/package failed in a clone of $commit:" \
            "$(tail -n 20 "$tmp/$name.log")"
        finish
    fi
done
pass PackageRuns

dist="$tmp/one/dist"
downloads=("vortilo-$version-win32.zip" "vortilo-$version-win64.zip"
    "vortilo-$version-win32-setup.exe" "vortilo-$version-win64-setup.exe")
differ=()
for f in "${downloads[@]}" SHA256SUMS; do
    cmp -s "$dist/$f" "$tmp/second-checkout/dist/$f" || differ+=("$f")
done
if [ ${#differ[@]} -eq 0 ]; then
    pass SameBytesFromTwoCheckouts
else
    fail SameBytesFromTwoCheckouts "differ between the two checkouts: ${differ[*]}"
fi

listed=$(awk '{print $2}' "$dist/SHA256SUMS" | tr '\n' ' ')
if [ "$listed" = "${downloads[*]} " ] && (cd "$dist" && sha256sum -c --quiet SHA256SUMS); then
    pass ChecksumsOfEveryDownload
else
    fail ChecksumsOfEveryDownload "SHA256SUMS lists: $listed" "expected: ${downloads[*]}"
fi

# The version resource of a program or installer: the strings given as NAME|VALUE, and the
# numbers of the fixed part (after its signature FEEF04BD: structure version, then file and
# product version, each as major.minor and patch.0).
le() {
    printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24))
}
IFS=. read -r major minor patch <<<"$version"
numbers=$(le $((major << 16 | minor)))$(le $((patch << 16)))
version_check() {
    local test=$1 file=$2 objdump=$3 structure=$4 has_entry strings fixed pair missing=()
    shift 4
    has_entry=$("$objdump" -p "$file" 2>/dev/null | grep -cE '^[0-9a-f]+   Entry: ID: 0x000010,')
    strings=$(strings -el "$file" | sed -n '/^StringFileInfo$/,/^VarFileInfo$/p' | tr '\n' '|')
    for pair in "$@"; do
        [[ "$strings" == *"|$pair|"* ]] || missing+=("$pair")
    done
    fixed=$(od -An -tx1 -v "$file" | tr -d ' \n' | grep -oE 'bd04effe[0-9a-f]{40}' | head -n 1)
    if [ "$has_entry" -eq 1 ] && [ ${#missing[@]} -eq 0 ] &&
        [ "$fixed" = "bd04effe$structure$numbers$numbers" ]; then
        pass "$test"
    else
        fail "$test" "version entries in the resource directory: $has_entry" \
            "strings: $strings" "missing: ${missing[*]}" \
            "fixed part: '$fixed', expected bd04effe$structure$numbers$numbers"
    fi
}

# icon_images FILE: the images of an icon file, or of a program's first icon resource, one a line
# in the icon's order: width x height x bits per pixel, how it is stored (png or bmp), and the
# SHA-256 of the image.
icon_images() {
    local ico="$tmp/icon.ico" name line index size at magic
    rm -f "$ico"
    if [[ "$1" == *.ico ]]; then
        cp "$1" "$ico" 2>/dev/null
    else
        name=$(wrestool -l --type=14 "$1" 2>/dev/null | sed -n '1s/.* --name=\([^ ]*\) .*/\1/p')
        wrestool -x --type=14 --name="$name" "$1" >"$ico" 2>/dev/null
    fi
    icotool -l "$ico" 2>/dev/null | while read -r line; do
        index=$(sed 's/.*--index=\([0-9]*\) .*/\1/' <<<"$line")
        size=$(sed 's/.*--width=\([0-9]*\) --height=\([0-9]*\) --bit-depth=\([0-9]*\).*/\1x\2x\3/' \
            <<<"$line")
        # The directory entry's offset of its image, which a PNG starts with its signature.
        at=$(od -An -tu4 -j $((6 + 16 * (index - 1) + 12)) -N4 "$ico" | tr -d ' ')
        magic=$(od -An -tx1 -j "$at" -N4 "$ico" | tr -d ' ')
        echo "$size $([ "$magic" = 89504e47 ] && echo png || echo bmp)" \
            "$(icotool -x -i "$index" -o - "$ico" | sha256sum | cut -c1-64)"
    done
}
icon_sizes="16x16x32 bmp|20x20x32 bmp|24x24x32 bmp|32x32x32 bmp|40x40x32 bmp|48x48x32 bmp|"
icon_sizes+="64x64x32 bmp|256x256x32 png|"

# starts_in SHORTCUT FOLDER: true when the shortcut's working directory is FOLDER, a string of its
# string data: a 16-bit count of characters, then UTF-16LE (Wine counts and writes the final null).
starts_in() {
    local want
    want=$(printf ' %02x %02x' $(((${#2} + 1) & 255)) $(((${#2} + 1) >> 8)))
    want+=$(printf '%s\0' "$2" | iconv -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ' ')
    [[ "$(od -An -tx1 -v "$1" 2>/dev/null | tr -s ' \n' ' ')" == *"$want"* ]]
}

# A small tree: three .txt files on three levels, and one that the pattern leaves out.
tree="$tmp/tree"
mkdir -p "$tree/sub/deeper"
printf 'alpha' >"$tree/a.txt"
printf 'bravo!' >"$tree/sub/b.txt"
printf 'charlie' >"$tree/sub/deeper/c.txt"
printf 'left out' >"$tree/sub/d.dat"
win() { echo "Z:$1" | tr / '\\'; }

verdict() {
    if [ ${#problems[@]} -eq 0 ]; then
        pass "$1"
    else
        fail "$1" "${problems[@]}"
    fi
}

# A DLL left beside a program under the name of one of Windows' own must never be the one loaded,
# though a program's folder is searched first (under Wine with NAME=n,b, as on Windows). The names:
# those that programs import by name and those that Windows' own libraries load by name on
# demand. Two are left out, because Wine's own libraries load them by name before the first line
# of any program runs, where Windows' do not: version, which Wine's user32 imports (the program's
# own imports are read in tests/win32/pe_tables_test.sh), and uxtheme, which Wine's comctl32
# loads while it attaches to the process.
planted_names=(winmm dwmapi propsys cryptbase userenv oleacc clbcatq apphelp setupapi)

# plant BITS FOLDER NAME...: the build's planted.dll in FOLDER under each NAME.
plant() {
    local build name
    build=$(windows_build "$1")
    for name in "${@:3}"; do
        cp "$build/planted.dll" "$2/$name.dll"
    done
}

# planted_overrides NAME...: Wine told to look for each NAME beside the program first.
planted_overrides() {
    local IFS=,
    echo "$*=n,b"
}

# loaded_marks FOLDER...: a problem for each planted DLL in FOLDER that a process loaded.
loaded_marks() {
    local mark
    while IFS= read -r mark; do
        [ -z "$mark" ] || problems+=("loaded: ${mark%.loaded}")
    done <<<"$(find "$@" -maxdepth 1 -iname '*.dll.loaded' 2>/dev/null | sort)"
}

# search_check TEST BITS HOME EXE FOLDER: the program EXE (a Windows path), started by vdrive in
# FOLDER in the Wine prefix of the build tree HOME, shows its window, finds the tree's three .txt
# files and ends with exit code 0 on Fine.
search_check() {
    local test=$1 bits=$2 home=$3 exe=$4 folder=$5 build pid title out count status rows t
    local want_rows code
    build=$(windows_build "$bits")
    drive() {
        VORTILO_BUILD="$home" VORTILO_EXE="$exe" "$root/tests/wine-run" "$build/vdrive.exe" "$@" \
            </dev/null
    }
    problems=()
    # The program inherits vdrive's Unix stderr, so it goes to a file: a pipe held open by the
    # running program would never end the command substitution.
    if ! pid=$(drive start "$folder" 2>"$tmp/start.err"); then
        fail "$test" "vdrive start: $(cat "$tmp/start.err")"
        return
    fi
    title=$(drive --pid "$pid" window | sed -n 's/^title //p')
    [ "$title" = '"Vortilo Quadrel Soft v 0.1"' ] || problems+=("title: $title")
    drive --pid "$pid" settext 3174 "$(win "$tree")" >/dev/null
    drive --pid "$pid" settext 3164 '*.txt' >/dev/null
    drive --pid "$pid" click 3145 >/dev/null
    if out=$(drive --pid "$pid" waittext 3145 '&Cerca' 2>&1); then
        count=$(drive --pid "$pid" text 3135)
        [ "$count" = '"3 files trovati"' ] || problems+=("count: $count")
        status=$(drive --pid "$pid" text 3134)
        [[ "$status" == '"Trovati:  3 *.txt  per un totale di 18 bytes. (in '* ]] ||
            problems+=("summary: $status")
        # Name and folder of each row, in any order.
        rows=$(drive --pid "$pid" cells | awk -F'\t' '{print $2 $4}' | sort | tr '\n' ' ')
        t=$(win "$tree" | sed 's/\\/\\\\/g')
        want_rows="\"a.txt\"\"$t\\\\\" \"b.txt\"\"$t\\\\sub\\\\\" "
        want_rows+="\"c.txt\"\"$t\\\\sub\\\\deeper\\\\\" "
        [ "$rows" = "$want_rows" ] || problems+=("rows: $rows" "expected: $want_rows")
    else
        problems+=("the search did not end: $out")
    fi
    drive --pid "$pid" click 2 >/dev/null
    code=$(drive wait-exit "$pid" 2>&1)
    [ "$code" = 0 ] || problems+=("exit code after Fine: $code")
    verdict "$test"
}

# setup_check BITS: the build's installer, run silently in a fresh Wine prefix of its bitness
# (wine-run makes it in a tree of its own; the Italian locale is the build tree's), installs the
# zip's files, the uninstaller, the Start-menu shortcut and the uninstall entry; the installed
# program searches; a second install puts back a file changed since; the silent uninstaller
# leaves none of it behind; the other checks are described where they run.
setup_check() {
    local bits=$1 home="$tmp/setup$bits" setup="$dist/vortilo-$version-win$bits-setup.exe"
    local unpacked="$tmp/unpacked$bits" prefix user profile dir win_dir menu desktop left pid code
    local key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Vortilo'
    prefix="$home/wineprefix$bits"
    mkdir -p "$home"
    ln -s "$(windows_build "$bits")/locale" "$home/locale"
    # Wine links the prefix's Desktop to the home folder: a home of its own keeps the installer
    # away from the real one.
    local -x HOME="$home"
    in_prefix() { VORTILO_BUILD="$home" VORTILO_BITS=$bits "$root/tests/wine-run" "$@" </dev/null; }
    drive_installed() {
        VORTILO_BUILD="$home" VORTILO_EXE="$win_dir\\vortilo.exe" "$root/tests/wine-run" \
            "$(windows_build "$bits")/vdrive.exe" "$@" </dev/null
    }
    setup_servers+=("$prefix $bits")
    problems=()
    # The prefix is made and its services started with their output to a file, which they keep
    # open while they run.
    if ! in_prefix cmd /c exit >"$home/start.log" 2>&1; then
        fail "SilentInstall_win$bits" "Wine cannot start a program: $(cat "$home/start.log")"
        return
    fi
    for profile in "$prefix"/drive_c/users/*/; do
        [[ "$profile" == */Public/ ]] || user=$(basename "$profile")
    done
    profile="$prefix/drive_c/users/$user"
    dir="$profile/AppData/Local/Programs/Vortilo"
    win_dir="C:\\users\\$user\\AppData\\Local\\Programs\\Vortilo"
    menu="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Vortilo.lnk"
    desktop="$profile/Desktop/Vortilo.lnk"
    # A desktop shortcut of the same name that the user made (to an unpacked zip, say): neither
    # the installs nor the uninstall, which were not asked for one, may touch it.
    mkdir -p "$(dirname "$desktop")"
    printf 'mine' >"$desktop"
    in_prefix "$setup" /S || problems+=("the installer failed")

    # installed [ours]: ours when the desktop shortcut is the installer's, else the user's own.
    installed() {
        local files f size=0 want listed
        files=$(cd "$dir" 2>/dev/null && LC_ALL=C ls -A | tr '\n' ' ')
        want="LEGGIMI.txt LICENSE.txt README.txt new icon.ico uninstall.exe vortilo.exe "
        [ "$files" = "$want" ] || problems+=("installed: $files")
        for f in vortilo.exe "new icon.ico" LEGGIMI.txt README.txt LICENSE.txt; do
            cmp -s "$dir/$f" "$unpacked/$f" || problems+=("$f differs from the zip's")
        done
        for f in "$dir"/*; do
            size=$((size + $(stat -c %s "$f")))
        done
        strings -a "$menu" 2>/dev/null | grep -qxF "$win_dir\\vortilo.exe" ||
            problems+=("no Start-menu shortcut to $win_dir\\vortilo.exe")
        starts_in "$menu" "$win_dir" || problems+=("the Start-menu shortcut starts elsewhere")
        if [ "${1:-}" = ours ]; then
            strings -a "$desktop" 2>/dev/null | grep -qxF "$win_dir\\vortilo.exe" ||
                problems+=("no desktop shortcut to $win_dir\\vortilo.exe")
            starts_in "$desktop" "$win_dir" || problems+=("the desktop shortcut starts elsewhere")
        else
            [ "$(cat "$desktop" 2>/dev/null)" = mine ] ||
                problems+=("the user's desktop shortcut changed")
        fi
        want=$(
            {
                cat <<EOF
DisplayName|REG_SZ|Vortilo
DisplayVersion|REG_SZ|$version
Publisher|REG_SZ|the Vortilo developers
DisplayIcon|REG_SZ|$win_dir\\vortilo.exe
UninstallString|REG_SZ|"$win_dir\\uninstall.exe"
QuietUninstallString|REG_SZ|"$win_dir\\uninstall.exe" /S
InstallLocation|REG_SZ|$win_dir
EstimatedSize|REG_DWORD|$(printf '0x%x' $(((size + 1023) / 1024)))
NoModify|REG_DWORD|0x1
NoRepair|REG_DWORD|0x1
EOF
                [ "${1:-}" != ours ] || echo 'DesktopShortcut|REG_DWORD|0x1'
            } | LC_ALL=C sort
        )
        listed=$(in_prefix reg query "HKCU\\$key" 2>&1 | tr -d '\r' |
            sed -n 's/^    \([^ ]*\)    \([^ ]*\)    /\1|\2|/p' | LC_ALL=C sort)
        [ "$listed" = "$want" ] || problems+=("uninstall entry:" "$listed" "expected:" "$want")
    }
    installed
    [ "$(icon_images "$dir/uninstall.exe")" = "$(icon_images "$unpacked/new icon.ico")" ] ||
        problems+=("the uninstaller's icon is not new icon.ico's")
    verdict "SilentInstall_win$bits"

    search_check "InstalledProgramSearches_win$bits" "$bits" "$home" "$win_dir\\vortilo.exe" \
        "$win_dir"

    problems=()
    printf 'changed' >"$dir/vortilo.exe"
    in_prefix "$setup" /S || problems+=("the second install failed")
    installed
    verdict "SecondInstallReplaces_win$bits"

    # While the installed program runs, the installer and the uninstaller (run in place with _?=,
    # so that the exit code is its own) end with exit code 2 and change nothing: a changed file
    # stays changed, every file, shortcut and value stays. Then Fine closes the program.
    problems=()
    if pid=$(drive_installed start "$win_dir" 2>"$home/start.err"); then
        printf 'changed' >"$dir/LICENSE.txt"
        in_prefix "$setup" /S
        code=$?
        [ "$code" = 2 ] || problems+=("the installer's exit code: $code")
        [ "$(cat "$dir/LICENSE.txt")" = changed ] || problems+=("the installer replaced a file")
        cp "$unpacked/LICENSE.txt" "$dir/LICENSE.txt"
        in_prefix "$win_dir\\uninstall.exe" /S "_?=$win_dir"
        code=$?
        [ "$code" = 2 ] || problems+=("the uninstaller's exit code: $code")
        installed
        drive_installed --pid "$pid" click 2 >/dev/null
        code=$(drive_installed wait-exit "$pid" 2>&1)
        [ "$code" = 0 ] || problems+=("exit code after Fine: $code")
    else
        problems+=("vdrive start: $(cat "$home/start.err")")
    fi
    verdict "NothingChangesWhileProgramRuns_win$bits"

    # The uninstaller runs from a copy of itself and returns at once: the end of the prefix's
    # session waits for the copy, and writes the registry out to user.reg.
    problems=()
    in_prefix "$win_dir\\uninstall.exe" /S || problems+=("the uninstaller failed")
    timeout 300 env WINEPREFIX="$prefix" "/usr/lib/wine/wineserver$bits" -w ||
        problems+=("the prefix's programs did not end")
    left=$(find "$dir" "$menu" 2>/dev/null)
    [ "$(cat "$desktop" 2>/dev/null)" = mine ] || problems+=("the user's desktop shortcut is gone")
    [ -z "$left" ] || problems+=("left behind: $left")
    ! grep -qF "[${key//\\/\\\\}]" "$prefix/user.reg" || problems+=("the uninstall entry is left")
    verdict "SilentUninstall_win$bits"

    # The desktop shortcut asked for with /DESKTOP, in place of the user's own, is recorded, and
    # a silent install over it keeps it.
    problems=()
    rm -f "$desktop"
    in_prefix "$setup" /S /DESKTOP || problems+=("the install with /DESKTOP failed")
    in_prefix "$setup" /S || problems+=("the install over it failed")
    installed ours
    verdict "ReinstallKeepsDesktopShortcut_win$bits"

    # A file that cannot be removed (a folder in its place) keeps the uninstall entry, the
    # uninstaller and the shortcuts, with exit code 2; once it can be, all go but the uninstaller
    # run in place, which its caller removes.
    problems=()
    rm -f "$dir/README.txt"
    mkdir -p "$dir/README.txt/kept"
    in_prefix "$win_dir\\uninstall.exe" /S "_?=$win_dir"
    code=$?
    [ "$code" = 2 ] || problems+=("exit code with a file left: $code")
    left=$(cd "$dir" && LC_ALL=C ls -A | tr '\n' ' ')
    [ "$left" = "README.txt uninstall.exe " ] || problems+=("left with a file left: $left")
    [ -f "$menu" ] && [ -f "$desktop" ] || problems+=("a shortcut went with a file left")
    in_prefix reg query "HKCU\\$key" >/dev/null 2>&1 ||
        problems+=("the entry went with a file left")
    rm -rf "$dir/README.txt"
    in_prefix "$win_dir\\uninstall.exe" /S "_?=$win_dir"
    code=$?
    [ "$code" = 0 ] || problems+=("exit code: $code")
    left=$(cd "$dir" && LC_ALL=C ls -A | tr '\n' ' ')
    [ "$left" = "uninstall.exe " ] || problems+=("left: $left")
    [ ! -e "$menu" ] && [ ! -e "$desktop" ] || problems+=("a shortcut is left")
    ! in_prefix reg query "HKCU\\$key" >/dev/null 2>&1 || problems+=("the uninstall entry is left")
    verdict "UninstallEntryGoesWithTheLastFile_win$bits"

    # The installer run from a folder of planted DLLs, and the uninstaller run in place beside
    # them, each loads none of them.
    problems=()
    local planted="$tmp/planted-setup$bits"
    mkdir -p "$planted"
    cp "$setup" "$planted/setup.exe"
    plant "$bits" "$planted" "${planted_names[@]}"
    VORTILO_DLLOVERRIDES=$(planted_overrides "${planted_names[@]}") \
        in_prefix "$(win "$planted")\\setup.exe" /S || problems+=("the installer failed")
    plant "$bits" "$dir" "${planted_names[@]}"
    VORTILO_DLLOVERRIDES=$(planted_overrides "${planted_names[@]}") \
        in_prefix "$win_dir\\uninstall.exe" /S "_?=$win_dir" || problems+=("the uninstaller failed")
    loaded_marks "$planted" "$dir"
    verdict "InstallersLoadNoPlantedDll_win$bits"
}

for bits in 32 64; do
    zip="$dist/vortilo-$version-win$bits.zip"
    unpacked="$tmp/unpacked$bits"
    mkdir -p "$unpacked"
    (cd "$unpacked" && unzip -q "$zip") || true
    exe="$unpacked/vortilo.exe"

    # Exactly the five files; each guide the repository's text in code page 1252 with CRLF.
    entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
    guides=()
    for guide in LEGGIMI.txt README.txt; do
        sed 's/$/\r/' "$root/docs/$guide" | iconv -f UTF-8 -t WINDOWS-1252 |
            cmp -s - "$unpacked/$guide" || guides+=("$guide")
    done
    if [ "$entries" = "vortilo.exe new icon.ico LEGGIMI.txt README.txt LICENSE.txt " ] &&
        [ ${#guides[@]} -eq 0 ]; then
        pass "ZipContents_win$bits"
    else
        fail "ZipContents_win$bits" "entries: '$entries'" \
            "not the repository's text in code page 1252 with CRLF: ${guides[*]}"
    fi

    # NSIS leaves the fixed part's structure version at 0.
    objdump=$([ "$bits" = 64 ] && echo x86_64 || echo i686)-w64-mingw32-objdump
    setup="$dist/vortilo-$version-win$bits-setup.exe"
    version_check "VersionResource_win$bits" "$exe" "$objdump" 00000100 \
        "FileDescription|Vortilo file finder (${bits}-bit)" "FileVersion|$version" \
        "OriginalFilename|vortilo.exe" "ProductName|Vortilo" "ProductVersion|$version"
    version_check "InstallerVersionResource_win$bits" "$setup" "$objdump" 00000000 \
        "FileDescription|Installazione di Vortilo (${bits}-bit)" "FileVersion|$version" \
        "ProductName|Vortilo" "ProductVersion|$version"

    # The zip's "new icon.ico" holds the eight sizes that Windows asks for, the largest as PNG;
    # the program's first icon resource and the installer's icon are those same images.
    problems=()
    icon=$(icon_images "$unpacked/new icon.ico")
    sizes=$(cut -d' ' -f1,2 <<<"$icon" | tr '\n' '|')
    [ "$sizes" = "$icon_sizes" ] || problems+=("new icon.ico: $sizes" "expected: $icon_sizes")
    [ "$(icon_images "$exe")" = "$icon" ] || problems+=("the program's icon is not new icon.ico's")
    verdict "ProgramIcon_win$bits"
    problems=()
    [ "$(icon_images "$setup")" = "$icon" ] ||
        problems+=("the installer's icon is not new icon.ico's")
    verdict "InstallerIcon_win$bits"

    # IMAGE_FILE_LARGE_ADDRESS_AWARE (0x0020) among the file header's characteristics, in the
    # build's program and the zip's, which the installer packs.
    problems=()
    for program in "$(windows_build "$bits")/vortilo.exe" "$exe"; do
        flags=$("$objdump" -p "$program" 2>/dev/null | sed -n 's/^Characteristics 0x//p')
        (((0x${flags:-0} & 0x20) != 0)) || problems+=("$program: characteristics 0x$flags")
    done
    verdict "LargeAddressAware_win$bits"

    # The same two programs hardened: dynamic base (0x40) and NX (0x100) among the optional
    # header's DLL characteristics, high-entropy addresses (0x20) too on 64-bit, and the stack
    # protector's check linked in (its message is libssp's).
    problems=()
    want=$((0x140 | (bits == 64 ? 0x20 : 0)))
    for program in "$(windows_build "$bits")/vortilo.exe" "$exe"; do
        flags=$("$objdump" -p "$program" 2>/dev/null | sed -n 's/^DllCharacteristics\s*//p')
        (((0x${flags:-0} & want) == want)) || problems+=("$program: DLL characteristics 0x$flags")
        grep -qaF 'stack smashing detected' "$program" || problems+=("$program: no stack protector")
    done
    verdict "Hardened_win$bits"

    if [[ " $(runnable_bits) " != *" $bits "* ]]; then
        echo "[  SKIPPED ] Release.*_win$bits that run the program or the installer:" \
            "$(why_no_32)"
        continue
    fi

    # The Wine session may have ended while the packages were built. Started here, its
    # services never hold open the pipes that read vdrive's answers.
    if ! start_wine "$bits" 2>"$tmp/wine$bits.err"; then
        fail "PackagedProgramSearches_win$bits" "$(cat "$tmp/wine$bits.err")"
        continue
    fi
    search_check "PackagedProgramSearches_win$bits" "$bits" "$(windows_build "$bits")" \
        "$(win "$exe")" "$(win "$unpacked")"

    # The same program unpacked beside planted DLLs, where a download may land, searches as well
    # and loads none of them.
    planted="$tmp/planted$bits"
    mkdir -p "$planted"
    cp "$exe" "$planted/vortilo.exe"
    plant "$bits" "$planted" "${planted_names[@]}"
    VORTILO_DLLOVERRIDES=$(planted_overrides "${planted_names[@]}") \
        search_check "SearchesBesidePlantedDlls_win$bits" "$bits" "$(windows_build "$bits")" \
        "$(win "$planted/vortilo.exe")" "$(win "$planted")"
    problems=()
    loaded_marks "$planted"
    verdict "ProgramLoadsNoPlantedDll_win$bits"
    setup_check "$bits"
done

finish
