#!/usr/bin/env bash
# Fails unless the release zip holds exactly the files an administrator gets.
#   check_release.sh <zip>
set -u
zip="${1:?zip}"
[ -f "$zip" ] || { echo "missing: $zip (scripts/release.sh makes it)"; exit 1; }
expected='LICENSE.txt
README-ADMIN.txt
deploy/deploy.txt
deploy/guest-restrictions.reg
deploy/halcyne-defaults.reg
halcyne.exe'
actual="$(unzip -Z1 "$zip" | LC_ALL=C sort)"
if [ "$actual" != "$expected" ]; then
    echo "$(basename "$zip") holds:"; printf '%s\n' "$actual"
    echo "expected:"; printf '%s\n' "$expected"
    exit 1
fi
echo "$(basename "$zip"): exactly the $(printf '%s\n' "$actual" | wc -l) expected files"
