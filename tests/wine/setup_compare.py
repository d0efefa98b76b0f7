#!/usr/bin/env python3
"""What a setup run changed, in a form that both machines can be compared by.

  setup_compare.py changes BEFORE_DIR AFTER_DIR   the registry changes
  setup_compare.py compare SIM_BEFORE SIM_AFTER WINE_BEFORE WINE_AFTER
                                                   the changes of both, as a unified
                                                   diff (empty when they agree)
  setup_compare.py links BEFORE_LIST AFTER_LIST   the shortcut files made
  setup_compare.py value FILE... KEY NAME         one value ("dword:..." or the text)
  setup_compare.py sim-start MACHINE_DIR          a simulated machine made like a
                                                   fresh wine64 prefix

Registry files are regedit exports ("Windows Registry Editor Version 5.00",
UTF-16 with its byte-order mark as wine's regedit writes them, or UTF-8 as
the simulated machine's registry.reg). HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes
counts as HKEY_CLASSES_ROOT. Only the parts that setup writes are compared:
HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\
CurrentVersion and HKEY_CURRENT_USER\\Software\\Velkor. Key and value names
are compared without regard to case.
"""
import os
import re
import sys

WATCHED = (
    "HKEY_CLASSES_ROOT",
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION",
    "HKEY_CURRENT_USER\\SOFTWARE\\VELKOR",
)
CLASSES = "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES"


def decode(raw):
    if raw.startswith(b"\xff\xfe"):
        return raw[2:].decode("utf-16-le")
    if raw.startswith(b"\xef\xbb\xbf"):
        return raw[3:].decode("utf-8")
    return raw.decode("utf-8")


def key_name(name):
    upper = name.upper()
    if upper == CLASSES or upper.startswith(CLASSES + "\\"):
        upper = "HKEY_CLASSES_ROOT" + upper[len(CLASSES):]
    return upper


def watched(key):
    return any(key == w or key.startswith(w + "\\") for w in WATCHED)


def quoted(text, at):
    """The quoted text starting at text[at] == '"': (value, index after it)."""
    out = []
    i = at + 1
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            out.append(text[i + 1])
            i += 2
            continue
        if c == '"':
            return "".join(out), i + 1
        out.append(c)
        i += 1
    raise ValueError("unterminated text: " + text)


def value_text(data):
    if data.startswith('"'):
        return "sz:" + quoted(data, 0)[0]
    if data.startswith("dword:"):
        return "dword:%08x" % int(data[6:], 16)
    m = re.match(r"hex(?:\(([0-9a-fA-F]+)\))?:(.*)$", data)
    if not m:
        return "raw:" + data
    kind = int(m.group(1), 16) if m.group(1) else 3
    body = bytes(int(b, 16) for b in m.group(2).replace(" ", "").split(",") if b)
    if kind in (1, 2, 7):
        text = body.decode("utf-16-le").rstrip("\0")
        return {1: "sz:", 2: "expand:", 7: "multi:"}[kind] + text.replace("\0", "|")
    if kind == 4 and len(body) == 4:
        return "dword:%08x" % int.from_bytes(body, "little")
    return "hex(%x):%s" % (kind, body.hex())


def read_registry(paths):
    """{key: {value name: text}} of the watched keys in the files."""
    keys = {}
    for path in paths:
        with open(path, "rb") as f:
            lines = decode(f.read()).replace("\r\n", "\n").split("\n")
        key = None
        pending = ""
        for line in lines:
            line = pending + (line.strip() if pending else line)
            pending = ""
            if re.search(r"=hex(\([0-9a-fA-F]+\))?:.*\\$", line):
                pending = line[:-1]
                continue
            if line.startswith("[") and line.endswith("]"):
                name = key_name(line[1:-1])
                key = name if watched(name) else None
                if key is not None:
                    keys.setdefault(key, {})
                continue
            if key is None or not line or line.startswith(";"):
                continue
            if line.startswith("@="):
                name, rest = "", line[2:]
            elif line.startswith('"'):
                name, end = quoted(line, 0)
                rest = line[end + 1:]
            else:
                continue
            keys[key][name.upper()] = value_text(rest)
    return keys


def registry_files(folder):
    return sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".reg"))


def changes(before_dir, after_dir):
    before = read_registry(registry_files(before_dir))
    after = read_registry(registry_files(after_dir))
    lines = []
    for key in sorted(set(before) | set(after)):
        if key not in after:
            lines.append("-[%s]" % key)
            continue
        if key not in before:
            lines.append("+[%s]" % key)
        old = before.get(key, {})
        for name, text in sorted(after[key].items()):
            if old.get(name) != text:
                lines.append("[%s] %s = %s" % (key, name or "@", text))
        for name in sorted(set(old) - set(after[key])):
            lines.append("[%s] %s deleted" % (key, name or "@"))
    return lines


