#!/usr/bin/python3
"""Answers the GNOME desktop portal's remote-desktop dialog as a user would, through
the accessibility bus: ticks "Allow remote interaction" and presses Share.

    answerconsent.py <timeout seconds>
    answerconsent.py --check      exits 0 when the accessibility bindings are there

Exits 0 once Share was pressed, 1 when no such dialog came up in time. The system's
Python: the accessibility bindings are Debian packages (python3-pyatspi).
"""
import sys
import time

try:
    import pyatspi
except ImportError:
    print("answerconsent: python3-pyatspi is not installed", file=sys.stderr)
    sys.exit(2)

PORTAL_APPLICATION = "xdg-desktop-portal-gnome"
ALLOW_INPUT = "Allow remote interaction"
SHARE = "Share"


def descendants(node):
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield child
            yield from descendants(child)


def dialog_controls():
    """The dialog's check box and Share button, or None while it is not up."""
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        application = desktop.getChildAtIndex(index)
        if application is None or application.name != PORTAL_APPLICATION:
            continue
        nodes = list(descendants(application))
        boxes = [n for n in nodes if n.getRoleName() == "check box" and n.name == ALLOW_INPUT]
        # The button's accessible name carries its mnemonic too ("_Share Share").
        buttons = [n for n in nodes
                   if n.getRoleName() == "push button" and n.name.split()[-1:] == [SHARE]]
        if boxes and buttons:
            return boxes[0], buttons[0]
    return None


def wait_until_checked(box, deadline):
    while time.monotonic() < deadline:
        if box.getState().contains(pyatspi.STATE_CHECKED):
            return True
        time.sleep(0.05)
    return False


def main():
    if sys.argv[1] == "--check":
        return 0
    deadline = time.monotonic() + float(sys.argv[1])
    while time.monotonic() < deadline:
        try:
            controls = dialog_controls()
        except Exception as error:  # the dialog's tree changes while it is read
            print(f"answerconsent: {error}", file=sys.stderr)
            controls = None
        if controls:
            box, share = controls
            if not box.getState().contains(pyatspi.STATE_CHECKED):
                box.queryAction().doAction(0)
                # Share only once the dialog shows the box ticked: pressed before,
                # it shares the screen alone.
                if not wait_until_checked(box, deadline):
                    break
            share.queryAction().doAction(0)
            return 0
        time.sleep(0.2)
    print("answerconsent: no remote-desktop dialog came up", file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main())
