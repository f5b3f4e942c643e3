#!/usr/bin/python3
"""Prints every text change a screen reader hears, one line each:
"insert NAME TEXT" or "delete NAME TEXT", NAME the accessible name of the
field it came from. Prints "listening" once registered."""
import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def heard(event):
    kind = event.type.rsplit(":", 1)[-1]
    print(kind, event.source.get_name(), event.any_data, flush=True)


listener = Atspi.EventListener.new(heard)
for kind in ("insert", "delete"):
    listener.register("object:text-changed:" + kind)
print("listening", flush=True)
Atspi.event_main()