def compare(sim_before, sim_after, wine_before, wine_after):
    """Both machines' changes side by side. A key that one run made and that
    the other machine had from the start is no difference: both end with it."""
    import difflib

    had = {
        "sim": read_registry(registry_files(sim_before)),
        "wine": read_registry(registry_files(wine_before)),
    }
    made = {
        "sim": changes(sim_before, sim_after),
        "wine": changes(wine_before, wine_after),
    }
    other = {"sim": "wine", "wine": "sim"}
    kept = {}
    for side, lines in made.items():
        kept[side] = [
            line for line in lines
            if not (line.startswith("+[") and line[2:-1] in had[other[side]])
        ]
    if not kept["wine"]:
        return ["wine64's registry did not change"]
    return list(difflib.unified_diff(kept["sim"], kept["wine"], "simulated", "wine64",
                                     lineterm=""))


def link_name(path):
    """A shortcut by its place: user or common, then from Desktop or Start Menu on."""
    parts = path.replace("\\", "/").split("/")
    common = any(p in ("ProgramData", "All Users", "Public") for p in parts)
    for i, p in enumerate(parts):
        if p in ("Desktop", "Start Menu"):
            return ("common " if common else "user ") + "/".join(parts[i:])
    return "other " + parts[-1]


def links(before_list, after_list):
    def read(path):
        with open(path, encoding="utf-8") as f:
            return {line.rstrip("\n") for line in f if line.strip()}

    made = read(after_list) - read(before_list)
    return sorted(link_name(p) for p in made if p.lower().endswith(".lnk"))


BOXES = range(5101, 5121)


def shown_lines(check, enabled):
    return ["%d %d %s" % (i, check[i], "enabled" if enabled.get(i, True) else "disabled")
            for i in BOXES if i in check]


def shown(trace, wait):
    """The boxes of SETUPDLG as its procedure left them before its N-th wait for
    the user: the check states it set and the boxes it enabled or disabled."""
    with open(trace, encoding="utf-8") as f:
        lines = [line.rstrip("\n") for line in f]
    dialog = None
    check, enabled, control = {}, {}, {}
    waits = 0
    opened = False
    for line in lines:
        words = line.split()
        if not words:
            continue
        if words[0] == "DialogBoxParamA" and '"SETUPDLG"' in words and "opens" in words:
            opened = True
        elif opened and dialog is None and words[0] == "DialogProc" and words[2] == "WM_INITDIALOG":
            dialog = words[1]
        elif dialog is None:
            continue
        elif words[0] == "Action" and words[1] == dialog:
            waits += 1
            if waits == wait:
                break
        elif words[0] == "CheckDlgButton" and words[1] == dialog:
            check[int(words[2])] = int(words[3])
        elif words[0] == "GetDlgItem" and words[1] == dialog:
            control[words[-1]] = int(words[2])
        elif words[0] == "EnableWindow" and words[1] in control:
            enabled[control[words[1]]] = words[2] == "1"
    return shown_lines(check, enabled)


def robot_shown(checks, listing):
    check, enabled = {}, {}
    with open(checks, encoding="utf-8") as f:
        for line in f:
            words = line.split(" ", 2)
            if len(words) >= 2 and words[0].isdigit():
                check[int(words[0])] = int(words[1])
    with open(listing, encoding="utf-8") as f:
        for line in f:
            fields = line.rstrip("\n").split("\t")
            if fields and fields[0].isdigit():
                enabled[int(fields[0])] = "(disabled)" not in fields
    return shown_lines(check, enabled)


def value(args):
    *files, key, name = args
    keys = read_registry(files)
    return [keys.get(key_name(key), {}).get(name.upper(), "missing")]


def sim_start(machine_dir):
    """No other owner of an archive type and Windows 6.1, as a fresh prefix has it."""
    reg_path = os.path.join(machine_dir, "registry.reg")
    with open(reg_path, encoding="utf-8") as f:
        blocks = f.read().split("\n\n")
    gone = ("\\.ZIP", "\\WINARC.ZIP", "\\.JAR", "\\JARFILE")
    kept = []
    for block in blocks:
        head = block.split("\n", 1)[0]
        if head.startswith("["):
            name = key_name(head[1:-1])
            if any(name == "HKEY_CLASSES_ROOT" + g or name.startswith("HKEY_CLASSES_ROOT" + g + "\\")
                   for g in gone):
                continue
        kept.append(block)
    with open(reg_path, "w", encoding="utf-8") as f:
        f.write("\n\n".join(kept))
    ini_path = os.path.join(machine_dir, "machine.ini")
    with open(ini_path, encoding="utf-8") as f:
        ini = f.read()
    ini = re.sub(r"(?m)^version=.*$", "version=6.1", ini)
    ini = re.sub(r"(?m)^servicepack=.*$", "servicepack=Service Pack 1", ini)
    with open(ini_path, "w", encoding="utf-8") as f:
        f.write(ini)
    return []


def main(argv):
    commands = {
        "changes": (lambda a: changes(*a), 2),
        "compare": (lambda a: compare(*a), 4),
        "links": (lambda a: links(*a), 2),
        "value": (value, None),
        "sim-start": (lambda a: sim_start(*a), 1),
        "shown": (lambda a: shown(a[0], int(a[1])), 2),
        "robot-shown": (lambda a: robot_shown(*a), 2),
    }
    if len(argv) < 2 or argv[1] not in commands:
        sys.stderr.write(__doc__)
        return 2
    run, count = commands[argv[1]]
    args = argv[2:]
    if (count is not None and len(args) != count) or (count is None and len(args) < 3):
        sys.stderr.write(__doc__)
        return 2
    for line in run(args):
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
