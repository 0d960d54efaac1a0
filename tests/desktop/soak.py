#!/usr/bin/python3
"""A seeded random walk of real input over the real program, in a sandbox of its own;
afterwards the program is alive or ended with status 0, it reported no crash, its
memory stayed bounded, it produced no more output than the input asked for, and its
lists are sound. A failing run prints its seed; --seed replays it."""
import argparse
import glob
import os
import random
import re
import sys
import time

sys.dont_write_bytecode = True  # nothing of the harness lands in the source tree
import desk  # noqa: E402
from desk import Fail, wait_for

KEYS = ["Return", "Escape", "Tab", "shift+Tab", "space", "Up", "Down", "Left", "Right", "Prior", "Next", "Home", "End"]
HELD = ["Return", "space", "Down", "Next", "KP_Enter"]
TARGETS = {"push button", "radio button", "check box", "list item", "menu item", "check menu item", "text",
           "page tab", "combo box", "table cell", "spin button"}
MAX_RSS_KB = 500 * 1024


def targets(p, window, limit=300):
    """The controls of a window a person could click."""
    out = []

    def walk(a, depth):
        if len(out) >= limit or depth > 10:
            return
        try:
            st = a.getState()
            if depth and not st.contains(desk.pyatspi.STATE_SHOWING):
                return
            role = a.getRoleName()
            if role in TARGETS and st.contains(desk.pyatspi.STATE_ENABLED):
                out.append(a)
            n = a.childCount
            for i in range(min(n, 40 if role in ("list", "table", "tree table", "tree") else n)):
                walk(a.getChildAtIndex(i), depth + 1)
        except Exception:
            pass  # the window changed under the walk: what is left is enough
    walk(window, 0)
    return out


