#!/usr/bin/env python3
"""Product coverage over gcovr JSON files, one per test run.

  merge.py RUN.json...              lines and branches covered by any of the runs
  merge.py --diff A.json... -- B.json...
                                    what the A runs cover that the B runs do not
  merge.py --skip FILE ...          leave out sources whose path ends in FILE
"""
import json
import sys


def load(files, skip):
    lines, lines_hit, branches, branches_hit = set(), set(), set(), set()
    for name in files:
        with open(name) as f:
            data = json.load(f)
        for src in data["files"]:
            path = src["file"]
            if path.endswith(tuple(skip)):
                continue
            for line in src["lines"]:
                if line.get("gcovr/noncode") or line.get("gcovr/excluded"):
                    continue
                key = (path, line["line_number"])
                lines.add(key)
                if line["count"] > 0:
                    lines_hit.add(key)
                for i, b in enumerate(line.get("branches", [])):
                    if b.get("throw"):
                        continue
                    branches.add(key + (i,))
                    if b["count"] > 0:
                        branches_hit.add(key + (i,))
    return lines, lines_hit, branches, branches_hit


def main(args):
    skip = []
    while "--skip" in args:
        i = args.index("--skip")
        skip.append(args[i + 1])
        del args[i:i + 2]
    if args and args[0] == "--diff":
        a, b = args[1:args.index("--")], args[args.index("--") + 1:]
        la, lb = load(a, skip), load(b, skip)
        for path, n in sorted(la[1] - lb[1]):
            print("line %s:%d" % (path, n))
        for path, n, i in sorted(la[3] - lb[3]):
            print("branch %s:%d #%d" % (path, n, i))
        return
    lines, lines_hit, branches, branches_hit = load(args, skip)
    print("lines %d of %d (%.2f %%), branches %d of %d (%.2f %%)" %
          (len(lines_hit), len(lines), 100 * len(lines_hit) / max(1, len(lines)),
           len(branches_hit), len(branches), 100 * len(branches_hit) / max(1, len(branches))))


if __name__ == "__main__":
    main(sys.argv[1:])
