#!/usr/bin/env bash
# Builds the zip a Windows user downloads and unpacks: corvale.exe,
# corvalectl.exe, the bundled themes and a short text on how to start. Prints
# the zip's path (build/corvale-win32.zip).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

corvale_install_packages
corvale_build_win32 corvale corvalectl

package=$CORVALE_BUILD/package
stage=$package/Corvale
zipfile=$CORVALE_BUILD/corvale-win32.zip
rm -rf "$package" "$zipfile"
mkdir -p "$stage/themes"
cp "$CORVALE_BUILD/win32/corvale.exe" "$CORVALE_BUILD/win32/corvalectl.exe" "$stage/"
for theme in default daylight; do
    cp -r "$CORVALE_ROOT/themes/$theme" "$stage/themes/$theme"
    # How a theme is made concerns the repository, not the user.
    rm -f "$stage/themes/$theme/README.md"
done

# Windows line ends, for Notepad.
sed 's/$/\r/' >"$stage/HOW-TO-START.txt" <<'EOF'
Corvale, a skinned desktop panel for Windows
============================================

1. Unpack this zip anywhere, for example to C:\Corvale.

2. Open a command prompt in that folder and tell the panel where its
   theme is:

       corvalectl theme themes\default

   or, for the light one:

       corvalectl theme themes\daylight

3. Start corvale.exe (double-click it, or type: start corvale.exe).

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
EOF

if command -v zip >/dev/null 2>&1; then
    (cd "$package" && zip -qrX "$zipfile" Corvale)
else
    (cd "$package" && python3 -m zipfile -c "$zipfile" Corvale)
fi
corvale_log "$(du -h "$zipfile" | cut -f1) in $zipfile"
echo "$zipfile"
