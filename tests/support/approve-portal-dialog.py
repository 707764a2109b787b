#!/usr/bin/python3
"""Answers the desktop portal's remote-desktop dialog (GNOME's or KDE's) through the accessibility bus, as a user
would: on GNOME switches on "Allow remote interaction", then presses Share, or with --refuse presses Cancel. Waits for
the dialog up to --timeout seconds; exits 0 once it has answered, 1 when no dialog came. With --shown it only waits
for the dialog; with --gone it waits until no dialog is open (1 when one stays)."""

import argparse
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


# Per portal backend, by its name on the accessibility bus: the title of its dialog, and the check box that must be
# on before Share (none on KDE).
DIALOGS = {
    "xdg-desktop-portal-gnome": ("Remote desktop", "Allow remote interaction"),
    "xdg-desktop-portal-kde": ("Remote control requested", None),
}


def find(accessible, role, name):
    """The first accessible below (or at) this one with the role and whose name contains the text."""
    try:
        if accessible.get_role_name() == role and name in (accessible.get_name() or ""):
            return accessible
        for index in range(accessible.get_child_count()):
            found = find(accessible.get_child_at_index(index), role, name)
            if found:
                return found
    except gi.repository.GLib.Error:
        pass  # a window that went away meanwhile
    return None


def dialog():
    """The portal's remote-desktop dialog and the name of its check box, when one is open."""
    desktop = Atspi.get_desktop(0)
    for index in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(index)
        if application and application.get_name() in DIALOGS:
            title, allow = DIALOGS[application.get_name()]
            window = find(application, "frame", title)
            if window:
                return window, allow
    return None


def wait_until(condition, deadline):
    """The condition's value once it is true; None when the deadline passed first."""
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.1)
    return None


def act(accessible):
    accessible.do_action(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--refuse", action="store_true")
    parser.add_argument("--shown", action="store_true")
    parser.add_argument("--gone", action="store_true")
    parser.add_argument("--timeout", type=float, default=30)
    arguments = parser.parse_args()

    deadline = time.monotonic() + arguments.timeout
    if arguments.gone:
        if wait_until(lambda: not dialog(), deadline):
            return 0
        print("the remote-desktop dialog stayed open", file=sys.stderr)
        return 1
    shown = wait_until(dialog, deadline)
    if not shown:
        print("no remote-desktop dialog appeared", file=sys.stderr)
        return 1
    window, allow_name = shown
    if arguments.shown:
        return 0
    if arguments.refuse:
        act(find(window, "push button", "Cancel"))
        return 0
    if allow_name:
        allow = find(window, "check box", allow_name)
        checked = lambda: allow.get_state_set().contains(Atspi.StateType.CHECKED)  # noqa: E731
        if not checked():
            act(allow)
        wait_until(checked, deadline)
    act(find(window, "push button", "Share"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
