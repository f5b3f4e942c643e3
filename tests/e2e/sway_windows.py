#!/usr/bin/env python3
"""Prints the windows of a sway tree read from standard input (swaymsg -t
get_tree), one a line: id, focused or -, urgent or -, the window's own
width x height (what the client made it, whatever room sway gives it), and
the title and the app id, separated by tabs."""
import json
import sys


def walk(node):
    if node.get("pid"):
        rect = node["geometry"]
        print(node["id"], "focused" if node["focused"] else "-", "urgent" if node["urgent"] else "-",
              f"{rect['width']}x{rect['height']}", node.get("name") or "", node.get("app_id") or "", sep="\t")
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        walk(child)


walk(json.load(sys.stdin))
