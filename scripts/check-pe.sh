#!/bin/sh
# check-pe.sh <exe> <32|64>: the program is a GUI executable of that width that imports only
# DLLs every Windows has, so it runs with nothing beside it but its data, and it is the shipped
# file: stripped, its debug information kept apart.
set -eu
exe=$1
bits=$2
if [ "$bits" = 32 ]; then
  objdump=i686-w64-mingw32-objdump; format=pei-i386; machine=14c
else
  objdump=x86_64-w64-mingw32-objdump; format=pei-x86-64; machine=8664
fi
dump=$($objdump -p "$exe")
echo "$dump" | grep -q "file format $format" || { echo "$exe: not $format"; exit 1; }
echo "$dump" | grep -qi "^Subsystem[[:space:]]*00000002" || { echo "$exe: not a GUI program"; exit 1; }
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|advapi32|shell32|ole32|oleaut32|msvcrt|ucrtbase|api-ms-win-.*|version|winmm|uxtheme|msimg32|shlwapi)\.dll$'
bad=$(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | grep -v -E "$allowed" || true)
if [ -n "$bad" ]; then
  echo "$exe imports DLLs that are not the system's: $bad"
  exit 1
fi
debug=$($objdump -h "$exe" | awk '$2 ~ /^\.(z?debug|stab)/ { print $2 }' | tr '\n' ' ')
[ -z "$debug" ] || { echo "$exe carries debug sections: $debug"; exit 1; }
$objdump -f "$exe" | grep -q HAS_SYMS && { echo "$exe carries a symbol table"; exit 1; }
echo "$exe: $format, GUI, stripped, imports: $(echo "$dump" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '\n' ' ')"
