"""Checks the dialogs of a built wren81.exe where no GUI test opens them to look:
every dialog and menu named in resources/resource.h is there, and no dialog has a
control outside it, on top of another or sharing another's id. The templates are
read back by windres. Prints one line per fault; exits 1 when there is any.

    python3 tests/gui/resources_check.py build-win/wren81.exe resources/resource.h
"""
import re
import subprocess
import sys

NO_TEXT = ("COMBOBOX", "EDITTEXT", "LISTBOX", "SCROLLBAR")


def control(line):
    """(kind, text, id, style, (left, top, right, bottom)) of one control line."""
    kind, _, rest = line.strip().partition(" ")
    f = [t.strip() for t in re.findall(r'"(?:[^"\\]|\\.)*"|[^,]+', rest)]
    if kind == "CONTROL":
        text, ident, kind, style, x, y, w, h = f
        kind = kind.strip('"').upper()
    else:
        (text, ident, x, y, w, h, style) = [""] + f if kind in NO_TEXT else f
    x, y, w, h, style = int(x), int(y), int(w), int(h), int(style, 0)
    if kind == "COMBOBOX" and style & 3 in (2, 3):
        h = min(h, 14)                      # a drop-down list's template height includes its list
    return kind, text, int(ident), style, (x, y, x + w, y + h)


def layout_faults(name, width, height, lines):
    faults, laid, ids = [], [], []
    for kind, text, ident, style, r in map(control, lines):
        ids += [ident] if ident > 0 else []
        if r[0] < 0 or r[1] < 0 or r[2] > width or r[3] > height:
            faults.append("%s: control %d %s lies outside the dialog" % (name, ident, text))
        backdrop = kind == "STATIC" and style & 0x1F == 0x0E and r == (0, 0, width, height)
        if kind != "GROUPBOX" and not backdrop:
            laid.append((text or ident, r))
    faults += ["%s: control id %d used twice" % (name, i) for i in sorted({i for i in ids if ids.count(i) > 1})]
    for i, (a, ra) in enumerate(laid):
        for b, rb in laid[i + 1:]:
            if ra[0] < rb[2] and rb[0] < ra[2] and ra[1] < rb[3] and rb[1] < ra[3]:
                faults.append("%s: controls %s and %s overlap" % (name, a, b))
    return faults


def main(exe, header):
    rc = subprocess.run(["x86_64-w64-mingw32-windres", "-J", "coff", "-O", "rc", "-i", exe],
                        capture_output=True, text=True, check=True).stdout
    dialogs = re.findall(r'^"(\w+)" DIALOGEX \d+, \d+, (\d+), (\d+)\n.*?^BEGIN\n(.*?)^END', rc, re.M | re.S)
    names = {d[0] for d in dialogs} | set(re.findall(r'^"(\w+)" MENU', rc, re.M))
    faults = ["%s has no template" % macro for macro, name in
              re.findall(r'^#define\s+(\w+)\s+"(\w+)"', open(header).read(), re.M) if name not in names]
    for name, width, height, body in dialogs:
        faults += layout_faults(name, int(width), int(height), body.splitlines())
    for f in faults:
        print("   " + f)
    print("resources: %d dialogs checked; %d faults" % (len(dialogs), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
