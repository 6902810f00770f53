#!/usr/bin/env bash
# The downloads as a user gets them. scripts/package runs in two clones of this commit in folders
# of different names and lengths, and must write the same bytes in both; each zip holds the three
# files; each program carries the version of CMakeLists.txt's project(); and the program unpacked
# into a fresh folder shows its window under Wine, finds the files of a tree made here and ends
# with exit code 0 on Fine (the 32-bit one only where the host runs 32-bit programs).
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
trap 'stop_wine; rm -rf "$tmp"' EXIT
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
zips=("vortilo-$version-win32.zip" "vortilo-$version-win64.zip")
differ=()
for f in "${zips[@]}" SHA256SUMS; do
    cmp -s "$dist/$f" "$tmp/second-checkout/dist/$f" || differ+=("$f")
done
if [ ${#differ[@]} -eq 0 ]; then
    pass SameBytesFromTwoCheckouts
else
    fail SameBytesFromTwoCheckouts "differ between the two checkouts: ${differ[*]}"
fi

for bits in 32 64; do
    zip="$dist/vortilo-$version-win$bits.zip"
    unpacked="$tmp/unpacked$bits"
    mkdir -p "$unpacked"
    (cd "$unpacked" && unzip -q "$zip") || true
    exe="$unpacked/vortilo.exe"

    # Exactly the three files; the guide with CRLF line ends only.
    entries=$(unzip -Z1 "$zip" | tr '\n' ' ')
    lines=$(tr -cd '\n' <"$unpacked/LEGGIMI.txt" | wc -c)
    crlf=$(grep -c $'\r$' "$unpacked/LEGGIMI.txt")
    if [ "$entries" = "vortilo.exe LEGGIMI.txt LICENSE.txt " ] && [ "$lines" -gt 0 ] &&
        [ "$crlf" -eq "$lines" ]; then
        pass "ZipContents_win$bits"
    else
        fail "ZipContents_win$bits" "entries: '$entries'" \
            "LEGGIMI.txt: $lines lines, $crlf of them end in CRLF"
    fi

    # The version strings, and the numbers of the fixed part (after its signature FEEF04BD:
    # structure version, then file and product version, each as major.minor and patch.0).
    objdump=$([ "$bits" = 64 ] && echo x86_64 || echo i686)-w64-mingw32-objdump
    has_entry=$("$objdump" -p "$exe" 2>/dev/null | grep -cE '^[0-9a-f]+   Entry: ID: 0x000010,')
    strings=$(strings -el "$exe" | sed -n '/^StringFileInfo$/,/^VarFileInfo$/p' | tr '\n' '|')
    IFS=. read -r major minor patch <<<"$version"
    le() {
        printf '%02x%02x%02x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24))
    }
    numbers=$(le $((major << 16 | minor)))$(le $((patch << 16)))
    fixed=$(od -An -tx1 -v "$exe" | tr -d ' \n' | grep -oE 'bd04effe[0-9a-f]{40}' | head -n 1)
    want="|FileDescription|Vortilo file finder (${bits}-bit)|FileVersion|$version|"
    want_tail="|OriginalFilename|vortilo.exe|ProductName|Vortilo|ProductVersion|$version|"
    if [ "$has_entry" -eq 1 ] && [[ "$strings" == *"$want"* ]] &&
        [[ "$strings" == *"$want_tail"* ]] &&
        [ "$fixed" = "bd04effe00000100$numbers$numbers" ]; then
        pass "VersionResource_win$bits"
    else
        fail "VersionResource_win$bits" "version entries in the resource directory: $has_entry" \
            "strings: $strings" "fixed part: '$fixed', expected bd04effe00000100$numbers$numbers"
    fi

    if [[ " $(runnable_bits) " != *" $bits "* ]]; then
        echo "[  SKIPPED ] Release.PackagedProgramSearches_win$bits:" \
            "this host cannot run 32-bit programs"
        continue
    fi

    # The Wine session may have ended while the packages were built. Started here, its
    # services never hold open the pipes that read vdrive's answers.
    if ! start_wine "$bits" 2>"$tmp/wine$bits.err"; then
        fail "PackagedProgramSearches_win$bits" "$(cat "$tmp/wine$bits.err")"
        continue
    fi

    # A small tree: three .txt files on three levels, and one that the pattern leaves out.
    tree="$tmp/tree$bits"
    mkdir -p "$tree/sub/deeper"
    printf 'alpha' >"$tree/a.txt"
    printf 'bravo!' >"$tree/sub/b.txt"
    printf 'charlie' >"$tree/sub/deeper/c.txt"
    printf 'left out' >"$tree/sub/d.dat"
    win() { echo "Z:$1" | tr / '\\'; }
    build=$(windows_build "$bits")
    drive() {
        VORTILO_BUILD="$build" VORTILO_EXE="$(win "$exe")" "$root/tests/wine-run" \
            "$build/vdrive.exe" "$@" </dev/null
    }
    problems=()
    # The program inherits vdrive's Unix stderr, so it goes to a file: a pipe held open by the
    # running program would never end the command substitution.
    if ! pid=$(drive start "$(win "$unpacked")" 2>"$tmp/start$bits.err"); then
        fail "PackagedProgramSearches_win$bits" "vdrive start: $(cat "$tmp/start$bits.err")"
        continue
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
    if [ ${#problems[@]} -eq 0 ]; then
        pass "PackagedProgramSearches_win$bits"
    else
        fail "PackagedProgramSearches_win$bits" "${problems[@]}"
    fi
done

finish
