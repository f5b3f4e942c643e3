#!/usr/bin/env python3
"""Prints the command line of a desktop entry's Exec key, as a launcher runs
it, one argument after another, each ended by a NUL byte. The value is read
as a desktop launcher reads it: first the string escapes (\\s \\n \\t
\\r \\\\), then the arguments, split at spaces, where double quotes group and
a backslash inside them escapes " ` $ and \\; field codes such as %f are
dropped and %% is %. Usage: exec_line.py DESKTOP_FILE"""
import re
import sys

STRING_ESCAPES = {"s": " ", "n": "\n", "t": "\t", "r": "\r", "\\": "\\"}


def exec_value(path):
    group = None
    for line in open(path, encoding="utf-8"):
        line = line.rstrip("\n")
        if line.startswith("["):
            group = line
        elif group == "[Desktop Entry]" and line.startswith("Exec="):
            return line[len("Exec="):]
    sys.exit("no Exec key")


def unescape(value):
    return re.sub(r"\\(.)", lambda m: STRING_ESCAPES.get(m.group(1), "\\" + m.group(1)), value)


def split(command):
    args, current, quoted, i = [], None, False, 0
    while i < len(command):
        c = command[i]
        if quoted and c == "\\" and i + 1 < len(command) and command[i + 1] in '"`$\\':
            current += command[i + 1]
            i += 2
            continue
        if c == '"':
            quoted = not quoted
            current = current or ""
        elif c == " " and not quoted:
            if current is not None:
                args.append(current)
            current = None
        else:
            current = (current or "") + c
        i += 1
    if quoted:
        sys.exit("unterminated quote in Exec")
    if current is not None:
        args.append(current)
    return [a.replace("%%", "%") for a in args if not re.fullmatch(r"%[fFuUdDnNickvm]", a)]


if __name__ == "__main__":
    for argument in split(unescape(exec_value(sys.argv[1]))):
        sys.stdout.write(argument + "\0")
