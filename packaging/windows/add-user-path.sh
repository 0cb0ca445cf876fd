#!/usr/bin/env bash
# Adds the installed folder to the end of the user's PATH, and takes it
# away again on uninstall, in an MSI made by wixl, whose descriptions have
# no Environment element: the Environment table and the two standard
# actions that read it are written in with msibuild (msitools).
# Usage: add-user-path.sh PACKAGE.msi
set -euo pipefail
msi=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# "=-": set on install, removed on uninstall; "[~];" appends to the value
# the user has, and only the part added is removed.
printf 'Environment\tName\tValue\tComponent_\ns72\tl255\tL255\ts72\nEnvironment\tEnvironment\n%s\n' \
  $'UserPath\t=-PATH\t[~];[INSTALLDIR]\tConverter' >"$work/Environment.idt"
msiinfo export "$msi" InstallExecuteSequence >"$work/InstallExecuteSequence.idt"
# The places the standard sequence gives them: removal before the files go,
# writing after they are in.
printf 'RemoveEnvironmentStrings\t\t3300\nWriteEnvironmentStrings\t\t5200\n' \
  >>"$work/InstallExecuteSequence.idt"
msibuild "$msi" -i "$work/Environment.idt"
msibuild "$msi" -i "$work/InstallExecuteSequence.idt"
