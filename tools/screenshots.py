#!/usr/bin/python3
"""The README's screenshots, taken from the real program on a sample patents installation
at QT_SCALE_FACTOR 1 and 2: docs/{main-window,find-dialog,print-dialog,linked-viewers}-{1x,2x}.png.

    /usr/bin/python3 tools/screenshots.py [main-window] [find-dialog] [print-dialog] [linked-viewers]

VELK_DESK_DISPLAYS=51-55 picks the X displays tried (default 71-75).
"""
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "desktop"))
from desk import Desk, Install, Program  # noqa: E402

DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs")


def grab(desk, title, name, window=None):
    """The window whose title holds title (or whose id is window), with its frame."""
    time.sleep(1)  # the window shows before its last paint
    window = window or desk.xdo("search", "--onlyvisible", "--name", title).split()[-1]
    path = os.path.join(DOCS, "%s-%dx.png" % (name, desk.scale))
    subprocess.run(["import", "-display", desk.display, "-frame", "-window", window, path], check=True)
    print(path)


def linked_viewers(desk, p):
    """Two linked viewers tiled side by side, pages 2 and 4 of one document, the page strip
    beside them."""
    frame = p.main()
    window = desk.xdo("search", "--onlyvisible", "--name", "Quorvel - ").split()[-1]  # tiled, the title is shorter
    desk.xdo("windowsize", window, 1180 * desk.scale, 800 * desk.scale)  # room for the strip and two pages
    desk.key("ctrl+Home")  # the strip shows already
    p.get(frame, "Page strip", "list")
    p.menu(frame, "Window", "New Window")
    p.get(p.main(), r".*View 2 .*", "frame")
    p.tool("Next page")
    p.tool("Next page")
    desk.key("shift+F4", "ctrl+shift+l", "ctrl+2")
    p.tool("Next page")
    p.get(p.main(), r".*View 2\s+- Page 4/.*", "frame")
    time.sleep(2)  # the strip's thumbnails
    grab(desk, None, "linked-viewers", window)
    # Two full pages in grey make a large file; 256 colours look the same at a third of it.
    path = os.path.join(DOCS, "linked-viewers-%dx.png" % desk.scale)
    subprocess.run(["convert", path, "-colors", "256", "-strip", path], check=True)


def take(scale, wanted):
    # A screen of the size that goes with the scale, as a user of that scale has.
    first, last = map(int, os.environ.get("VELK_DESK_DISPLAYS", "71-75").split("-"))
    desk = Desk(scale=scale, displays=range(first, last + 1), screen=(1280 * scale, 1024 * scale))
    try:
        # Full 300-dpi pages: the reduced ones of the tests look coarse on the screen.
        inst = Install(desk, "quorvel", volumes=1, documents_per_volume=4, page_scale=1)
        p = Program(desk, inst)
        finder = p.start_up()
        number = inst.documents()[1]
        p.click(p.get(finder, None, "text"))
        desk.type(number)
        desk.key("Return")
        p.find(finder, number + " .*", "list item")
        if "find-dialog" in wanted:
            grab(desk, "Document Finder", "find-dialog")
        p.view(number, finder)
        desk.key("F7")  # the page strip
        desk.key("ctrl+2")  # fit width
        time.sleep(2)  # the thumbnails come from a worker thread
        if "main-window" in wanted:
            grab(desk, "Quorvel - ", "main-window")
            path = os.path.join(DOCS, "main-window-%dx.png" % desk.scale)
            subprocess.run(["convert", path, "-colors", "256", "-strip", path], check=True)
        if "print-dialog" in wanted:
            p.tool("Print")
            p.window(" Print")
            grab(desk, "Quorvel Print", "print-dialog")
            p.settle()
        if "linked-viewers" in wanted:
            linked_viewers(desk, p)
    finally:
        desk.close()


if __name__ == "__main__":
    args = sys.argv[1:]
    if args[:1] == ["--scale"]:
        take(int(args[1]), set(args[2:]))
    else:
        # One desk a process: the accessibility client stays with the first bus it meets.
        for s in (1, 2):
            subprocess.run([sys.executable, __file__, "--scale", str(s)] +
                           (args or ["main-window", "find-dialog", "print-dialog", "linked-viewers"]), check=True)
