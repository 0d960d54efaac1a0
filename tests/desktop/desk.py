"""The real program on a virtual X server, driven only through X input (xdotool, which
sends through XTEST) and read only from outside: the accessibility tree, the files it
writes, its list database, its exit status and screenshots."""
import contextlib
import glob
import os
import re
import select
import shutil
import sqlite3
import subprocess
import tempfile
import time

BUILD = os.environ.get("VELK_BUILD", os.path.join(os.path.dirname(__file__), "..", "..", "build"))
LINK = {"quorvel": "velkwp", "tovrin": "velkwm", "assign": "velkwa"}
PATIENCE = int(os.environ.get("VELK_DESK_PATIENCE", "120"))  # a stuck wait fails after this many seconds; waits end as soon as their condition holds
CRASH = re.compile(r"terminate called|AddressSanitizer|LeakSanitizer|runtime error:|Segmentation fault|Aborted|"
                   r"uncaught exception|QWidget::repaint: Recursive repaint")


class Fail(Exception):
    pass


def wait_for(cond, what, timeout=PATIENCE):
    """cond's first true value; at the timeout a Fail, or with no `what` the false one."""
    end = time.monotonic() + timeout
    while True:
        got = cond()
        if got or (what is None and time.monotonic() > end):
            return got
        if time.monotonic() > end:
            raise Fail("waited %d s for %s" % (timeout, what))
        time.sleep(0.05)


def bare(text):
    return (text or "").replace("&", "").strip()


