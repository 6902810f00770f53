#!/usr/bin/env bash
# Reads vortilo.exe's headers and its export and import tables: the machine type of its build,
# the two exports by name at ordinals 1 and 2, and imports from Windows' own known DLLs only (the
# C++ runtime is linked in). Prints its checks in GoogleTest's words, so that scripts/test counts
# them.
# Usage: pe_tables_test.sh EXE OBJDUMP FORMAT   (FORMAT: pei-i386 or pei-x86-64)
set -uo pipefail
exe=$1
objdump=$2
format=$3
dump=$("$objdump" -p "$exe") || { echo "[  FAILED  ] 1 test, objdump"; exit 1; }

passed=0
failed=0
check() {
    local name=$1 ok=$2 detail=$3
    if [ "$ok" = yes ]; then
        echo "[       OK ] PeTables.$name"
        passed=$((passed + 1))
    else
        echo "[  FAILED  ] PeTables.$name: $detail"
        failed=$((failed + 1))
    fi
}

# "vortilo.exe:     file format pei-i386"
shown=$(grep -oE 'file format [^ ]+' <<<"$dump" | head -n 1 | awk '{print $3}')
check MachineType "$([ "$shown" = "$format" ] && echo yes)" "format: '$shown', expected '$format'"

# "[   0] +base[   1] 3de0 Export RVA" rows give ordinals; "[   0] NAME" rows give names.
ordinals=$(sed -n '/^Export Address Table/,/^$/p' <<<"$dump" | grep -oE '\+base\[ *[0-9]+\]' |
    grep -oE '[0-9]+' | tr '\n' ' ')
names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" |
    sed -nE 's/^\s*\[ *([0-9]+)\] (.*)$/\1 \2/p' | tr '\n' ';')
check ExportsTwoOrdinals "$([ "$ordinals" = "1 2 " ] && echo yes)" "ordinals: '$ordinals'"
check ExportNamesAtOrdinals "$([ "$names" = "0 GETSYSFILEVER;1 INITCOMCTL32;" ] && echo yes)" \
    "names: '$names'"
base=$(grep -E '^Ordinal Base' <<<"$dump" | awk '{print $3}')
check OrdinalBaseIsOne "$([ "$base" = 1 ] && echo yes)" "base: '$base'"

# Only DLLs that Windows always takes from its own folder (its known DLLs), and comctl32, which
# the manifest names: a DLL imported by any other name would be looked for beside the program
# first, where a planted copy could wait.
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|msvcrt|advapi32)\.dll$'
dlls=$(grep -E '^\s*DLL Name:' <<<"$dump" | awk '{print tolower($3)}' | sort -u)
foreign=$(grep -vE "$allowed" <<<"$dlls" | tr '\n' ' ')
check ImportsOnlyWindowsDlls "$([ -n "$dlls" ] && [ -z "$foreign" ] && echo yes)" \
    "foreign DLLs: '$foreign'"
for dll in comctl32.dll oleaut32.dll; do
    check "Imports_$dll" "$(grep -qx "$dll" <<<"$dlls" && echo yes)" "missing $dll"
done
subsystem=$(grep -E '^Subsystem' <<<"$dump" | awk '{print $2}')
check GuiSubsystem "$([ "$subsystem" = 00000002 ] && echo yes)" "subsystem: '$subsystem'"

if [ "$failed" -eq 0 ]; then
    echo "[  PASSED  ] $passed tests."
    exit 0
fi
echo "[  PASSED  ] $passed tests."
echo "[  FAILED  ] $failed tests, listed above"
exit 1
