#!/usr/bin/env python3
"""What each test case reaches that nothing else does.

  per_case.py BUILD [--keep FILE] [CTEST...]

Runs every gtest case of the coverage build BUILD on its own, and every other ctest
(the scale reruns, the desktop and package checks) whole, each writing its .gcda files
under a directory of its own (GCOV_PREFIX). The non-zero arc counters of the product's
objects are read straight from those files: arcs are finer than gcov's lines and
branches, so a case with no arc of its own loses no line or branch when it goes.
Prints the cases with none, largest first, and how many reach only a few. The
results are kept in FILE (default BUILD/coverage/per_case.pickle), so a stopped run
goes on where it was; named ctests run alone, against what the file holds of the rest.
"""
import collections
import json
import os
import pickle
import re
import shutil
import struct
import subprocess
import sys
import time

ARCS, FUNCTION = 0x01a10000, 0x01000000
NOT_PRODUCT = re.compile(r"(^|/)(tests|tools|fuzz)/|/test_\w+\.dir/|_autogen/")


def arcs(path, key):
    """(object, function, counter) of every non-zero arc counter of one .gcda file."""
    with open(path, "rb") as f:
        data = f.read()
    out, fn, pos = set(), None, 16  # magic, version, stamp, checksum
    end = "<" if data[:4] == b"adcg" else ">"
    while pos + 8 <= len(data):
        tag, length = struct.unpack_from(end + "Ii", data, pos)
        pos += 8
        if tag == FUNCTION and length >= 4:
            fn = struct.unpack_from(end + "I", data, pos)[0]
        if length < 0:  # every counter zero: none stored
            continue
        if tag == ARCS and fn is not None:
            for i in range(length // 8):
                if struct.unpack_from(end + "Q", data, pos + 8 * i)[0]:
                    out.add((key, fn, i))
        pos += length
    return out


def reached(top, build):
    keys = set()
    for root, _, files in os.walk(top):
        for name in files:
            full = os.path.join(root, name)
            rel = full[full.find(build) + len(build):].lstrip("/")
            if name.endswith(".gcda") and not NOT_PRODUCT.search(rel):
                keys |= arcs(full, rel)
    return keys


def case_lines(source):
    """floor:Suite.Case -> (file:line, counted lines) for every TEST of tests/."""
    out = {}
    for root, _, files in os.walk(os.path.join(source, "tests")):
        for name in (f for f in files if f.endswith(".cpp")):
            text = open(os.path.join(root, name)).read().split("\n")
            for i, line in enumerate(text):
                m = re.match(r"TEST(?:_F|_P)?\((\w+),\s*(\w+)\)", line)
                if m:
                    j = next((j for j in range(i, len(text)) if text[j] == "}"), len(text) - 1)
                    n = sum(1 for t in text[i:j + 1] if not re.match(r"^\s*(//.*)?$", t))
                    key = "%s:%s.%s" % (os.path.basename(root), m.group(1), m.group(2))
                    out[key] = ("%s:%d" % (os.path.relpath(os.path.join(root, name), source), i + 1), n)
    return out


def main():
    build = os.path.abspath(sys.argv[1])
    args = sys.argv[2:]
    keep = os.path.join(build, "coverage", "per_case.pickle")
    if "--keep" in args:
        keep = args.pop(args.index("--keep") + 1)
        args.remove("--keep")
    os.makedirs(os.path.dirname(keep), exist_ok=True)
    results = pickle.load(open(keep, "rb")) if os.path.exists(keep) else {}
    scratch = os.path.join(build, "coverage", "gcda-%d" % os.getpid())
    tests = json.loads(subprocess.run(["ctest", "--show-only=json-v1"], cwd=build, capture_output=True,
                                      text=True, check=True).stdout)["tests"]

    def run(key, command, cwd, env):
        if key in results:
            return
        shutil.rmtree(scratch, ignore_errors=True)
        start = time.monotonic()
        env = dict(os.environ, **env, GCOV_PREFIX=scratch, GCOV_PREFIX_STRIP="0")
        try:
            r = subprocess.run(command, cwd=cwd, env=env, capture_output=True, timeout=1800)
            ok, said = r.returncode == 0, r.stdout + r.stderr
        except subprocess.TimeoutExpired as e:
            ok, said = False, (e.stdout or b"") + b"\ntimed out\n"
        if not ok:  # what it said, for a failure that a rerun does not repeat
            with open(os.path.join(os.path.dirname(keep), re.sub(r"\W", "_", key) + ".fail.log"), "wb") as f:
                f.write(said)
        results[key] = (ok, reached(scratch, os.path.basename(build) + "/"))
        print("%s %s (%.0f s)" % ("ok  " if ok else "FAIL", key, time.monotonic() - start), flush=True)
        pickle.dump(results, open(keep, "wb"))

    for t in (t for t in tests if not args or t["name"] in args):
        props = {p["name"]: p["value"] for p in t.get("properties", [])}
        env = dict(e.split("=", 1) for e in props.get("ENVIRONMENT", []))
        cwd = props.get("WORKING_DIRECTORY", build)
        exe = t["command"][0]
        if os.path.basename(exe).startswith("test_") and not any("--gtest_filter" in a for a in t["command"]):
            listing = subprocess.run([exe, "--gtest_list_tests"], cwd=cwd, capture_output=True, text=True,
                                     env=dict(os.environ, **env)).stdout
            suite = None
            for line in listing.splitlines():
                if not line.startswith(" "):
                    suite = line.strip()
                else:
                    case = suite + line.split()[0]
                    run("%s:%s" % (os.path.basename(exe)[5:], case), [exe, "--gtest_filter=" + case], cwd, env)
        else:
            run("ctest:" + t["name"], ["ctest", "--output-on-failure", "-R", "^%s$" % re.escape(t["name"])], build, {})
    shutil.rmtree(scratch, ignore_errors=True)

    failed = [k for k, (ok, _) in results.items() if not ok]
    if failed:
        print("failed (their arcs count as they were reached):", ", ".join(failed))
    count = collections.Counter()
    for _, keys in results.values():
        count.update(keys)
    lines = case_lines(os.path.dirname(os.path.abspath(__file__)) + "/../..")
    cases = [k for k in results if not k.startswith("ctest:")]
    own = {k: sum(1 for a in results[k][1] if count[a] == 1) for k in cases}
    none = sorted((k for k in cases if own[k] == 0), key=lambda k: -lines.get(k, ("", 0))[1])
    few = [k for k in cases if 0 < own[k] <= 10]
    print("\n%d cases, %d with no arc of their own (%d lines):" %
          (len(cases), len(none), sum(lines.get(k, ("", 0))[1] for k in none)))
    for k in none:
        where, n = lines.get(k, ("?", 0))
        print("  %4d  %s  %s" % (n, k, where))
    print("%d cases reach 1 to 10 arcs of their own (%d lines)" %
          (len(few), sum(lines.get(k, ("", 0))[1] for k in few)))


if __name__ == "__main__":
    main()
