#!/usr/bin/env bash
# Every value the helper prints configures, and the password it holds is the one the connection
# string hands to the driver; what the helper refuses, it refuses with a reason.
#   password_round_trip.sh REPOSITORY CONNECTION-PASSWORD-TOOL
set -euo pipefail
repo=$1
tool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

passwords=(
    'Tosho#2025' 'S1tePassw0' 'Tosho 2025' 'a b c d ef' 'x"y'"'"'z{}=ab' 'back\slash' 'P@ss%w0rd!'
    'Tosho2025 ' ' Tosho2025' '"quoted123' "'quoted12'" 'semi;colon' 'short' 'much too long'
)
# And a few hundred of every printable character, from a fixed seed so that a failure repeats.
RANDOM=2025
printable=$(printf '%b' "$(printf '\\x%02x' $(seq 32 126))")
for _ in $(seq 200); do
    pw=
    for _ in $(seq 10); do pw+=${printable:RANDOM % 95:1}; done
    passwords+=("$pw")
done

status=0
accepted=0
refused=0
for pw in "${passwords[@]}"; do
    if stored=$("$repo/scripts/scramble-password" "$pw" 2>"$work/reason"); then
        if ! cmake -DTAVORA_SCRAMBLED_PASSWORD="$stored" -P "$repo/cmake/ScrambledPassword.cmake" \
            >"$work/configure" 2>&1; then
            echo "value [$stored] for password [$pw] does not configure: $(cat "$work/configure")"
            status=1
        fi
        printf '%s\n' "$stored" >>"$work/stored"
        printf '%s\n' "$pw" >>"$work/expected"
        accepted=$((accepted + 1))
    else
        if [[ ! -s $work/reason ]]; then
            echo "password [$pw] refused without a reason"
            status=1
        fi
        refused=$((refused + 1))
    fi
done
# Blanks at either end must be refused: the reader trims them from an unquoted value.
for pw in 'Tosho2025 ' ' Tosho2025'; do
    if "$repo/scripts/scramble-password" "$pw" >/dev/null 2>&1; then
        echo "password [$pw] accepted, but the connection string would drop its blank"
        status=1
    fi
done

"$tool" <"$work/stored" >"$work/got"
if ! diff "$work/expected" "$work/got"; then
    echo "the connection string hands the driver another password than the site chose"
    status=1
fi
echo "$accepted passwords round-trip, $refused refused with a reason"
exit $status
