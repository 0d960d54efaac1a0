#!/usr/bin/python3
"""Every toolbar button and menu item of the real program, clicked as a person would,
on sample installations of each collection; checked from outside."""
import argparse
import os
import re
import subprocess
import sys
import time

sys.dont_write_bytecode = True  # nothing of the harness lands in the source tree
import desk  # noqa: E402
from desk import Fail, wait_for

# Menu items and toolbar buttons, as their captions read; those that open a window name its title.
OPENS = {
    "Import": "Import", "Batch process": "Documents for Batch",
    "Configure CD-Rom Drive": "Select CD-Rom Drive|.*[Pp]assword", "Printer Setup": "Printer Setup",
    "Find": "Document Finder", "View": "View Documents", "Goto Page": "Go To Page",
    "Documents Found": "Documents Found|Found", "Documents Not Found": ".*Not Found",
    "Documents Not Printed/Exported": ".*Not Printed", "Contents": "Velk Help", "Search For Help On...": "Velk Help",
    "About Velk...": ".*About|Velk|Quorvel|Tovrin|Assignments",
    "Save as PDF…": r"^\w+ Save as PDF ",
    "Print Preview": "^Print Preview$", "Find a document": "Document Finder", "Goto a page": "Go To Page",
}
# Ends the run or switches the collection: walked on their own.
LATER = {"Exit", "Quorvel", "Fennic", "Tovrin", "Jukebox"}


def walk_menus(p, frame, log, path=()):
    """Opens each menu and picks each enabled item once."""
    if not path:
        bar = p.get(frame, None, "menu bar")
        tops = [desk.bare(bar.getChildAtIndex(i).name) for i in range(bar.childCount)]
        return sum((walk_menus(p, frame, log, (t,)) for t in tops), [])
    picked, done = [], set()
    while True:  # read again after each pick: items come and go (the viewers' entries)
        todo = [(item, sub) for item, enabled, sub in p.menu_items(frame, *path)
                if (enabled or sub) and item not in LATER and item.split("  ")[0] not in done]
        if not todo:
            break
        item, sub = todo[0]
        done.add(item.split("  ")[0])
        if sub:
            picked += walk_menus(p, frame, log, path + (item,))
            continue
        log("  " + " > ".join(path + (item,)))
        p.menu(frame, *path, item)
        want = opens(p.inst, item, menu=True)
        if want:
            p.window(want + "|^%s$" % p.inst.mode_text)  # the window, or a message why not
        p.settle()
        picked.append(path + (item,))
    return picked


def opens(inst, item, menu):
    """The title of the window an item opens, where it opens one. Each collection has its
    own print and export dialogs; in assignments File > Print has the patent one and
    File > Export opens nothing."""
    mode = inst.mode_text
    if item in ("Print", "Export"):
        if menu and inst.collection == "assign":
            return "^Quorvel Print " if item == "Print" else None
        return "^%s %s " % (mode, item)
    return OPENS.get(item)


def walk_toolbar(p, log):
    """Clicks each enabled toolbar button once, closing what it opens."""
    frame = p.main()
    bar = p.get(frame, None, "tool bar")
    names = [desk.bare(b.name) for b in p.find(bar, None, "push button", many=True)]
    clicked = []
    for name in names:
        b = p.find(bar, re.escape(name), "push button")
        if b is None or not p.enabled(b):
            continue
        p.click(b)
        if opens(p.inst, name, menu=False):
            p.window(opens(p.inst, name, menu=False))
        elif name == "Zoom Area":  # the area is dragged out on the page
            drag_on_page(p, -40, 40)
        p.settle()
        clicked.append(name)
    log("toolbar: %d buttons" % len(clicked))
    return clicked


