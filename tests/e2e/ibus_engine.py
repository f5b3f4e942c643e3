#!/usr/bin/env python3
"""Waits for the ibus daemon of this session, then makes ENGINE its engine.

The `ibus engine` command does not set it reliably in a bare session; the
bus does. Exits with 1 when the daemon or the engine is not there in time.
"""
import sys
import time

import gi

gi.require_version("IBus", "1.0")
from gi.repository import GLib, IBus  # noqa: E402

engine = sys.argv[1]
IBus.init()
deadline = time.monotonic() + 20
# The bus object is made once per process: wait for the daemon's address
# before making it.
while IBus.get_address() is None and time.monotonic() < deadline:
    time.sleep(0.1)
bus = IBus.Bus()
while time.monotonic() < deadline:
    GLib.MainContext.default().iteration(False)
    if bus.is_connected() and any(e.get_name() == engine for e in bus.list_engines()):
        if bus.set_global_engine(engine) and bus.get_global_engine().get_name() == engine:
            sys.exit(0)
    time.sleep(0.2)
print(f"ibus: engine {engine} not set", file=sys.stderr)
sys.exit(1)
