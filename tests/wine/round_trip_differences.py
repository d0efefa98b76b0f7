#!/usr/bin/env python3
"""The registry changes read on stdin (as setup_compare.py "changes" writes
them) that tests/data/round_trip_differences.txt does not allow for the family
named by the argument ("nt" or "9x"): printed one a line.

Only the list's unconditional entries apply here: an entry with an "if" or
"= as" clause depends on the registry before setup, which this reading does not
have, so it allows nothing (the check is the stricter for it)."""
import os
import re
import sys

LIST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data",
                    "round_trip_differences.txt")


def pattern(change):
    """A change of the list as a regular expression: "?" any one character,
    "*" any run without a backslash (but a whole key name "\\*\\" is the key
    "*"); a new key allows the keys above it."""
    def piece(i, c):
        if c == "?":
            return "."
        whole_name = i > 0 and change[i - 1] == "\\" and change[i + 1:i + 2] in ("\\", "]")
        if c == "*" and not whole_name:
            return "[^\\\\]*"
        return re.escape(c)
    body = "".join(piece(i, c) for i, c in enumerate(change))
    if change.startswith("+[") and change.endswith("]"):
        # "+[A\B\C]" allows "+[A\B]" and "+[A]" too.
        inner = body[len(re.escape("+[")):-len(re.escape("]"))]
        parts = inner.split(re.escape("\\"))
        alternatives = [re.escape("\\").join(parts[:n]) for n in range(2, len(parts) + 1)]
        return re.compile(re.escape("+[") + "(?:" + "|".join(alternatives) + ")" +
                          re.escape("]") + "$")
    return re.compile(body + "$")


def allowed(family):
    patterns = []
    with open(LIST, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            families, _, change = line.partition(" ")
            if family not in families.split(","):
                continue
            if re.search(r" if |= as ", change) or change.endswith(" if new"):
                continue
            patterns.append(pattern(change))
    return patterns


def main():
    if len(sys.argv) != 2 or sys.argv[1] not in ("nt", "9x"):
        sys.exit("usage: round_trip_differences.py nt|9x < changes")
    patterns = allowed(sys.argv[1])
    for line in sys.stdin:
        line = line.rstrip("\n")
        if line and not any(p.match(line) for p in patterns):
            print(line)


main()