class Soak:
    def __init__(self, seed, scale, seconds, log):
        self.rng = random.Random(seed)
        self.scale, self.seconds, self.log = scale, seconds, log
        self.activations = 0  # presses and clicks that were not auto-repeated
        self.programs, self.findings = [], []

    def start(self):
        """The first start shows a document; later ones go on from whatever the run's
        settings now make of a start (it may have switched the tower off, say)."""
        p = desk.Program(self.d, self.inst)
        self.programs.append(p)
        if len(self.programs) == 1:
            p.start_up()
            p.view(self.rng.choice(self.docs))
        else:
            wait_for(lambda: p.windows() or not p.alive(), "a window of the restarted program")
        return p

    def outputs(self):
        """Print jobs (one PDF each) and exported documents (a file, or a directory of
        pages, named for its document)."""
        jobs = len(glob.glob(os.path.join(self.d.sandbox, "out-*", "*.pdf")))
        exported = set()
        for f in desk.sandbox_outputs(*self.drives) - self.before:
            parent = os.path.basename(os.path.dirname(f))
            exported.add(parent if parent in self.docs else f)
        return jobs, len(exported)

    def step(self, p):
        r = self.rng.random()
        d = self.d
        wins = p.windows()
        if not wins:
            return
        title, top = wins[-1] if self.rng.random() < 0.85 else self.rng.choice(wins)
        # After a restart only the splash may be up: never wait for the main window here.
        main = next((w for _, w in wins if p.is_main(w)), None)
        if r < 0.45:
            pick = targets(p, top)
            if not pick:
                return
            try:
                x, y = p.center(self.rng.choice(pick))
            except Exception:
                return
            d.click_at(x, y, 1 if self.rng.random() < 0.93 else 3)
        elif r < 0.55:
            x, y, w, h = p.extents(top)
            d.click_at(x + self.rng.randrange(max(1, w)), y + self.rng.randrange(max(1, h)))
        elif r < 0.80:
            d.key(self.rng.choice(KEYS))
        elif r < 0.86:
            x, y, w, h = p.extents(main or top)
            d.wheel(x + w // 2 + self.rng.randrange(-w // 4, w // 4 + 1), y + h // 2, up=self.rng.random() < 0.6,
                    ctrl=self.rng.random() < 0.8, times=self.rng.randint(1, 6))
            return
        elif r < 0.91:
            # Held long enough for the X server to repeat it: the repeats must not count.
            d.hold(self.rng.choice(HELD), self.rng.uniform(0.7, 2.5))
        elif r < 0.95:
            # A press whose release lands on whatever window the press brought up or uncovered.
            before = p.titles()
            d.hold("Return", 1, lambda: p.titles() != before)
        elif r < 0.99:
            others = p.others()
            if not others:
                return
            p.close_box(self.rng.choice(others)[1])
        elif main is not None:
            p.close_box(main)
        else:
            return
        self.activations += 1

    def run(self):
        self.d = desk.Desk(scale=self.scale)
        try:
            self._run()
        except Fail as e:
            self.findings.append(str(e))
        finally:
            if self.findings:
                shot = os.path.join(self.d.sandbox, "soak-failed.png")
                self.d.shot(shot)
                self.d.keep = True
                self.findings.append("sandbox kept: " + self.d.sandbox)
            self.d.close()

    def _run(self):
        collection = self.rng.choice(["quorvel", "tovrin", "assign"])
        self.inst = desk.Install(self.d, collection, "tower", "open")
        self.docs = self.inst.documents()
        self.drives = [os.path.join(self.inst.dir, "c"), os.path.join(self.inst.dir, "a")]
        self.before = desk.sandbox_outputs(*self.drives)
        outside = outside_snapshot()
        self.log("%s, scale %d, %d s, sandbox %s" % (collection, self.scale, self.seconds, self.d.sandbox))
        end = time.monotonic() + self.seconds
        p = self.start()
        report_at = time.monotonic() + 300
        while time.monotonic() < end:
            if time.monotonic() > report_at:
                report_at += 300
                p.sample_rss()
                self.log("events %d, starts %d, RSS peak %d MB"
                         % (self.d.events, len(self.programs), p.peak_kb // 1024))
            if not p.alive():
                self.check_ended(p)
                p = self.start()
                continue
            try:
                self.step(p)
            except Fail:
                if p.alive():
                    raise
            except Exception as e:  # the tree changed under a query: the window went away
                if not p.alive():
                    continue
                if "timeout" in str(e).lower() or "NoReply" in str(e):
                    raise Fail("the program stopped answering: %s" % e)
        # The lists are read while the program still holds them, as a person's next
        # start would find them.
        if p.alive():
            p.sample_rss()
            self.check_lists()
            p.stop()
            if p.crash_report():
                raise Fail("crash report:\n" + p.crash_report())
        else:
            self.check_ended(p)
            self.check_lists()
        jobs, exported = self.outputs()
        peak = max(q.peak_kb for q in self.programs)
        self.log("events %d, activations %d, starts %d, print jobs %d, exported documents %d, peak RSS %d MB"
                 % (self.d.events, self.activations, len(self.programs), jobs, exported, peak // 1024))
        if jobs + exported > self.activations:
            raise Fail("%d print jobs and %d exported documents from %d presses and clicks"
                       % (jobs, exported, self.activations))
        if peak > MAX_RSS_KB and not sanitized():
            raise Fail("peak RSS %d MB" % (peak // 1024))
        new = outside_snapshot() - outside
        if new:
            raise Fail("written outside the sandbox: %s" % sorted(new))

    def check_ended(self, p):
        report = p.crash_report()
        if p.status != 0 or report:
            raise Fail("the program ended with status %s:\n%s" % (p.status, report or p.output()[-2000:]))

    def check_lists(self):
        lists = self.inst.lists()
        if lists["integrity"] != "ok":
            raise Fail("list database: " + lists["integrity"])
        for a, b in (("Found", "FoundOrder"), ("Remaining", "RemainingOrder")):
            if lists[a] != lists[b]:
                raise Fail("%s %s but %s %s" % (a, lists[a], b, lists[b]))
        both = set(lists["ToPrint"]) & set(lists["Remaining"])
        if both:
            raise Fail("on To Print and on Remaining: %s" % sorted(both))


def sanitized():
    with open(os.path.join(desk.BUILD, "CMakeCache.txt"), errors="replace") as f:
        return "fsanitize" in f.read()


def outside_snapshot():
    """What the program could have written outside its sandbox: files in the real home
    (and its documents folder), and print or page files in /tmp (which others share)."""
    seen = set()
    home = os.path.expanduser("~")
    for top in (home, os.path.join(home, "Documents")):
        if os.path.isdir(top):
            seen.update(os.path.join(top, f) for f in os.listdir(top))
    rx = re.compile(r"(?i)\.(pdf|tif|tiff|pcx|wmf|gif|bmp)$|^print")
    seen.update(os.path.join("/tmp", f) for f in os.listdir("/tmp") if rx.search(f))
    return seen


def main():
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--seconds", type=int, default=60)
    ap.add_argument("--seed", type=int, default=None, help="replays a run")
    ap.add_argument("--scale", type=int, default=1)
    a = ap.parse_args()
    seed = a.seed if a.seed is not None else random.SystemRandom().randrange(1 << 31)
    t0 = time.monotonic()
    log = lambda m: print("soak: %6.1f %s" % (time.monotonic() - t0, m), flush=True)
    log("seed %d (replay: soak.py --seed %d --seconds %d --scale %d)" % (seed, seed, a.seconds, a.scale))
    s = Soak(seed, a.scale, a.seconds, log)
    s.run()
    if s.findings:
        sys.exit("soak: FAILED with seed %d:\n%s" % (seed, "\n".join(s.findings)))
    log("no finding")


if __name__ == "__main__":
    main()
