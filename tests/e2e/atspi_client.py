#!/usr/bin/env python3
"""Looks at programs through the accessibility bus of the session in DBUS_SESSION_BUS_ADDRESS, as a
screen reader does, for the end-to-end tests (each runs it in a process of its own, since the
accessibility library stays on the first bus it finds).

  atspi_client.py tree APP            the application's objects, one JSON line: role, name,
                                      description, actions, states, depth
  atspi_client.py set APP ROLE NAME TEXT  puts the text into an editable object of that role and name
  atspi_client.py do APP ROLE NAME ACTION
                                      performs the action on an object of that role and name, one
                                      showing if there is one; exits 3 when there is none, 4 when it
                                      has no such action
"""
import json
import sys

import pyatspi


def application(name):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == name:
            return app
    return None


def walk(node, depth=0):
    yield node, depth
    if depth > 12:
        return
    for index in range(node.childCount):
        child = node.getChildAtIndex(index)
        if child is not None:
            yield from walk(child, depth + 1)


def describe(node, depth):
    try:
        action = node.queryAction()
        actions = [action.getName(i) for i in range(action.nActions)]
    except NotImplementedError:
        actions = []
    states = node.getState()
    return {"role": node.getRoleName(), "name": node.name, "description": node.description,
            "actions": actions, "depth": depth,
            "states": [pyatspi.stateToString(s) for s in states.getStates()]}


def main(argv):
    app = application(argv[2])
    if app is None:
        print("no application named " + argv[2] + " among " +
              repr([a.name for a in pyatspi.Registry.getDesktop(0) if a is not None]), file=sys.stderr)
        return 2
    if argv[1] == "tree":
        print(json.dumps([describe(node, depth) for node, depth in walk(app)]))
        return 0
    _cmd, _app, role, name, wanted = argv[1:6]
    found = [node for node, _depth in walk(app) if node.getRoleName() == role and node.name == name]
    # One on the screen first: a menu item of a closed submenu is there too, but not showing.
    found.sort(key=lambda node: not node.getState().contains(pyatspi.STATE_SHOWING))
    if not found:
        return 3
    if argv[1] == "set":
        print(json.dumps(bool(found[0].queryEditableText().setTextContents(wanted))))
        return 0
    action = found[0].queryAction()
    for i in range(action.nActions):
        if action.getName(i) == wanted:
            print(json.dumps(bool(action.doAction(i))))
            return 0
    return 4


if __name__ == "__main__":
    sys.exit(main(sys.argv))
