#!/usr/bin/python3
"""What a screen reader gets from the program over AT-SPI (Debian's pyatspi).

  atspi_reader.py listen LOG       logs the status line's new texts
                                   ("status|TEXT") and the bars' changes of
                                   value ("bar|NAME"); writes "ready" first, once listening
  atspi_reader.py main             checks the main window's tree
  atspi_reader.py about            checks the About dialog's tree
  atspi_reader.py when-full on|off checks the "Free memory when full" entry

Each check waits (up to its deadline) for the program's tree to appear and
exits 1 with what it found wrong.
"""
import re
import sys
import time

import pyatspi

PROGRAM = "velkrom"
CAPTIONS = ("Total:", "Used:", "Free:")


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def children(acc):
    return [acc.getChildAtIndex(i) for i in range(acc.childCount)]


def walk(acc):
    yield acc
    for child in children(acc):
        yield from walk(child)


def text_of(acc):
    try:
        text = acc.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, -1)


def targets(acc, relation):
    found = []
    for rel in acc.getRelationSet():
        if rel.getRelationType() == relation:
            found += [rel.getTarget(i) for i in range(rel.getNTargets())]
    return found


def window(role, name, secs=20):
    """The program's top-level object with this role and name, once there."""
    deadline = time.monotonic() + secs
    seen = []
    while time.monotonic() < deadline:
        seen = []
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.name != PROGRAM:
                continue
            for top in children(app):
                if top.getRole() == role and top.name == name:
                    return top
                seen.append(f"{top.getRoleName()} {top.name!r}")
        time.sleep(0.1)
    # Role names from the objects themselves: pyatspi's role enumeration
    # spells its names differently from one release to the next.
    fail(f"no top-level object of role {int(role)} named {name!r}; the program's: "
         + (", ".join(seen) or "none"))


def check_frame(frame, name):
    if frame.getRole() != pyatspi.ROLE_PANEL or frame.name != name:
        fail(f"frame {name!r} reads as {frame.getRoleName()} {frame.name!r}")
    kids = children(frame)
    labels = {k.name: k for k in kids if k.getRole() == pyatspi.ROLE_LABEL}
    figures = {}
    for caption in CAPTIONS:
        label = labels.get(caption)
        if label is None or text_of(label) != caption:
            fail(f"{name}: no label {caption!r} with its text")
        values = targets(label, pyatspi.RELATION_LABEL_FOR)
        if len(values) != 1:
            fail(f"{name}: {caption!r} labels {len(values)} objects, expected its value")
        value = values[0]
        # The figure may move between reading the text and the name: read
        # both again until they come from the same moment.
        for _ in range(20):
            shown, said = text_of(value), value.name
            if shown == text_of(value):
                break
        if shown is None or not re.fullmatch(r"-?\d+ MB", shown):
            fail(f"{name}: the value of {caption!r} reads {shown!r}, expected a figure in MB")
        if said != f"{name}, {caption} {shown}":
            fail(f"{name}: the value of {caption!r} reading {shown!r} is named {said!r}")
        if [t.name for t in targets(value, pyatspi.RELATION_LABELLED_BY)] != [caption]:
            fail(f"{name}: the value of {caption!r} is labelled by "
                 f"{[t.name for t in targets(value, pyatspi.RELATION_LABELLED_BY)]}")
        figures[caption] = int(shown.split()[0])
    bars = [k for k in kids if k.getRole() == pyatspi.ROLE_PROGRESS_BAR]
    if len(bars) != 1 or bars[0].name != name:
        fail(f"{name}: expected one progress bar named after the frame, found "
             f"{[(b.name) for b in bars]}")
    value = bars[0].queryValue()
    if (value.minimumValue, value.maximumValue) != (0, 100):
        fail(f"{name}: the bar runs {value.minimumValue}..{value.maximumValue}, expected 0..100")
    share = 100 * figures["Free:"] / figures["Total:"]
    # The labels and the bar are read one after the other while the figures
    # move: one percent either way.
    if abs(value.currentValue - share) > 1.5 or value.currentValue != int(value.currentValue):
        fail(f"{name}: the bar holds {value.currentValue}, the figures say {share:.2f} %")


