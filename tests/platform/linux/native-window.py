#!/usr/bin/python3
# A native Wayland window for the desktop session tests: GTK 3 with GDK_BACKEND=wayland, titled and
# with the application id of its arguments, holding a text entry. Each change of the entry's
# text is written to standard output, a line each, and so is "copied: TEXT" for the entry's
# copy. With --clipboard TEXT the window puts TEXT on the clipboard the first time it has the
# focus (a Wayland client may set the clipboard only then) and writes "offered", and so does
# --picture WxH with a red picture of that size; with --select
# TEXT the entry starts holding TEXT, selected.
import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("Gdk", "3.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import Gdk, GdkPixbuf, GLib, Gtk  # noqa: E402

application_id, title = sys.argv[1], sys.argv[2]
options = dict(zip(sys.argv[3::2], sys.argv[4::2]))
GLib.set_prgname(application_id)
window = Gtk.Window(title=title)
entry = Gtk.Entry()
window.add(entry)


def say(text):
    print(text, flush=True)


entry.connect("changed", lambda e: say(e.get_text()))
if "--select" in options:
    entry.set_text(options["--select"])
    entry.connect("focus-in-event", lambda e, _: e.select_region(0, -1))


def copied(_entry):
    bounds = entry.get_selection_bounds()
    if bounds:
        say("copied: " + entry.get_text()[bounds[0]:bounds[1]])


entry.connect("copy-clipboard", copied)
if "--clipboard" in options or "--picture" in options:
    def offer(*_):
        window.disconnect(offering)
        clipboard = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD)
        if "--picture" in options:
            width, height = (int(n) for n in options["--picture"].split("x"))
            picture = GdkPixbuf.Pixbuf.new(GdkPixbuf.Colorspace.RGB, False, 8, width, height)
            picture.fill(0xFF0000FF)
            clipboard.set_image(picture)
        else:
            clipboard.set_text(options["--clipboard"], -1)
        say("offered")
        return False

    offering = window.connect("focus-in-event", offer)
window.connect("destroy", Gtk.main_quit)
window.show_all()
Gtk.main()
