#!/usr/bin/python3
"""A GTK 3 window with one text entry, a form as a GTK program shows it, for the tests and benchmarks that type into
another toolkit's window. It runs natively on the Wayland compositor that WAYLAND_DISPLAY names. Each line read on
standard input asks for its state, which it writes as one line of JSON:
{"focused": whether the entry has the keyboard focus, "text": what the entry holds, "ms": the milliseconds from the
entry's first change to its last}. It ends when standard input closes."""

import json
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402


def main():
    window = Gtk.Window(title="GTK witness")
    window.set_default_size(800, 60)
    window.set_decorated(False)  # no title bar of its own (on mutter), whose icons need image loaders
    entry = Gtk.Entry()
    window.add(entry)
    window.connect("destroy", Gtk.main_quit)
    changes = []  # the monotonic times of the first and the last change, in microseconds

    def changed(_entry):
        changes[1:] = [GLib.get_monotonic_time()]
        if len(changes) == 1:
            changes.append(changes[0])

    def answer(_source, _condition):
        if not sys.stdin.readline():
            Gtk.main_quit()
            return False
        state = {
            "focused": window.is_active() and entry.has_focus(),
            "text": entry.get_text(),
            "ms": (changes[-1] - changes[0]) / 1000 if changes else 0,
        }
        sys.stdout.write(json.dumps(state) + "\n")
        sys.stdout.flush()
        return True

    entry.connect("changed", changed)
    GLib.io_add_watch(sys.stdin, GLib.PRIORITY_DEFAULT, GLib.IO_IN | GLib.IO_HUP, answer)
    window.show_all()
    entry.grab_focus()
    Gtk.main()


if __name__ == "__main__":
    main()