def check_main():
    main = window(pyatspi.ROLE_FRAME, "Velkrom")
    everything = list(walk(main))
    frames = [a for a in everything if a.getRole() == pyatspi.ROLE_PANEL]
    # Until the first refresh the values read as placeholders: wait for figures.
    deadline = time.monotonic() + 10
    while any(text_of(a) in ("TOTAL", "USED", "FREE") for a in everything):
        if time.monotonic() > deadline:
            fail("the value labels still show their placeholders")
        time.sleep(0.1)
        everything = list(walk(main))
    if [f.name for f in frames] != ["Physical memory", "Pagefile"]:
        fail(f"the frames read {[f.name for f in frames]}")
    for frame in frames:
        check_frame(frame, frame.name)
    status = [a for a in everything if a.getRole() == pyatspi.ROLE_STATUS_BAR]
    if len(status) != 1 or status[0].name != "Ready" or text_of(status[0]) != "Ready":
        fail(f"the status line reads {[(s.name, text_of(s)) for s in status]}, expected Ready")
    unnamed = [a.getRoleName() for a in everything
               if a.getRole() in (pyatspi.ROLE_LABEL, pyatspi.ROLE_PROGRESS_BAR) and not a.name]
    if unnamed:
        fail(f"unnamed objects: {unnamed}")


def check_about():
    about = window(pyatspi.ROLE_DIALOG, "About Velkrom")
    everything = list(walk(about))
    labels = [a.name for a in everything if a.getRole() == pyatspi.ROLE_LABEL]
    if labels != ["Velkrom", "v2.0", "by Tessaly"]:
        fail(f"the About texts read {labels}")
    focusable = [a for a in everything if a.getState().contains(pyatspi.STATE_FOCUSABLE)]
    # Roles compared as roles: their names differ between AT-SPI releases
    # ("push button" on Debian 12, "button" on 13).
    if [(a.getRole(), a.name) for a in focusable] != [
            (pyatspi.ROLE_PUSH_BUTTON, "OK"), (pyatspi.ROLE_IMAGE, "Velkrom icon"),
            (pyatspi.ROLE_PUSH_BUTTON, "System Info...")]:
        fail(f"the Tab stops read {[(a.getRoleName(), a.name) for a in focusable]}")


def check_when_full(state):
    main = window(pyatspi.ROLE_FRAME, "Velkrom")
    entries = [a for a in walk(main) if a.name == "Free memory when full"]
    if len(entries) != 1:
        fail("no menu entry 'Free memory when full'")
    states = entries[0].getState()
    # A check-mark role, or the checkable state: "off" can be told.
    checkable = (entries[0].getRole() in (pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_CHECK_BOX)
                 or states.contains(pyatspi.STATE_CHECKABLE))
    if not checkable:
        fail(f"'Free memory when full' is a {entries[0].getRoleName()}, not checkable")
    if states.contains(pyatspi.STATE_CHECKED) != (state == "on"):
        fail(f"'Free memory when full' does not read {state}")


def listen(log_path):
    log = open(log_path, "w", buffering=1)

    def heard(event):
        try:
            source = event.source
            if source is None:
                return
            role = source.getRole()
            if event.type.startswith("object:text-changed:insert") and \
                    role == pyatspi.ROLE_STATUS_BAR:
                log.write(f"status|{event.any_data}\n")
            elif event.type.startswith("object:property-change:accessible-value") and \
                    role == pyatspi.ROLE_PROGRESS_BAR:
                log.write(f"bar|{source.name}\n")
        except Exception as error:  # an object gone meanwhile: note it, go on
            log.write(f"error|{error}\n")

    pyatspi.Registry.registerEventListener(
        heard, "object:text-changed:insert", "object:property-change:accessible-value")
    log.write("ready\n")
    pyatspi.Registry.start()


def main(argv):
    if len(argv) >= 3 and argv[1] == "listen":
        listen(argv[2])
    elif argv[1:] == ["main"]:
        check_main()
    elif argv[1:] == ["about"]:
        check_about()
    elif len(argv) == 3 and argv[1] == "when-full" and argv[2] in ("on", "off"):
        check_when_full(argv[2])
    else:
        fail(__doc__)


if __name__ == "__main__":
    main(sys.argv)
