#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every folder of src/ includes only the folders below it, and the toolkit-free ones no Qt header:
# the targets' links already stop most wrong includes, this names the one that slipped through.
set -u
src=${1:?usage: layering.sh SRC_FOLDER}
declare -A allowed=(
    [common]="common"
    [scene]="scene common"
    [settings]="settings scene common"
    [platform]="platform scene common"
    [output]="output platform settings scene common"
    [commands]="commands output platform settings scene common"
    [mainwindow]="mainwindow commands output platform settings scene common"
    [settingsdialog]="settingsdialog platform settings scene common"
    [app]="app mainwindow settingsdialog commands output platform settings scene common"
)
toolkitFree="common scene settings"
status=0
for folder in "$src"/*/; do
    layer=$(basename "$folder")
    if [[ -z "${allowed[$layer]+x}" ]]; then
        echo "src/$layer: a folder the layering does not know"
        status=1
        continue
    fi
    while IFS=: read -r file line text; do
        if [[ "$text" =~ \#include\ *\"([a-z_]+)/ ]]; then
            target=${BASH_REMATCH[1]}
            if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
                echo "${file#"$src"/}:$line: $layer may not include $target/"
                status=1
            fi
        elif [[ "$text" =~ \#include\ *\<Q ]] && [[ " $toolkitFree " == *" $layer "* ]]; then
            echo "${file#"$src"/}:$line: $layer is toolkit-free, yet includes Qt"
            status=1
        fi
    done < <(grep -Hn '^ *# *include' "$folder"*.h "$folder"*.cpp 2>/dev/null)
done
exit $status
