#!/bin/sh
# The Hoopfall's two commands, for a Debian 12 system that has nothing but this clone:
#   ./run.sh [ARGS...]   builds and starts the program (ARGS go to it, e.g. --pool DIR)
#   ./run.sh test        builds everything and runs every test
# Installs make with apt-get when it is missing, as root or through sudo; the Makefile's
# targets (run, test) install everything else.
set -eu
cd "$(dirname "$0")"

if ! command -v make >/dev/null 2>&1; then
    if [ "$(id -u)" = 0 ]; then
        sudo=
    elif command -v sudo >/dev/null 2>&1; then
        sudo=sudo
    else
        echo "run.sh: make is missing and sudo too: run this as root" >&2
        exit 1
    fi
    echo "Installing: make"
    $sudo apt-get update
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends make
fi

if [ "${1-}" = test ]; then
    exec make test
fi
exec make run ARGS="$*"
