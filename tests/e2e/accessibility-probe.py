#!/usr/bin/python3
# Reads the running player through the desktop's accessibility bus as a screen reader does (pyatspi, the library
# readers stand on), acts on it by the actions it offers, and checks what it hears back. Exits non-zero with a
# reason at the first thing that is not as a reader needs it.
#
#   accessibility-probe.py read <first file> <second file> <third file>   (the playlist, stopped at the first)
#   accessibility-probe.py absent      (the player has left the desktop's tree)

import sys

import pyatspi
from gi.repository import GLib

PROGRAM = "korvo"
MASK = "*.mp3;*.wav;*.aif;*.au;*.mid"  # the player's own, as the test's settings leave it
WAIT_STEPS = 300  # of 0.1 s: far beyond a loaded machine's slowest answer, never reached when all is well


def fail(reason):
    print("FAIL:", reason, flush=True)
    sys.exit(1)


def find_program():
    for application in pyatspi.Registry.getDesktop(0):
        try:
            if application is not None and application.name == PROGRAM:
                return application
        except GLib.GError:
            pass  # an application that has gone
    return None


def wait_for(condition, what):
    for _ in range(WAIT_STEPS):
        value = condition()
        if value:
            return value
        GLib.usleep(100_000)
    fail("waited in vain for " + what)


def states(accessible):
    return {pyatspi.stateToString(s) for s in accessible.getState().getStates()}


def describe(accessible, depth=0):
    print("  " * depth, accessible.getRoleName(), repr(accessible.name), sorted(states(accessible)), flush=True)
    if accessible.getRole() in (pyatspi.ROLE_LIST, pyatspi.ROLE_COMBO_BOX):
        print("  " * (depth + 1), accessible.childCount, "lines")
        return
    for child in accessible:
        describe(child, depth + 1)


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def find(root, role, name=None):
    return pyatspi.findDescendant(root, lambda a: a.getRole() == role and (name is None or a.name == name))


class Events:
    """What the player tells, gathered as a reader's main loop gathers it."""

    KINDS = ("object:property-change:accessible-name", "object:state-changed", "window:create", "window:destroy",
             "focus:", "object:property-change:accessible-value", "object:text-caret-moved", "object:text-changed")

    def __init__(self):
        self.heard = []
        self.running = False
        pyatspi.Registry.registerEventListener(self.hear, *self.KINDS)

    def hear(self, event):
        name = None
        try:
            name = event.source.name if event.source else None
        except GLib.GError:
            pass
        self.heard.append((event.type, name, event.detail1, event.any_data))
        if self.running:
            pyatspi.Registry.stop()

    # Events may come during a call made meanwhile, outside the loop: those are looked at first.
    def wait(self, matches, what):
        for _ in range(60):
            found = [e for e in self.heard if matches(e)]
            if found:
                return found[0]
            GLib.timeout_add(500, lambda: (pyatspi.Registry.stop(), False)[1])
            self.running = True
            pyatspi.Registry.start()
            self.running = False
        fail(f"no event: {what}; heard {self.heard[-20:]}")


