#!/usr/bin/python3
"""Reads the program's accessible tree as an assistive tool does (AT-SPI).

  atspi_check.py unnamed APP   lists focusable, showing controls without a
                               name; exit 1 when there is one
  atspi_check.py focused APP   prints the role and name of the control that
                               has the focus
"""
import sys

import pyatspi


def application(name):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def walk(node, depth=0):
    if node is None or depth > 60:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def main():
    command, name = sys.argv[1], sys.argv[2]
    app = application(name)
    if app is None:
        print(f"no application {name} on the accessibility bus")
        return 2
    if command == "unnamed":
        missing = []
        for node in walk(app):
            states = node.getState()
            if (states.contains(pyatspi.STATE_FOCUSABLE) and states.contains(pyatspi.STATE_SHOWING)
                    and not node.name.strip()):
                missing.append(f"{node.getRoleName()} in {node.parent.name!r}")
        for line in missing:
            print("no name:", line)
        return 1 if missing else 0
    if command == "focused":
        for node in walk(app):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print(f"{node.getRoleName()}: {node.name}")
                return 0
        return 1
    return 2


if __name__ == "__main__":
    sys.exit(main())
