#!/usr/bin/python3
# Writes, one a line, "role|name" of every item of Velmora that gets the keyboard focus, as the
# accessibility bus reports it to screen readers; the end-to-end test reads the menu this way.
# Runs until it is stopped.
import sys

import pyatspi


def on_focus(event):
    try:
        if event.detail1 and event.source.getApplication().name == "Velmora":
            print(f"{event.source.getRoleName()}|{event.source.name}", flush=True)
    except Exception:  # an item gone before it could be asked: the next focus tells
        pass


pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
print("listening", file=sys.stderr, flush=True)
pyatspi.Registry.start()
