# The settings every test prefix gets, 32- or 64-bit. Source it; defines functions only.

# rig_prefix_settings <Managed Y|N> <view>=<DirectOutput.dll>..., in $WINEPREFIX with the Wine
# loader $PANELCAST_WINE (default wine): unmanaged windows (no 2 s per DestroyWindow without a
# window manager; Y lets a real desktop's window manager frame them) and the panel library's
# registry path in each registry view named (32 or 64). A program reads the view of its own
# bitness, where the library's installer of that bitness writes: a 64-bit prefix gets the
# 32-bit stand-in in the 32-bit view and the 64-bit one in the 64-bit view.
rig_prefix_settings() {
  local managed=$1 wine=${PANELCAST_WINE:-wine} entry view dll got
  shift
  "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$managed" /f >/dev/null 2>&1
  for entry in "$@"; do
    view=${entry%%=*}
    dll=$("$wine" winepath -w "${entry#*=}" 2>/dev/null)
    "$wine" reg add 'HKLM\SOFTWARE\Zivovi\DirectOutput' /v DirectOutput /d "$dll" "/reg:$view" /f \
      >/dev/null 2>&1
    got=$("$wine" reg query 'HKLM\SOFTWARE\Zivovi\DirectOutput' /v DirectOutput "/reg:$view" \
          2>/dev/null | tr -d '\r')
    case "$got" in
      *"$dll"*) ;;
      *) echo "registry set-up failed in $WINEPREFIX ($view-bit view): '$got'" >&2; return 1 ;;
    esac
  done
}
