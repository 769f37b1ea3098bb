#!/usr/bin/env bash
# Checks that every include in src/ points down the layers: each folder may include only the
# folders listed for it. Exits 1 naming every include that points elsewhere.
set -euo pipefail
cd "$(dirname "$0")/../src"

declare -A allowed=(
    [scene]="scene"
    [text]="text"
    [errortext]="errortext"
    [smd]="scene text smd"
    [xfile]="scene text xfile"
    [staticmesh]="scene text errortext smd staticmesh"
    [preview]="scene text xfile preview"
    [app]="scene text errortext smd xfile staticmesh preview app"
    [cli]="scene text errortext smd xfile staticmesh preview app cli"
    [platform]="scene text errortext smd xfile staticmesh preview app platform"
)

status=0
for folder in */; do
    layer=${folder%/}
    if [[ -z "${allowed[$layer]+set}" ]]; then
        echo "src/$layer: a folder without a place in the layers"
        status=1
        continue
    fi
    while IFS=: read -r file line include; do
        target=$(sed -E 's/.*#include "([a-z]+)\/.*/\1/' <<<"$include")
        if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
            echo "src/$file:$line: $layer includes $target"
            status=1
        fi
    done < <(grep -rnE '^#include "[a-z]+/' "$layer" || true)
done
exit $status
