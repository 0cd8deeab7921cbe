#!/usr/bin/env bash
# Fails when a product folder includes a header of a folder at its own rank or
# above: the folders form layers that only point down. res/ is open to all.
#   check_layers.sh [source root]
set -u
root="${1:-$(cd "$(dirname "$0")/.." && pwd)}"
ranks=(core look taskbar desktop tools media session admin app)

rank_of() {
    local i
    for i in "${!ranks[@]}"; do
        [ "${ranks[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    echo -1
}

status=0
count=0
for folder in "${ranks[@]}"; do
    own=$(rank_of "$folder")
    while IFS= read -r hit; do
        file="${hit%%:*}"
        rest="${hit#*:}"
        line="${rest%%:*}"
        target="$(printf '%s' "$rest" | sed -n 's/^[0-9]*:[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p')"
        [ -n "$target" ] || continue
        count=$((count + 1))
        case "$target" in
            */*) ;;
            *) continue ;;   # a header beside the file
        esac
        top="${target%%/*}"
        [ "$top" = res ] && continue
        [ "$top" = "$folder" ] && continue
        theirs=$(rank_of "$top")
        if [ "$theirs" -lt 0 ]; then
            echo "${file#$root/}:$line: includes \"$target\" from no known folder"
            status=1
        elif [ "$theirs" -ge "$own" ]; then
            echo "${file#$root/}:$line: $folder (rank $own) includes \"$target\" ($top, rank $theirs)"
            status=1
        fi
    done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$root/$folder" \
                 --include='*.cpp' --include='*.h' 2>/dev/null)
done
if [ "$count" -eq 0 ]; then
    echo "no include lines found under $root"
    exit 1
fi
[ "$status" -eq 0 ] && echo "$count include lines, all pointing down"
exit "$status"
