#!/usr/bin/env bash
# The bash completion of tolvenmark-cli: sourced into bash, asked as <TAB> would ask it.
#   bash_completion_test.sh COMPLETION_SCRIPT
set -u
source "$1" || exit 1

failures=0
# expect "WORD..." "REPLY..." : completes the last word of the line.
expect() {
    local -a line
    read -r -a line <<<"$1"
    [[ $1 == *' ' ]] && line+=("")
    COMP_WORDS=("${line[@]}")
    COMP_CWORD=$((${#line[@]} - 1))
    COMPREPLY=()
    _tolvenmark_cli
    if [[ "${COMPREPLY[*]}" != "$2" ]]; then
        printf 'FAIL: "%s" gave "%s", expected "%s"\n' "$1" "${COMPREPLY[*]}" "$2"
        failures=$((failures + 1))
    fi
}

# A stand-in for the program whose list marks its default as the real one does.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '#!/bin/sh\n[ "$1" = list ] && printf "Office\\nZebra_Lab (default)\\nZebra2\\n"\n' >"$dir/cli"
chmod +x "$dir/cli"
touch "$dir/label.zpl"

expect "tolvenmark-cli pr" "print"
expect "tolvenmark-cli " "list print send show encode status capture discover inspect --help --version"
expect "tolvenmark-cli send --encoding " "cp1252 cp437 cp850 utf-8"
expect "tolvenmark-cli show --encoding = cp8" "cp850"
expect "tolvenmark-cli encode --encoding=u" "--encoding=utf-8"
expect "$dir/cli print -d " "Office Zebra_Lab Zebra2"
expect "$dir/cli send -P Zebra" "Zebra_Lab Zebra2"
expect "$dir/cli print --printer=O" "--printer=Office"
expect "tolvenmark-cli print --" "--printer --title --format --timeout --wait --check --language --quiet -- --help"
expect "tolvenmark-cli status --language " "auto escpos zpl pjl none"
expect "tolvenmark-cli send --format application/p" "application/postscript application/pdf"
expect "tolvenmark-cli send -q -P Lab --q" "--quiet"
expect "$dir/cli status -P Z" "Zebra_Lab Zebra2"
expect "tolvenmark-cli show -" "--encoding -- --help"
expect "tolvenmark-cli print -t Label $dir/lab" "$dir/label.zpl"
expect "tolvenmark-cli list " ""
expect "tolvenmark-cli discover --s" "--snmp --snmp-port"
expect "tolvenmark-cli discover --snmp " ""
expect "tolvenmark-cli capture --s" "--socket --show --state --state-file"
expect "tolvenmark-cli capture --emulate " "escpos zpl pjl"
expect "tolvenmark-cli capture --emulate zpl --state=p" "--state=paper-out --state=paused"
expect "tolvenmark-cli capture --socket " ""
expect "tolvenmark-cli capture --a" "--advertise"
expect "tolvenmark-cli capture --advertise " ""
mkdir "$dir/jobs"
expect "tolvenmark-cli capture --dir $dir/jo" "$dir/jobs"
expect "tolvenmark-cli inspect --" "--commands --split --json -- --help"
expect "tolvenmark-cli inspect --split $dir/jo" "$dir/jobs"
expect "tolvenmark-cli inspect --commands $dir/lab" "$dir/label.zpl"

((failures == 0)) && echo "all completions as expected"
exit $((failures != 0))