class Desk:
    """An X server with a window manager, a private D-Bus with the accessibility bus and a
    sandbox (HOME, TMPDIR, installations) of its own."""

    def __init__(self, scale=1, screen=(1280, 1024)):
        self.scale, self.screen, self.keep = scale, screen, False
        self.sandbox = tempfile.mkdtemp(prefix="velk-desk-")
        self.procs = []
        try:
            self._start()
        except BaseException:
            self.close()  # what did start goes again
            raise
        self.events = 0  # X input events sent, for the soak's figures
        loc = re.match(r"x:(\d+) y:(\d+)", self.xdo("getmouselocation"))
        self.pointer = (int(loc.group(1)), int(loc.group(2)))

    def _start(self):
        # The server picks a free display itself and names it once it takes connections:
        # no race with another test for a display, nor with a dying server's socket.
        r, w = os.pipe()
        x = subprocess.Popen(["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % self.screen,
                              "-nolisten", "tcp"], pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(w)
        self.procs.append(x)
        with os.fdopen(r) as named:
            if not select.select([named], [], [], PATIENCE)[0]:
                raise Fail("Xvfb named no display in %d s" % PATIENCE)
            number = named.readline().strip()
        if not number.isdigit():
            raise Fail("Xvfb ended (status %s) before it took connections" % x.poll())
        self.display = ":" + number
        os.environ["DISPLAY"] = self.display
        bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.procs.append(bus)
        os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
        wm_log = os.path.join(self.sandbox, "openbox.log")
        with open(wm_log, "w") as log:
            wm = subprocess.Popen(["openbox", "--sm-disable"], stdout=log, stderr=subprocess.STDOUT,
                                  env=dict(os.environ, HOME=self.sandbox))
        self.procs.append(wm)
        def wm_up():
            if wm.poll() is not None:
                raise Fail("the window manager ended (status %s)" % wm.returncode)
            return self.xdo("search", "--class", "openbox", ok=(0, 1)) is not None
        try:
            wait_for(wm_up, "the window manager")
        except Fail as e:  # its own words, for the rare start that never comes up
            raise Fail("%s on %s; it wrote: %s" % (e, self.display, open(wm_log).read()[-2000:]))
        global pyatspi
        import pyatspi  # after the bus address is set: it connects on import

    # --- input -------------------------------------------------------------------
    def xdo(self, *args, ok=(0,)):
        r = subprocess.run(["xdotool"] + [str(a) for a in args], capture_output=True, text=True)
        if r.returncode not in ok:
            raise Fail("xdotool %s: %s" % (" ".join(map(str, args)), r.stderr.strip()))
        return r.stdout if r.returncode == 0 else None

    def key(self, *keys):
        self.events += len(keys)
        self.xdo("key", "--delay", "30", *keys)

    def type(self, text):
        self.events += len(text)
        self.xdo("type", "--delay", "20", text)

    def hold(self, key, seconds, until=lambda: False):
        """Holds a key down long enough for the X server to repeat it, or until until() holds."""
        self.events += 1
        self.xdo("keydown", key)
        wait_for(until, None, seconds)  # the repeat itself is what is tested: it needs real time
        self.xdo("keyup", key)

    def move(self, x, y):
        # Only the screen can be pointed at; --sync waits for the pointer to move, so
        # never for a move to where it is.
        x, y = min(max(int(x), 0), self.screen[0] - 1), min(max(int(y), 0), self.screen[1] - 1)
        if (x, y) != self.pointer:
            self.xdo("mousemove", "--sync", int(x), int(y))
            self.pointer = (int(x), int(y))

    def click_at(self, x, y, button=1):
        self.events += 1
        self.move(x, y)
        self.xdo("click", button)

    def drag(self, x0, y0, x1, y1):
        self.events += 2
        self.move(x0, y0)
        self.xdo("mousedown", 1)
        for i in (1, 2, 3, 4):  # in steps, as a hand moves: a window manager moves a window on motion
            self.move(x0 + (x1 - x0) * i / 4, y0 + (y1 - y0) * i / 4)
        self.xdo("mouseup", 1)

    def wheel(self, x, y, up=True, ctrl=False, times=1):
        self.events += times
        self.move(x, y)
        if ctrl:
            self.xdo("keydown", "ctrl")
        self.xdo("click", "--repeat", times, "--delay", "40", 4 if up else 5)
        if ctrl:
            self.xdo("keyup", "ctrl")

    def shot(self, path):
        subprocess.run(["import", "-display", self.display, "-window", "root", path], capture_output=True)

    def close(self):
        for p in reversed(self.procs):
            if isinstance(p, Program):
                p.stop()
            elif p.poll() is None:
                p.terminate()
                try:
                    p.wait(10)
                except subprocess.TimeoutExpired:
                    p.kill()
        if not self.keep:
            shutil.rmtree(self.sandbox, ignore_errors=True)


class Install:
    """A sample installation made by mksample, with the program's link in it."""

    def __init__(self, desk, collection, mode="drive", installation="open", name=None, **opts):
        self.collection = collection
        self.dir = os.path.join(desk.sandbox, name or "%s-%s-%s" % (collection, mode, installation))
        args = [os.path.join(BUILD, "tools/mksample/mksample"), "--collection", collection, "--out", self.dir,
                "--mode", mode, "--installation", installation, "--page-scale", "0.1",
                "--program", os.path.abspath(os.path.join(BUILD, "app/velk"))]
        for k, v in {"volumes": 2, "documents-per-volume": 4, **opts}.items():
            args += ["--" + k.replace("_", "-"), str(v)]
        subprocess.run(args, check=True, capture_output=True)
        self.app = os.path.join(self.dir, "app")
        # the splash's title and the caption of its messages
        self.mode_text, self.message_title = {"quorvel": ("Quorvel", "Quorvel"), "tovrin": ("Tovrin", "Tovrin"),
                                              "assign": ("Assignments", "ASSIGN")}[collection]
        self.ini = os.path.join(self.app, "VelkWm.INI" if collection == "tovrin" else "VelkWp.INI")
        self.set("READ_ME", "NO")
        self.db = os.path.join(self.app, "VELKWm.mdb" if collection == "tovrin" else "VELKWp.mdb")
        self.drive_c = os.path.join(self.dir, "c")
        self.import_dir = os.path.join(self.dir, "c", "VELK", "IMPORT")

    def set(self, key, value):
        with open(self.ini, "rb") as f:
            text = f.read().decode("latin-1")
        text = re.sub(r"(?m)^%s=.*?(\r?)$" % key, lambda m: "%s=%s%s" % (key, value, m.group(1)), text)
        with open(self.ini, "wb") as f:
            f.write(text.encode("latin-1"))

    def get(self, key):
        with open(self.ini, "rb") as f:
            m = re.search(r"(?m)^%s=(.*?)\r?$" % key, f.read().decode("latin-1"))
        return m.group(1) if m else None

    def documents(self):
        """The numbers of the documents that have images, from the cumulative index: those
        on the volume in the drive (single drive) or in the tower."""
        if os.path.isdir(os.path.join(self.dir, "cd")):
            vols = set()
            for idfile in glob.glob(os.path.join(self.dir, "cd", "*", "VOLUME.ID")):
                with open(idfile, "rb") as f:
                    vols.add(f.read().decode().strip().upper())
        else:
            vols = {v.upper() for v in os.listdir(os.path.join(self.dir, "tower"))}
        idx = glob.glob(os.path.join(self.app, "cum*.idx"))[0]
        with open(idx, "rb") as f:
            data = f.read()
        out = []
        for i in range(0, len(data) - 25, 26):
            number, volume = data[i:i + 8].decode().strip(), data[i + 8:i + 18].decode().strip()
            if volume.upper() in vols:
                out.append(number)
        return out

    def lists(self):
        """Each list of the database: its document numbers (trimmed), sorted."""
        with contextlib.closing(sqlite3.connect("file:%s?mode=ro" % self.db, uri=True, timeout=30)) as con:
            out = {t: sorted(r[0] for r in con.execute("SELECT trim(DocumentNo) FROM %s" % t))
                   for t in ("Found", "FoundOrder", "NotFound", "Remaining", "RemainingOrder", "ToPrint", "ToExport")}
            out["integrity"] = con.execute("PRAGMA integrity_check").fetchone()[0]
            return out


class Program:
    """The program started through an installation's link, with HOME and TMPDIR of the
    desk's sandbox."""

    def __init__(self, desk, inst, printer="print.pdf"):
        self.desk, self.inst = desk, inst
        self.home = os.path.join(desk.sandbox, "home")
        self.out = os.path.join(desk.sandbox, "out-%d" % len(desk.procs))  # each start numbers its jobs anew
        for d in (self.home, self.out, os.path.join(desk.sandbox, "tmp"), os.path.join(desk.sandbox, "run")):
            os.makedirs(d, exist_ok=True)
        os.chmod(os.path.join(desk.sandbox, "run"), 0o700)
        env = {k: v for k, v in os.environ.items() if not k.startswith(("QT_", "XDG_", "VELK_"))}
        env.update(HOME=self.home, TMPDIR=os.path.join(desk.sandbox, "tmp"),
                   XDG_RUNTIME_DIR=os.path.join(desk.sandbox, "run"), QT_QPA_PLATFORM="xcb",
                   QT_SCALE_FACTOR=str(desk.scale), QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   CUPS_SERVER=os.path.join(desk.sandbox, "no-cups"))  # no printer queue unless VELK_PRINTER names one
        if printer:
            env["VELK_PRINTER"] = os.path.join(self.out, printer)
        self.log_path = os.path.join(desk.sandbox, "program-%d.log" % len(desk.procs))
        desk.procs.append(self)  # ended with the desk
        self.log = open(self.log_path, "w")
        self.proc = subprocess.Popen([os.path.join(inst.app, LINK[inst.collection])], cwd=desk.sandbox, env=env,
                                     stdout=self.log, stderr=subprocess.STDOUT)
        self.peak_kb = 0
        self.status = None
        self._app = None

    # --- outcome -----------------------------------------------------------------
    def alive(self):
        if self.status is None:
            self.sample_rss()
            pid, st, ru = os.wait4(self.proc.pid, os.WNOHANG)
            if pid:
                self.status = os.waitstatus_to_exitcode(st)
                self.peak_kb = max(self.peak_kb, ru.ru_maxrss)
                self.proc.returncode = self.status
        return self.status is None

    def sample_rss(self):
        try:
            with open("/proc/%d/status" % self.proc.pid) as f:
                for line in f:
                    if line.startswith("VmHWM:"):
                        self.peak_kb = max(self.peak_kb, int(line.split()[1]))
        except OSError:
            pass

    def output(self):
        if not self.log.closed:
            self.log.flush()
        with open(self.log_path, errors="replace") as f:
            return f.read()

    def crash_report(self):
        m = CRASH.search(self.output())
        return self.output()[max(0, m.start() - 200):m.start() + 1500] if m else None

    def stop(self):
        if self.alive():
            self.proc.terminate()
            try:
                self.proc.wait(20)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
            self.status = self.proc.returncode
        self.log.close()

    # --- the accessibility tree --------------------------------------------------
    def app(self):
        if self._app is None:
            def look():
                desktop = pyatspi.Registry.getDesktop(0)
                for i in range(desktop.childCount):
                    a = desktop.getChildAtIndex(i)
                    try:
                        if a is not None and a.get_process_id() == self.proc.pid:
                            return a
                    except Exception:
                        pass
                if not self.alive():
                    raise Fail("the program ended (status %s):\n%s" % (self.status, self.output()[-3000:]))
                return None
            self._app = wait_for(look, "the program on the accessibility bus")
        return self._app

    def windows(self):
        """Showing top-level windows: [(title, accessible)]."""
        out = []
        app = self.app()
        for i in range(app.childCount):
            try:
                w = app.getChildAtIndex(i)
                if w is not None and w.getState().contains(pyatspi.STATE_SHOWING):
                    out.append((w.name, w))
            except Exception:
                pass
        return out

    def window(self, title, timeout=PATIENCE):
        """The showing window, besides the main window, whose title holds a match of the
        regular expression."""
        rx = re.compile(title)

        def look():
            if not self.alive():
                raise Fail("the program ended (status %s) while waiting for %r:\n%s"
                           % (self.status, title, self.output()[-3000:]))
            for name, w in self.others():
                if rx.search(name or ""):
                    return w
            return None
        w = wait_for(look, "a window titled %r" % title, timeout)
        # Clicks go where the window manager has put it, once it has the focus.
        last = [None]

        def placed():
            now = self.extents(w)
            steady, last[0] = now == last[0], now
            return steady and w.getState().contains(pyatspi.STATE_ACTIVE)
        wait_for(placed, "%r to be placed and active" % title, timeout)
        return w

    def titles(self):
        try:
            return [t for t, _ in self.windows()]
        except Exception as e:
            return "?(%s)" % e

    def gone(self, title):
        rx = re.compile(title)
        wait_for(lambda: not any(rx.search(t or "") for t, _ in self.others()), "%r to close" % title)

    def find(self, root, name=None, role=None, many=False):
        """Accessible elements under root by name (with & removed, else the description; a
        regular expression, matched whole) and role name."""
        rx = re.compile(name + "$") if name is not None else None
        hits = []

        def walk(a, depth):
            if a is None or depth > 12:
                return False
            try:
                st = a.getState()
                if depth and not st.contains(pyatspi.STATE_SHOWING):
                    return False
                r = a.getRoleName()
                label = bare(a.name) or (a.description or "").strip()
                if (rx is None or rx.match(label)) and (role is None or r == role) and depth:
                    hits.append(a)
                    if not many:
                        return True
                if r in ("list", "table", "tree table", "page tab list") and role not in ("list item", "table cell"):
                    return False
                for i in range(a.childCount):
                    if walk(a.getChildAtIndex(i), depth + 1):
                        return True
            except Exception:
                pass
            return False
        walk(root, 0)
        return hits if many else (hits[0] if hits else None)

    def get(self, root, name=None, role=None):
        return wait_for(lambda: self.find(root, name, role), "%s %r in %r" % (role or "element", name, root.name))

    def center(self, acc):
        x, y, w, h = self.extents(acc)
        return x + w / 2, y + h / 2

    def click(self, acc, button=1):
        wait_for(lambda: acc.getState().contains(pyatspi.STATE_ENABLED), "%r to be enabled" % acc.name)
        x, y = self.center(acc)
        self.desk.click_at(x, y, button)

    def press(self, window, name, role="push button"):
        """Clicks the named control of a window."""
        self.click(self.get(window, name, role))

    def enabled(self, acc):
        return acc.getState().contains(pyatspi.STATE_ENABLED)

    def extents(self, acc):
        """(x, y, width, height) in device pixels."""
        # The tree reports logical pixels; the X server takes device pixels.
        e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        k = self.desk.scale
        return int(e.x * k), int(e.y * k), int(e.width * k), int(e.height * k)

    def menu(self, frame, *path):
        """Picks Menu > [Submenu >] Item with the mouse."""
        entry = self.get(self.menu_open(frame, *path[:-1]), re.escape(path[-1]), "menu item")
        if not self.enabled(entry):
            self.menus_closed(frame)
            raise Fail("%s is disabled" % " > ".join(path))
        self.click(entry)
        wait_for(lambda: not self.open_menu(frame), "the menu to close after " + " > ".join(path))

    def open_menu(self, frame):
        bar = self.find(frame, None, "menu bar")
        return bar and self.find(bar, None, "popup menu")

    def menus_closed(self, frame):
        for _ in range(4):
            if not self.open_menu(frame):
                return
            self.desk.key("Escape")
        wait_for(lambda: not self.open_menu(frame), "the menus to close")

    def menu_open(self, frame, *path):
        """Opens Menu [> Submenu] of the menu bar; returns the last popup."""
        self.menus_closed(frame)
        popup = self.get(frame, None, "menu bar")
        for item in path:
            entry = self.get(popup, re.escape(item), "menu item")
            self.click(entry)
            popup = wait_for(lambda: self.find(entry, None, "popup menu"), "the %s menu to open" % item)
            wait_for(lambda: self.find(popup, None, "menu item"), "the items of " + item)
        return popup

    def menu_items(self, frame, *path):
        """[(caption, enabled, has a submenu)] of a menu, read with it open; closes it again."""
        popup = self.menu_open(frame, *path)
        items = [popup.getChildAtIndex(i) for i in range(popup.childCount)]
        out = [(bare(c.name), self.enabled(c), c.childCount > 0) for c in items
               if c.getRoleName() in ("menu item", "check menu item", "radio menu item", "menu") and bare(c.name)]
        self.menus_closed(frame)
        return out

    def close_box(self, window):
        """Clicks the window manager's close box of a window (top right of its title bar)."""
        x, y, w, _ = self.extents(window)
        self.desk.click_at(x + w - 11, y - 11)

    # --- the program's own ways -------------------------------------------------
    def is_main(self, w):
        return w.getRoleName() == "frame" and any(
            w.getChildAtIndex(i).getRoleName() == "menu bar" for i in range(min(w.childCount, 4)))

    def main(self):
        return wait_for(lambda: next((w for _, w in self.windows() if self.is_main(w)), None), "the main window")

    def start_up(self):
        """From the splash to the document finder (the installation shows no read-me)."""
        self.press(self.window(self.inst.mode_text), "Continue")
        return self.window("Document Finder")

    def view(self, number, finder=None, also=()):
        """Finds a number (and the numbers `also`) in the document finder, adds each to the
        Found list and views the list."""
        f = finder or self.window("Document Finder")
        for n in (number,) + tuple(also):
            self.click(self.get(f, None, "text"))
            self.desk.key("ctrl+a")
            self.desk.type(n)
            self.desk.key("Return")
            shown = n[:4] + "/" + n[4:] if self.inst.collection == "assign" else n  # reel/frame
            entry = re.escape(shown) + " .*"
            self.click(self.get(f, entry, "list item"))
            self.click(self.get(f, "Add the selected documents to the Found list"))
            wait_for(lambda: len(self.find(f, entry, "list item", many=True)) > 1, n + " on the Found list")
        self.press(f, "OK")
        self.gone("Document Finder")
        return self.main_title(re.escape(self.inst.mode_text + " - ["))

    def main_title(self, rx):
        """Waits until the main window's title holds a match of rx; returns the main window."""
        return wait_for(lambda: re.search(rx, self.main().name or "") and self.main(), "the main title to show %r" % rx)

    def status_field(self, field):
        """The status bar's field that reads as the regular expression: what a screen reader
        reads from it (its accessible name), matched whole; the match's groups."""
        bar = self.get(self.main(), None, "status bar")
        rx = re.compile(field + "$")
        label = self.find(bar, field, "label")
        return rx.match(bare(label.name)).groups() if label else None

    def tool(self, name):
        self.click(self.get(self.main(), name, "push button"))

    def others(self):
        """Showing windows besides the main window."""
        return [(t, w) for t, w in self.windows() if not self.is_main(w)]

    def settle(self):
        """Closes whatever windows are open over the main window: Escape, else the close box."""
        for _ in range(8):
            rest = self.others()
            if not rest:
                return
            title, w = rest[-1]
            if not title.startswith("Velk Help"):  # a window of its own: Escape is not for it
                self.desk.key("Escape")
                if wait_for(lambda: title not in [t for t, _ in self.others()], None, 10):
                    continue
            self.close_box(w)
            self.gone(re.escape(title))
        raise Fail("windows stay open: %s" % self.titles())

    def text(self, acc):
        try:
            t = acc.queryText()
            return t.getText(0, t.characterCount)
        except Exception:
            return bare(acc.name)

    def list_items(self, root):
        lst = self.find(root, None, "list") or self.find(root, None, "table") or self.find(root, None, "tree table")
        if lst is None:
            return []
        return [bare(lst.getChildAtIndex(i).name) for i in range(lst.childCount)]


def sandbox_outputs(*paths):
    """Files the program writes as output (print jobs, exported documents) under paths."""
    return {os.path.join(root, f) for top in paths for root, _, files in os.walk(top) for f in files}
