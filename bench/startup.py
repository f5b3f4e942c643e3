#!/usr/bin/env python3
"""Start-up benchmark: the time from launching a program to its first
top-level window being mapped, and its peak resident memory (VmHWM) at that
moment. The map is seen by an X client listening for MapNotify on the root
window, so nothing polls. Program and floor run interleaved, each window is
closed with WM_DELETE_WINDOW (a clean exit), and the figures are printed
with the ratio of the medians.

Usage: startup.py RUNS NAME=COMMAND NAME=COMMAND  (DISPLAY must be set)"""
import ctypes
import ctypes.util
import os
import select
import statistics
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
CLIENT_MESSAGE = 33


class XMapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class XClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", XMapEvent), ("xclient", XClientMessage),
                ("pad", ctypes.c_long * 24)]


x = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x.XConnectionNumber.argtypes = [ctypes.c_void_p]
x.XPending.argtypes = [ctypes.c_void_p]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(XEvent)]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.POINTER(XEvent)]


def peak_rss_mib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def wait_for_map(display, process, timeout):
    fd = x.XConnectionNumber(display)
    deadline = time.perf_counter() + timeout
    event = XEvent()
    while time.perf_counter() < deadline:
        while x.XPending(display):
            x.XNextEvent(display, ctypes.byref(event))
            if event.type == MAP_NOTIFY:
                return time.perf_counter(), event.xmap.window
        if process.poll() is not None:
            raise RuntimeError(f"{process.args[0]} ended with {process.returncode} before mapping a window")
        select.select([fd], [], [], 0.005)
    raise RuntimeError(f"{process.args[0]} mapped no window in {timeout} s")


def close_window(display, window):
    event = XEvent()
    event.xclient.type = CLIENT_MESSAGE
    event.xclient.window = window
    event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", False)
    event.xclient.format = 32
    event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", False)
    x.XSendEvent(display, window, False, 0, ctypes.byref(event))
    x.XFlush(display)


def measure(display, command):
    x.XSync(display, True)
    env = dict(os.environ, QT_QPA_PLATFORM="xcb")
    start = time.perf_counter()
    process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        mapped, window = wait_for_map(display, process, 20)
        rss = peak_rss_mib(process.pid)
        close_window(display, window)
        process.wait(timeout=10)
    finally:
        if process.poll() is None:
            process.kill()
            process.wait()
    return (mapped - start) * 1000, rss


def describe(values):
    return f"{min(values):8.1f} {statistics.median(values):8.1f} {max(values):8.1f}"


def main():
    runs = int(sys.argv[1])
    programs = [argument.split("=", 1) for argument in sys.argv[2:]]
    display = x.XOpenDisplay(None)
    if not display:
        sys.exit("cannot open the display")
    x.XSelectInput(display, x.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    results = {name: ([], []) for name, _ in programs}
    for run in range(runs):
        order = programs if run % 2 == 0 else list(reversed(programs))
        for name, command in order:
            milliseconds, rss = measure(display, command.split())
            results[name][0].append(milliseconds)
            results[name][1].append(rss)
    print(f"start-up to first window mapped, {runs} runs each, interleaved")
    print(f"{'':10} {'min ms':>8} {'median':>8} {'max ms':>8}   {'min MiB':>8} {'median':>8} {'max MiB':>8}")
    for name, (times, rss) in results.items():
        print(f"{name:10} {describe(times)}   {describe(rss)}")
    (first, (t1, r1)), (second, (t2, r2)) = list(results.items())[:2]
    print(f"ratio of medians {first}/{second}: time {statistics.median(t1) / statistics.median(t2):.3f}, "
          f"peak RSS {statistics.median(r1) / statistics.median(r2):.3f}")


if __name__ == "__main__":
    main()
