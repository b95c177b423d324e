#!/usr/bin/python3
# What a screen reader finds in the program's windows, through AT-SPI (as
# Orca reads a Linux desktop).  For each window on show: how many controls
# take the focus, how many of them have no name, and which names come twice.
# Run by atspi-look.sh, which starts the program and opens the windows.
import sys
import pyatspi

PARTS = (pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST, pyatspi.ROLE_TABLE, pyatspi.ROLE_PAGE_TAB_LIST)

def controls(acc, out):
    for i in range(acc.childCount):
        c = acc.getChildAtIndex(i)
        if c is None:
            continue
        s = c.getState()
        if not s.contains(pyatspi.STATE_SHOWING):
            continue
        if s.contains(pyatspi.STATE_FOCUSABLE):
            out.append((c.getRoleName(), c.name))
        # A list's entries (and a drop-down's typing box) are its parts.
        if c.getRole() not in PARTS:
            controls(c, out)

desktop = pyatspi.Registry.getDesktop(0)
for app in desktop:
    if app is None or app.name.lower() not in ("cvd", "calvedon"):
        continue
    for win in app:
        if win is None or not win.getState().contains(pyatspi.STATE_SHOWING):
            continue
        found = []
        controls(win, found)
        nameless = [role for role, name in found if not name.strip()]
        names = [name for role, name in found if name.strip()]
        twice = sorted({n for n in names if names.count(n) > 1})
        print(f"{win.name!r}: {len(found)} focusable, {len(nameless)} nameless {nameless}, twice {twice}")
        if "-v" in sys.argv:
            for role, name in found:
                print(f"    {role}: {name!r}")
