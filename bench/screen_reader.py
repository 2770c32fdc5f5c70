#!/usr/bin/python3
"""Reads the game as a screen reader does while it runs: registers for the
events of every object, window and focus change, and for each one asks the
object it came from for its name, description and role over the
accessibility bus. Stops after SECONDS and prints how many events it read.

usage: screen_reader.py SECONDS   (on a session with the accessibility bus)
"""
import sys
import threading
import time

import pyatspi

read = 0


def heard(event):
    global read
    try:
        source = event.source
        (source.name, source.description, source.getRole())
        read += 1
    except Exception:  # an object gone before it was read
        pass


def stop_after(seconds):
    time.sleep(seconds)
    pyatspi.Registry.stop()


pyatspi.Registry.registerEventListener(heard, "object:", "window:", "focus:")
threading.Thread(target=stop_after, args=(float(sys.argv[1]),), daemon=True).start()
pyatspi.Registry.start()
print("events_read", read)
