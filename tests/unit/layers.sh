#!/usr/bin/env bash
# Every #include of the program's sources follows the layers of the build:
# a folder includes only itself and the folders its library links. Prints
# each include that crosses the layers and fails when there is one.
set -euo pipefail
src="${SNAPLORN_SOURCE_DIR:?}/src"
declare -A allowed=(
    [base]=""
    [settings]="base"
    [platform]="base"
    [document]="base"
    [tools]="base settings platform document"
    [output]="base settings platform document"
    [broadcast]="base"
    [capture]="base settings platform document"
    [options]="base settings platform document capture"
    [mainwindow]="base settings platform document tools output broadcast capture options"
    [app]="base settings platform document tools output broadcast capture options mainwindow"
)
crossing=0
while IFS= read -r line; do
    file=${line%%:*}
    folder=${file#"$src"/}
    folder=${folder%%/*}
    target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$line")
    [[ $target == "$folder" ]] && continue
    if [[ ! -v allowed[$folder] ]]; then
        echo "unknown folder: $file"; crossing=$((crossing + 1)); continue
    fi
    if [[ " ${allowed[$folder]} " != *" $target "* ]]; then
        echo "crosses the layers: ${line#"$src"/}"
        crossing=$((crossing + 1))
    fi
done < <(grep -rHE '^#include "[a-z]+/' "$src" --include='*.h' --include='*.cpp')
# Stand-ins belong to the tests: nothing of the program includes them.
while IFS= read -r line; do
    echo "the program includes a stand-in: ${line#"$src"/}"
    crossing=$((crossing + 1))
done < <(grep -rHE '^#include "platform/standins/' "$src" --include='*.h' --include='*.cpp' |
         grep -v "^$src/platform/standins/" || true)
echo "$crossing include lines cross the layers"
[[ $crossing -eq 0 ]]