def check_read(first, second, third, damaged):
    program = wait_for(find_program, "the player on the desktop")
    print("toolkit", program.toolkitName, "id", program.id)
    describe(program)

    frame = children(program)[0]
    if frame.getRole() != pyatspi.ROLE_FRAME:
        fail(f"the main window is a {frame.getRoleName()}")
    if frame.name != "Korvo Music Player - " + first:
        fail(f"the main window is named {frame.name!r}")
    for state in ("active", "enabled", "sensitive", "showing", "visible"):
        if state not in states(frame):
            fail(f"the main window is not {state}: {states(frame)}")
    if frame.parent != program or frame.getIndexInParent() != 0:
        fail("the main window does not know its place")

    # The tool buttons have no windows; they are read by their hints and clicked by their action.
    play = find(frame, pyatspi.ROLE_PUSH_BUTTON, "プレイ")
    pause = find(frame, pyatspi.ROLE_PUSH_BUTTON, "ポーズ")
    step = find(frame, pyatspi.ROLE_PUSH_BUTTON, "次の曲")
    settings = find(frame, pyatspi.ROLE_PUSH_BUTTON, "環境設定")
    if not (play and pause and step and settings):
        fail("a tool button is missing")
    if "sensitive" not in states(play) or "sensitive" in states(pause):
        fail(f"stopped, play should be usable and pause not: {states(play)} {states(pause)}")
    x, y, width, height = play.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    if width <= 0 or height <= 0 or not frame.queryComponent().contains(x, y, pyatspi.DESKTOP_COORDS):
        fail(f"the play button lies at {(x, y, width, height)}, outside its window")
    action = play.queryAction()
    if action.nActions != 1 or action.getName(0) != "click":
        fail("the play button has no click")

    # The playlist: a list whose items are its lines, the first chosen.
    playlist = pyatspi.findDescendant(frame, lambda a: a.getRole() == pyatspi.ROLE_LIST and a.childCount == 4
                                      and a[0].name == first)
    if playlist is None:
        fail("no playlist of the four files")
    lines = children(playlist)
    if [line.name for line in lines] != [first, second, third, damaged]:
        fail(f"the playlist reads {[line.name for line in lines]}")
    if "selected" not in states(lines[0]) or "selected" in states(lines[1]):
        fail("the first line is not the one chosen")
    if "focusable" not in states(playlist):
        fail("the playlist cannot take the focus")

    # A reader's choice in the playlist is a user's: the player opens that file and names it in the window's
    # caption. Chosen back, the first file is open again for the play that follows.
    selection = playlist.querySelection()
    if selection.nSelectedChildren != 1 or not selection.isChildSelected(0):
        fail(f"the playlist tells {selection.nSelectedChildren} lines chosen, the first "
             f"{'among them' if selection.isChildSelected(0) else 'not'}")
    for chosen, name in ((1, second), (0, first)):
        if not selection.selectChild(chosen):
            fail(f"the playlist refused a reader's choice of line {chosen}")
        wait_for(lambda: selection.isChildSelected(chosen), f"line {chosen} to be chosen")
        if selection.nSelectedChildren != 1 or selection.isChildSelected(1 - chosen):
            fail(f"choosing line {chosen} left {selection.nSelectedChildren} lines chosen")
        if "selected" not in states(lines[chosen]):
            fail(f"line {chosen} is chosen but its item does not say so")
        wait_for(lambda: frame.name == "Korvo Music Player - " + name,
                 f"the main window to name {name!r} once chosen")

    slider = find(frame, pyatspi.ROLE_SLIDER)
    value = slider.queryValue()
    if value.minimumValue != 0 or value.maximumValue != 3000 or value.currentValue != 0:
        fail(f"the slider reads {value.minimumValue}..{value.maximumValue} at {value.currentValue}")

    events = Events()
    if not action.doAction(0):
        fail("play refused its click")
    # Playing, the buttons change over, and the slider moves with the sound.
    # The buttons have no windows: the player tells of their change itself, and a reader hears it without looking.
    events.wait(lambda e: e[0] == "object:state-changed:sensitive" and e[1] == "プレイ" and e[2] == 0,
                "play greyed")
    events.wait(lambda e: e[0] == "object:state-changed:sensitive" and e[1] == "ポーズ" and e[2] == 1,
                "pause usable")
    if "sensitive" in states(play) or "sensitive" not in states(pause):
        fail(f"playing, pause should be usable and play not: {states(play)} {states(pause)}")
    wait_for(lambda: value.currentValue > 0, "the slider to move")

    # The next file: the window's caption names it, and a reader hears the new name.
    if not step.queryAction().doAction(0):
        fail("next refused its click")
    events.wait(lambda e: e[0].startswith("object:property-change:accessible-name") and e[3] ==
                "Korvo Music Player - " + second, "the main window's new name")
    if frame.name != "Korvo Music Player - " + second:
        fail(f"the main window is named {frame.name!r} after the step")

    stop = find(frame, pyatspi.ROLE_PUSH_BUTTON, "ストップ")
    events.heard.clear()
    if not stop.queryAction().doAction(0):
        fail("stop refused its click")
    events.wait(lambda e: e[0] == "object:state-changed:sensitive" and e[1] == "プレイ" and e[2] == 1,
                "play usable again once stopped")
    if "sensitive" not in states(play):
        fail("play is told usable but reads otherwise")
    # A button that cannot be used refuses a reader's click as it refuses the mouse's.
    if pause.queryAction().doAction(0):
        fail("a disabled button took a click")

    # Stopped, the settings are open to change.
    wait_for(lambda: "sensitive" in states(settings), "the settings button to be usable")
    # The settings: a dialog of its own, with the play styles as radio buttons and repeat as a check box.
    if not settings.queryAction().doAction(0):
        fail("settings refused its click")
    created = events.wait(lambda e: e[0].startswith("window:create"), "a window made")
    dialog = wait_for(lambda: next((c for c in children(program) if c.getRole() == pyatspi.ROLE_DIALOG), None),
                      "the settings dialog among the program's windows")
    if created[1] != dialog.name:
        fail(f"the window made was {created[1]!r}, the dialog is {dialog.name!r}")
    radios = pyatspi.findAllDescendants(dialog, lambda a: a.getRole() == pyatspi.ROLE_RADIO_BUTTON)
    boxes = pyatspi.findAllDescendants(dialog, lambda a: a.getRole() == pyatspi.ROLE_CHECK_BOX)
    describe(dialog)
    if len(radios) != 3 or sum("checked" in states(r) for r in radios) != 1:
        fail("the play styles are not three radio buttons with one chosen")
    if len(boxes) != 1 or "checkable" not in states(boxes[0]):
        fail("repeat is not a check box")
    if "sensitive" in states(play):
        fail("the main window's buttons are usable behind its modal dialog")
    # The file mask is an edit a reader reads as text: the mask the player uses, none being set.
    edit = find(dialog, pyatspi.ROLE_TEXT)
    if edit is None:
        fail("the dialog has no edit for the file mask")
    text = edit.queryText()
    if text.characterCount != len(MASK) or text.getText(0, -1) != MASK:
        fail(f"the file mask reads {text.getText(0, -1)!r} of {text.characterCount} characters, not {MASK!r}")
    # A reader moves through a dialog's controls: the dialog gives one of them the focus.
    if not any("focused" in states(a) for a in radios + boxes +
               pyatspi.findAllDescendants(dialog, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON)):
        fail("nothing in the dialog has the focus")
    # A reader's focus goes to the edit, and its caret is heard where the reader puts it.
    if not edit.queryComponent().grabFocus():
        fail("the file mask's edit refused the focus")
    events.wait(lambda e: e[0] == "focus:" and e[1] == edit.name, "the edit to have the focus")
    if not text.setCaretOffset(2):
        fail("the edit refused a caret offset within its text")
    events.wait(lambda e: e[0] == "object:text-caret-moved" and e[2] == 2, "the caret to move to 2")
    if text.caretOffset != 2:
        fail(f"the caret is heard at 2 but read at {text.caretOffset}")
    # Read by the pointer: the first character lies inside the edit, and the point there finds it.
    x, y, width, height = text.getCharacterExtents(0, pyatspi.DESKTOP_COORDS)
    if width <= 0 or height <= 0 or not edit.queryComponent().contains(x, y, pyatspi.DESKTOP_COORDS):
        fail(f"the mask's first character lies at {(x, y, width, height)}, outside its edit")
    if text.getOffsetAtPoint(x + width // 2, y + height // 2, pyatspi.DESKTOP_COORDS) != 0:
        fail("the point on the first character finds another")
    # A reader types through EditableText as the user would, and hears what it put in; Cancel keeps the old mask.
    added = "*.flac;"
    if not edit.queryEditableText().insertText(0, added, len(added)):
        fail("the edit refused a reader's text")
    events.wait(lambda e: e[0] == "object:text-changed:insert" and e[2] == 0 and e[3] == added,
                "the reader's text to be heard put in")
    if text.getText(0, -1) != added + MASK:
        fail(f"the mask reads {text.getText(0, -1)!r} after the reader's typing")
    # The check box's click is the user's: it changes, and says so.
    box = boxes[0]
    was_checked = "checked" in states(box)
    if not box.queryAction().doAction(0):
        fail("the check box refused its click")
    wait_for(lambda: ("checked" in states(box)) != was_checked, "the check box to change")
    events.wait(lambda e: e[0] == "object:state-changed:checked" and e[1] == box.name, "the check box's change")
    cancel = pyatspi.findDescendant(dialog, lambda a: a.getRole() == pyatspi.ROLE_PUSH_BUTTON and
                                    "is-default" not in states(a))
    if cancel is None or not cancel.queryAction().doAction(0):
        fail("the dialog cannot be left by a button")
    events.wait(lambda e: e[0].startswith("window:destroy"), "the dialog to go")
    wait_for(lambda: all(c.getRole() != pyatspi.ROLE_DIALOG for c in children(program)), "the dialog to leave")

    # A file the player cannot open: chosen, it brings an error box that a reader hears appear, reads and answers,
    # with its button holding the keyboard. Then the second file is chosen again, as it was.
    events.heard.clear()
    if not selection.selectChild(3):
        fail("the playlist refused a reader's choice of the damaged file")
    created = events.wait(lambda e: e[0].startswith("window:create"), "an error box")
    alert = wait_for(lambda: next((c for c in children(program) if c.getRole() == pyatspi.ROLE_ALERT), None),
                     "the error box among the program's windows")
    describe(alert)
    box_name = alert.name
    if created[1] != box_name or box_name != "Korvo Music Player":
        fail(f"the error box is named {box_name!r}, the window made {created[1]!r}")
    message = find(alert, pyatspi.ROLE_LABEL)
    if message is None or "ファイルが壊れています" not in message.name:
        fail(f"the error box says {message.name if message else None!r}")
    ok = find(alert, pyatspi.ROLE_PUSH_BUTTON, "OK")
    if ok is None:
        fail("the error box has no OK")
    events.wait(lambda e: e[0] == "focus:" and e[1] == "OK", "the error box's OK to have the keyboard")
    if "focused" not in states(ok) or "focused" in states(alert):
        fail(f"OK is heard focused but reads {states(ok)}, the box {states(alert)}")
    if not ok.queryAction().doAction(0):
        fail("OK refused its click")
    events.wait(lambda e: e[0].startswith("window:destroy") and e[3] == box_name, "the error box to go")
    if not selection.selectChild(1):
        fail("the playlist refused a reader's choice of line 1")
    wait_for(lambda: frame.name == "Korvo Music Player - " + second, "the second file to be open again")

    print("OK", flush=True)


def check_absent():
    wait_for(lambda: find_program() is None, "the player to leave the desktop")
    print("OK", flush=True)


if __name__ == "__main__":
    pyatspi.setTimeout(5000, 15000)  # the sanitized program may be slow to answer; the optimised one never is
    if sys.argv[1] == "read":
        check_read(*sys.argv[2:6])
    elif sys.argv[1] == "absent":
        check_absent()
    else:
        fail("unknown check " + sys.argv[1])
