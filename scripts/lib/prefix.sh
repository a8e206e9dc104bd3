# The settings every test prefix gets, 32- or 64-bit. Source it; defines functions only.

# rig_prefix_settings <DirectOutput.dll> <Managed Y|N>, in $WINEPREFIX: unmanaged windows (no 2 s
# per DestroyWindow without a window manager; Y lets a real desktop's window manager frame them)
# and the panel library's registry path pointing at the given stand-in.
rig_prefix_settings() {
  local dll got
  dll=$(winepath -w "$1" 2>/dev/null)
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$2" /f >/dev/null 2>&1
  # The program is 32-bit: on a 64-bit system it reads the registry's 32-bit view, where the
  # panel library's (32-bit) installer writes.
  wine reg add 'HKLM\SOFTWARE\Zivovi\DirectOutput' /v DirectOutput /d "$dll" /reg:32 /f \
    >/dev/null 2>&1
  got=$(wine reg query 'HKLM\SOFTWARE\Zivovi\DirectOutput' /v DirectOutput /reg:32 2>/dev/null |
        tr -d '\r')
  case "$got" in
    *"$dll"*) ;;
    *) echo "registry set-up failed in $WINEPREFIX: $got" >&2; return 1 ;;
  esac
}