def drag_on_page(p, start, end):
    """Drags from start to end pixels (both ways) off the middle of the page."""
    x, y, w, h = p.extents(p.get(p.main(), None, "layered pane"))
    p.desk.drag(x + w // 2 + start, y + h // 2 + start, x + w // 2 + end, y + h // 2 + end)


def print_flows(p, log):
    """Prints the shown document by a click on Print, by Enter, and by a Return held in the
    print dialog until the X server repeats it: one job each."""
    jobs = lambda: len(os.listdir(p.out))
    before = jobs()
    ways = {"a click": lambda dlg: p.press(dlg, "Print"), "Enter": lambda dlg: p.desk.key("Return"),
            "a held Return": lambda dlg: p.desk.hold("Return", 3)}
    for way, act in ways.items():
        p.tool("Print")
        dlg = p.window(" Print")
        if way != "Enter":  # Enter prints the dialog's own choice
            p.click(p.get(dlg, "Page", "radio button"))
        act(dlg)
        wait_for(lambda: jobs() >= before + 1, "the job printed by " + way)
        p.main_title(".")  # answered after the repeats were handled
        if jobs() != before + 1:
            raise Fail("%s printed %d jobs" % (way, jobs() - before))
        before += 1
        p.settle()
    for f in os.listdir(p.out):
        with open(os.path.join(p.out, f), "rb") as pdf:
            if pdf.read(5) != b"%PDF-":
                raise Fail("%s is no PDF" % f)
    log("print: by click, by Enter and by a held Return, %d files" % jobs())


def save_offered(p, name, stray=False):
    """Answers the save dialog that offers name with Enter; where the file went. With stray,
    a PDF in the home folder before the dialog is a fault."""
    def dialog():
        if stray and [f for f in os.listdir(p.home) if f.endswith(".pdf")]:
            raise Fail("printed unasked to %s in the home folder" % os.listdir(p.home))
        return any(name in p.text(t) for _, w in p.others() for t in p.find(w, None, "text", many=True))
    wait_for(dialog, "a save dialog offering " + name)
    p.desk.key("Return")
    return wait_for(lambda: [os.path.join(r, name) for r, _, fs in os.walk(p.home) if name in fs], name + " written")


def save_as_pdf_flow(p, number, log):
    """File > Save as PDF…: every page of the shown document into the one PDF the save
    dialog names, each page as stored (pdfimages: 1-bit CCITT), then the closing message."""
    name = re.sub(r"[^0-9A-Za-z]", "", number) + ".pdf"
    for r, _, fs in os.walk(p.home):
        if name in fs:
            os.remove(os.path.join(r, name))  # an earlier step's print of the same document; no replace question
    p.menu(p.main(), "File", "Save as PDF…")
    dlg = p.window(r"^\w+ Save as PDF ")
    p.click(p.get(dlg, "Entire Document", "radio button"))
    p.press(dlg, "Save")
    written = save_offered(p, name)[0]
    p.window("^%s$" % p.inst.message_title)  # the closing message
    rows = subprocess.run(["pdfimages", "-list", written], capture_output=True, text=True).stdout.splitlines()[2:]
    if not rows or any(r.split()[7:9] != ["1", "ccitt"] for r in rows):
        raise Fail("%s holds other than 1-bit CCITT pages: %s" % (name, rows))
    os.remove(written)  # the next collection's document may have the same name
    p.settle()
    log("save as PDF: %s, %d pages as stored" % (name, len(rows)))


def export_flow(p, log):
    before = desk.sandbox_outputs(p.inst.drive_c)
    p.tool("Export")
    p.press(p.window(" Export"), "Export")
    p.press(p.window("Select Directory"), "OK")
    new = wait_for(lambda: desk.sandbox_outputs(p.inst.drive_c) - before, "an exported file in " + p.inst.drive_c)
    p.settle()
    log("export: %s" % ", ".join(sorted(os.path.basename(f) for f in new)))


def started(d, name, printer="print.pdf", shows=True):
    """The program on an open quorvel tower installation of its own, past the splash;
    showing the first document unless not shows."""
    p = desk.Program(d, desk.Install(d, "quorvel", "tower", "open", name=name), printer)
    finder = p.start_up()
    if shows:
        p.view(p.inst.documents()[0], finder)
    return p, p.inst, finder


def import_then_lists(d, log):
    """With no document shown: import from a file and from the clipboard, then the Lists
    items follow their lists."""
    p, inst, f = started(d, "import", shows=False)
    # The clipboard gets its text the way a person's would: typed, selected, copied.
    docs = inst.documents()
    p.click(p.get(f, None, "text"))
    d.type("%s %s 3999998" % (docs[1], docs[2]))
    d.key("ctrl+a", "ctrl+c")
    p.press(f, "Cancel")
    p.gone("Document Finder")
    frame = p.main()
    p.menu(frame, "File", "Import")
    dlg = p.window("Import")
    p.press(dlg, "Browse")
    chooser = p.window("Import Path")
    p.click(p.get(chooser, "File name:", "text"))
    d.type("NUMBERS.TXT")
    d.key("Return")
    p.gone("Import Path")
    p.press(dlg, "Import")
    done = p.window("^Quorvel$")
    said = " ".join(desk.bare(l.name) for l in p.find(done, None, "label", many=True))
    if "Import finished successfully" not in said or "Not found: 1" not in said:
        raise Fail("the import closed with: " + said)
    p.press(done, "OK")
    not_found_shows(p, "after the import")  # the Not Found list follows
    lists = inst.lists()
    if len(lists["Found"]) != 6 or lists["NotFound"] != ["3999999"]:
        raise Fail("after importing %s: %s" % (open(os.path.join(inst.import_dir, "NUMBERS.TXT")).read(), lists))
    lists = dict((name, on) for name, on, _ in p.menu_items(frame, "Lists"))
    if not lists.get("Documents Not Found") or not lists.get("Documents Found"):
        raise Fail("after an import with no document shown the Lists items read %s" % lists)
    p.menu(frame, "Lists", "Documents Not Found")
    not_found_shows(p, "by Lists > Documents Not Found")
    p.menu(frame, "File", "Import")
    dlg = p.window("Import")
    p.click(p.get(dlg, "From the clipboard", "radio button"))
    p.press(dlg, "Import")
    wait_for(lambda: "3999998" in p.inst.lists()["NotFound"], "the clipboard's number on Not Found")
    p.settle()
    log("import: from a file and from the clipboard; Lists items on with no document shown")
    finish(p, "menu")


def not_found_shows(p, how):
    items = p.list_items(p.window("Not Found"))
    if not any("3999999" in i for i in items):
        raise Fail("the Not Found window %s shows %s" % (how, items))
    p.settle()


def fits(p, window, what):
    x, y, w, h = p.extents(window)
    if x < 0 or y < 0 or x + w > p.desk.screen[0] or y + h > p.desk.screen[1]:
        raise Fail("%s at %dx%d+%d+%d does not fit the %dx%d screen" % ((what, w, h, x, y) + p.desk.screen))


def zoom_hard(p, log):
    """Ctrl+wheel far past the largest zoom, and a tiny zoom area: the program lives on."""
    x, y, w, h = p.extents(p.get(p.main(), None, "layered pane"))
    p.desk.wheel(x + w // 2, y + h // 2, up=True, ctrl=True, times=100)
    p.menu(p.main(), "Document", "Zoom Area")  # at 2x the toolbar's end is behind its overflow button
    drag_on_page(p, 0, 2)
    p.tool("Show Entire Page")
    p.main_title(".")
    if not p.alive() or p.crash_report():
        raise Fail("zooming ended the program (status %s):\n%s" % (p.status, p.crash_report()))
    log("zoom: 100 Ctrl+wheel steps in and a 2-pixel zoom area")


def no_queue_asks_where(d, log):
    """No printer queue: the print asks where the PDF goes, named for the document, and
    nothing lands in the home folder unasked."""
    p, inst, _ = started(d, "noqueue", printer=None)
    p.tool("Print")
    p.press(p.window(" Print"), "Print")
    name = inst.documents()[0] + ".pdf"
    save_offered(p, name, stray=True)
    p.settle()
    log("no queue: asked where, wrote %s" % name)
    finish(p, "menu")


def restricted_settings(d, log):
    """A restricted installation: the drive settings ask for the password; a wrong one
    changes nothing, the right one opens them."""
    inst = desk.Install(d, "quorvel", "tower", "restricted", name="restricted")
    with open(inst.ini, "rb") as f:
        before = f.read()
    p = desk.Program(d, inst)
    p.start_up()
    p.settle()
    frame = p.main()
    for password, opened in (("wrong", "^Quorvel$"), (inst.get("CD_PASSWORD"), "Select CD-Rom Drive")):
        p.menu(frame, "File", "Configure CD-Rom Drive")
        p.window("Quorvel Password")
        d.type(password)
        d.key("Return")
        p.window(opened)
        p.settle()
    with open(inst.ini, "rb") as f:
        if f.read() != before:
            raise Fail("the configuration changed without the password")
    log("restricted: the CD-ROM settings refused a wrong password, opened with the right one")
    finish(p, "close box")


def reader_keys_strip_and_links(d, log):
    """A reader's keys, the page strip and linked viewers, by real input; what the status
    bar says is read as a screen reader reads it."""
    p, inst, finder = started(d, "reader", shows=False)
    docs = inst.documents()
    p.view(docs[0], finder, also=docs[1:2])
    frame = p.main()
    page = lambda: tuple(map(int, p.status_field(r"Page (\d+) of (\d+)") or (0, 0)))
    at = wait_for(lambda: page()[0] == 1 and page(), "the status bar to read Page 1 of N")
    pages = at[1]
    log("status bar reads 'Page 1 of %d' to a screen reader" % pages)

    # Space goes down a screen and at the page's end on to the next page; Shift+Space back.
    p.click(p.get(frame, r".*View 1 .*", "frame"))
    for key, want in (("space", 2), ("shift+space", 1)):
        for _ in range(8):
            d.key(key)
            if wait_for(lambda: page()[0] == want, None, 2):
                break
        else:
            raise Fail("%s never reached page %d (at %s)" % (key, want, page()))
    log("Space and Shift+Space: on to page 2 and back")

    # Ctrl+PgDown / Ctrl+PgUp: the other document of the Found list.
    k = int(wait_for(lambda: p.status_field(r"Document (\d+) of 2"), "the place on the Found list")[0])
    d.key("ctrl+Next" if k == 1 else "ctrl+Prior")
    wait_for(lambda: p.status_field(r"Document (%d) of 2" % (3 - k)), "document %d of 2" % (3 - k))
    pages = wait_for(lambda: page()[0] == 1 and page(), "page 1 of the other document")[1]
    log("Ctrl+%s: document %d of 2" % ("PgDown" if k == 1 else "PgUp", 3 - k))

    # The strip: a click on a page shows it; the arrows and Enter move on from there.
    d.key("F7")
    strip = p.get(frame, "Page strip", "list")
    bottom = lambda a: p.extents(a)[1] + p.extents(a)[3]
    shown = wait_for(lambda: [i for i in p.find(strip, r"Page \d+.*", "list item", many=True)
                              if bottom(i) <= bottom(strip)], "whole pages in the strip")
    target = int(re.match(r"Page (\d+)", shown[-1].name).group(1))
    p.click(shown[-1])
    wait_for(lambda: page()[0] == target, "page %d after its click" % target)
    step, arrow = (1, "Down") if target < pages else (-1, "Up")
    d.key(arrow, "Return")
    wait_for(lambda: page()[0] == target + step, "page %d by %s and Enter" % (target + step, arrow))
    log("strip: page %d by a click, page %d by %s and Enter" % (target, target + step, arrow))

    # Linked (Ctrl+Shift+L), a page turn in viewer 2 turns viewer 1.
    p.menu(frame, "Window", "New Window")
    caption = lambda n: p.find(p.main(), r".*View %d .*" % n, "frame")
    wait_for(lambda: caption(2), "viewer 2")
    d.key("ctrl+shift+l")  # at 2x its button is behind the toolbar's overflow arrow
    on = lambda n: int(re.search(r"View %d\s+- Page (\d+)/" % n, caption(n).name).group(1))
    first, second = on(1), on(2)
    p.tool("Next page")
    wait_for(lambda: on(2) == second + 1, "viewer 2 on page %d" % (second + 1))
    wait_for(lambda: on(1) == min(first + 1, pages), "viewer 1 to follow to page %d" % min(first + 1, pages))
    log("linked: next page in viewer 2 (%d to %d) turned viewer 1 (%d to %d)" % (second, on(2), first, on(1)))

    # The next start brings back the strip and the window's place, moved by its title bar;
    # at 2x the window fills the screen, so moved it no longer fits: placed whole instead.
    x, y = p.extents(frame)[:2]
    d.drag(x + 200, y - 11, x + 240, y + 29)
    at = lambda: p.extents(p.main())[:2]
    place = wait_for(lambda: at() != (x, y) and at(), "the window to move")
    finish(p, "menu")
    p = desk.Program(d, inst)
    p.view(docs[0], p.start_up())
    fits = lambda: at() == place if d.scale == 1 else 0 < at()[1] < place[1]
    wait_for(fits, "the window at %s (%s)" % ("its place" if d.scale == 1 else "the top", place))
    p.get(p.main(), "Page strip", "list")
    log("next start: the strip, and the window at %s" % (at(),))
    finish(p, "menu")


def finish(p, how):
    """Ends the program by File > Exit or by the main window's close box: status 0, no
    crash report, the lists sound."""
    frame = p.main()
    if how == "menu":
        p.menu(frame, "File", "Exit")
    else:
        p.close_box(frame)
    wait_for(lambda: not p.alive(), "the program to end after " + how)
    report = p.crash_report()
    if p.status != 0 or report:
        raise Fail("ended with status %s after %s:\n%s" % (p.status, how, report or p.output()[-2000:]))
    lists = p.inst.lists()
    if lists["integrity"] != "ok":
        raise Fail("list database: %s" % lists["integrity"])


def batch_flow(p, inst, log):
    """The shown document onto To Print and To Export by the toolbar, then both batches
    from the batch window: a job, an exported document, and both lists emptied."""
    p.tool("Add to print list")
    p.tool("Add to export list")
    wait_for(lambda: inst.lists()["ToPrint"] and inst.lists()["ToExport"], "the document on both batch lists")
    jobs = len(os.listdir(p.out))
    before = desk.sandbox_outputs(inst.drive_c)
    p.menu(p.main(), "File", "Batch process")
    p.press(p.window("Documents for Batch"), "Batch Print")
    p.press(p.window("^Batch Print"), "Print")
    wait_for(lambda: len(os.listdir(p.out)) > jobs and not inst.lists()["ToPrint"], "the batch printed")
    p.settle()
    p.menu(p.main(), "File", "Batch process")
    p.press(p.window("Documents for Batch"), "Batch Export")
    dlg = p.window("Batch Export")
    p.click(p.get(dlg, "Entire Document", "radio button"))
    p.click(p.get(dlg, r"PDF \(one file per document\)", "radio button"))
    p.press(dlg, "Export")
    p.press(p.window("Select Directory"), "OK")
    wait_for(lambda: desk.sandbox_outputs(inst.drive_c) - before and not inst.lists()["ToExport"],
             "the batch exported")
    p.settle()
    log("batch: printed and exported")


def preview_prints(p):
    """File > Print Preview shows Print, its toolbar's last button, not behind the overflow arrow."""
    p.menu(p.main(), "File", "Print Preview")
    p.get(p.window("^Print Preview$"), "Print", "push button")
    p.settle()


def walk_collection(d, collection, mode, smoke, log):
    """Everything once on one installation; ends by Exit, or by the close box."""
    inst = desk.Install(d, collection, mode, "open")
    p = desk.Program(d, inst)
    finder = p.start_up()
    fits(p, finder, "the document finder")
    docs = inst.documents()
    p.view(docs[0])
    fits(p, p.main(), "the main window")
    log("%s %s: showing %s" % (collection, mode, docs[0]))
    zoom_hard(p, log)
    print_flows(p, log)
    save_as_pdf_flow(p, docs[0], log)
    export_flow(p, log)
    if collection == "quorvel":
        preview_prints(p)
    if not smoke:
        if collection == "quorvel":
            batch_flow(p, inst, log)
        log("menus: %d items" % len(walk_menus(p, p.main(), log)))
    walk_toolbar(p, log)
    finish(p, "close box" if smoke or collection == "tovrin" else "menu")


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--scale", type=int, default=1)
    ap.add_argument("--smoke", action="store_true", help="one collection: the toolbar, printing and the close box")
    ap.add_argument("--only", help="one collection (quorvel, tovrin, assign), 'faults', or 'reader'")
    a = ap.parse_args()
    d = desk.Desk(scale=a.scale)
    t0 = time.monotonic()
    log = lambda m: print("walk: %5.1f %s" % (time.monotonic() - t0, m), flush=True)
    runs = [("quorvel", "drive"), ("tovrin", "tower"), ("assign", "drive")]
    if a.smoke:
        runs = runs[:1]
    try:
        if a.only in (None, "reader"):  # the smoke too: keys and the strip at each scale
            reader_keys_strip_and_links(d, log)
        if not a.smoke and a.only in (None, "faults"):
            for fault in (import_then_lists, restricted_settings, no_queue_asks_where):
                fault(d, log)
        for collection, mode in runs:
            if a.only in (None, collection):
                walk_collection(d, collection, mode, a.smoke, log)
    except Fail:
        d.shot(os.path.join(d.sandbox, "failed.png"))
        d.keep = True
        print("walk: sandbox and screenshot kept in", d.sandbox)
        raise
    finally:
        d.close()


if __name__ == "__main__":
    try:
        main()
    except Fail as e:
        sys.exit("FAIL: %s" % e)
