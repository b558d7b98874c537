#!/usr/bin/env bash
# Builds what a Windows user downloads: the installers
# build/corvale-<version>-x86.msi and -x64.msi, and the zip
# build/corvale-win32.zip (the 32-bit programs, the bundled themes and a short
# text on how to start) for those who cannot install. Prints their paths.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

corvale_install_packages
corvale_build_win32 corvale corvalectl
corvale_build_win64_program
corvale_build_installers
version=$(corvale_version "$CORVALE_BUILD/win32")

package=$CORVALE_BUILD/package/zip
stage=$package/Corvale
zipfile=$CORVALE_BUILD/corvale-win32.zip
rm -rf "$package" "$zipfile"
corvale_stage "$CORVALE_BUILD/win32" "$stage"

# Windows line ends, for Notepad.
sed 's/$/\r/' >"$stage/HOW-TO-START.txt" <<'TEXT'
Corvale, a skinned desktop panel for Windows
============================================

The installer (corvale-<version>-x86.msi, or -x64.msi for 64-bit Windows)
does all of this for you, without administrator rights: it puts the panel
in your programs, in the Start menu and in the programs that start when
you sign in. This zip is for a computer where you cannot install.

1. Unpack this zip anywhere, for example to C:\Corvale.

2. Open a command prompt in that folder and tell the panel where its
   theme is (until then it finds no theme and shows an empty window,
   which Alt+F4 closes):

       corvalectl theme themes\default

   or, for the light one:

       corvalectl theme themes\daylight

3. Start corvale.exe (double-click it, or type: start corvale.exe).

To start it whenever you sign in:

       corvalectl startup on           (corvalectl startup off undoes it)

Its QUIT key closes the panel; so does

       corvalectl close

More of corvalectl:

       corvalectl status                 what the panel starts with
       corvalectl perform CP05           what the button with the command CP05 does
       corvalectl check themes\default   read a theme as the panel would, and name
                                         what in it will not work as written
       corvalectl new themes\mine        a small theme to make your own from
       corvalectl help                   every command and option

Nothing is installed: the panel needs no file beyond Windows' own and keeps its
settings under HKEY_CURRENT_USER\Software\VB and VBA Program Settings\VEXAL Terminal.
Before deleting the folder, "corvalectl forget ." removes the settings that point
into it.
TEXT
sed -i "s/<version>/$version/" "$stage/HOW-TO-START.txt"

if command -v zip >/dev/null 2>&1; then
    (cd "$package" && zip -qrX "$zipfile" Corvale)
else
    (cd "$package" && python3 -m zipfile -c "$zipfile" Corvale)
fi
for file in "$CORVALE_BUILD/corvale-$version-x86.msi" "$CORVALE_BUILD/corvale-$version-x64.msi" "$zipfile"; do
    corvale_log "$(du -h "$file" | cut -f1) in $file"
    echo "$file"
done
