#!/usr/bin/env bash
# Fails when an exe imports anything beyond the documented system requirements
# (README, "System requirements"), so that it still loads on Windows 95.
#   check_imports.sh <halcyne.exe> [objdump]
#   check_imports.sh --installer <setup.exe> [objdump]    the NSIS stub
set -u
mode=shell
[ "${1:-}" = "--installer" ] && { mode=installer; shift; }
exe="${1:?exe}"
objdump="${2:-i686-w64-mingw32-objdump}"
[ -f "$exe" ] || { echo "missing: $exe"; exit 1; }
table="$("$objdump" -p "$exe")" || exit 1

# "DLL entry" per imported entry point, DLL names in capitals.
imports="$(printf '%s\n' "$table" | awk '
    /^[ \t]*DLL Name:/ { dll = toupper($3); sub(/\.DLL$/, "", dll); next }
    /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+$/ && dll != "" { print dll, $NF }')"

if [ "$mode" = shell ]; then
    # Every Windows from 95 on has these; any entry point but the run-time-only ones.
    base='KERNEL32 USER32 GDI32 ADVAPI32 SHELL32 OLE32'
    # Windows 95 gets these from Internet Explorer 4 or later (MSVCRT.DLL also
    # from other programs); only the entry points listed, all present there.
    declare -A only=(
        [COMCTL32]='InitCommonControls ImageList_Copy ImageList_Create ImageList_Destroy
                    ImageList_GetImageCount ImageList_Remove ImageList_ReplaceIcon
                    ImageList_SetImageCount'
        [SHLWAPI]='PathIsDirectoryA'
        # The C90 library and the start-up entries, in MSVCRT.DLL 4.2 and later.
        [MSVCRT]='__getmainargs __initenv __p__acmdln __p__commode __p__fmode __set_app_type
                  __setusermatherr _amsg_exit _cexit _initterm _iob _onexit _errno _ltoa _itoa
                  abort atexit exit signal raise setjmp longjmp _setjmp
                  malloc calloc realloc free qsort bsearch abs labs div ldiv rand srand
                  atoi atol atof strtol strtoul strtod getenv system
                  memcpy memmove memset memcmp memchr strcpy strncpy strcat strncat strcmp
                  strncmp strchr strrchr strstr strlen strspn strcspn strpbrk strtok strerror
                  strcoll strxfrm tolower toupper isalpha isdigit isspace isupper islower
                  isalnum isxdigit ispunct isprint iscntrl isgraph
                  printf fprintf sprintf vprintf vfprintf vsprintf fputs fputc putc putchar
                  puts fwrite fread fgets fgetc getc getchar fopen fclose fflush fseek ftell
                  rewind remove rename setvbuf sscanf fscanf scanf ungetc clearerr feof ferror
                  perror tmpfile tmpnam
                  time clock difftime mktime localtime gmtime asctime ctime strftime
                  sin cos tan asin acos atan atan2 sinh cosh tanh exp log log10 pow sqrt ceil
                  floor fabs fmod frexp ldexp modf localeconv setlocale'
    )
    # Looked up with GetProcAddress: missing on some versions, so never imported.
    runtime_only='AnimateWindow RegisterServiceProcess _beginthread _endthread ShowHTMLDialog'
    # Loaded on first use by the file dialogs, the media windows and the HTML
    # viewer, so that start-up does not pay for them: never imported.
    forbidden='COMDLG32 MSVFW32 URLMON'
    # The x86-64 test build (hosts without 32-bit Wine) links the 64-bit C
    # library's own start-up; Windows 95 never sees that build.
    if printf '%s\n' "$table" | grep -q 'file format pei-x86-64'; then
        base="$base MSVCRT"
        unset 'only[MSVCRT]'
    fi
else
    # NSIS's ANSI stub, setup and uninstaller alike: Windows 95's own DLLs,
    # and of the common controls only what version 4.00 (Windows 95) has.
    base='KERNEL32 USER32 GDI32 ADVAPI32 SHELL32 OLE32'
    declare -A only=(
        [COMCTL32]='InitCommonControls ImageList_AddMasked ImageList_Create ImageList_Destroy'
    )
    runtime_only=''
    forbidden=''
fi

has_word() { case " $(echo $1) " in *" $2 "*) return 0 ;; esac; return 1; }
status=0
while read -r dll entry; do
    [ -n "$dll" ] || continue
    if has_word "$runtime_only" "$entry"; then
        echo "imported, must be looked up at run time: $dll $entry"
        status=1
    elif has_word "$forbidden" "$dll"; then
        echo "imported, must be loaded on first use: $dll $entry"
        status=1
    elif has_word "$base" "$dll"; then
        :
    elif [ -n "${only[$dll]+set}" ]; then
        has_word "${only[$dll]}" "$entry" \
            || { echo "$dll: $entry is beyond the documented set for $dll"; status=1; }
    else
        echo "imports a DLL beyond the documented set: $dll ($entry)"
        status=1
    fi
done <<<"$imports"
[ -n "$imports" ] || { echo "no import table read from $exe"; status=1; }
if [ "$status" = 0 ]; then
    echo "import table of $(basename "$exe"): within the documented set:"
    printf '%s\n' "$imports" | awk '{ n[$1]++ } END { for (d in n) printf "  %s %d\n", d, n[d] }' | sort
fi
exit "$status"
