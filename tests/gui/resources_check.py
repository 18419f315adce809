"""Reads the resources out of a built wren81.exe and checks what a user would see of
them: the menu bar's entries and command numbers, the icon sizes, the pictures'
sizes, every dialog named in resources/resource.h present, the keyboard windows
wired to their pictures, and no dialog with controls outside it or on top of each
other. Prints one line per fault; exits 1 when there is any.

    python3 tests/gui/resources_check.py build-win/wren81.exe resources/resource.h
"""
import re
import struct
import sys

RT_BITMAP, RT_MENU, RT_DIALOG, RT_GROUP_ICON = 2, 4, 5, 14
faults = []


def fault(text):
    faults.append(text)


# ---- the resource directory of a PE file -------------------------------------------

def read_resources(path):
    """{type: {name: bytes}}, names being ints or upper-case strings."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    rsrc_rva = struct.unpack_from("<I", data, optional + (112 if magic == 0x20B else 96) + 16)[0]
    table = optional + struct.unpack_from("<H", data, pe + 20)[0]
    for i in range(sections):
        va, size, raw = struct.unpack_from("<III", data, table + 40 * i + 12)
        if va <= rsrc_rva < va + size:
            base, delta = raw + rsrc_rva - va, va - raw
            break
    else:
        sys.exit("no resources in " + path)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + ids):
            key, value = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if key & 0x80000000:
                n = struct.unpack_from("<H", data, base + (key & 0x7FFFFFFF))[0]
                s = base + (key & 0x7FFFFFFF) + 2
                key = data[s:s + 2 * n].decode("utf-16-le")
            yield key, value

    out = {}
    for rtype, t in entries(0):
        for name, n in entries(t & 0x7FFFFFFF):
            for _, leaf in entries(n & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                out.setdefault(rtype, {})[name] = data[rva - delta:rva - delta + size]
    return out


# ---- the identifiers of resource.h -----------------------------------------------------

def read_header(path):
    values = {}
    for m in re.finditer(r"^#define\s+(\w+)\s+(.+?)\s*(?:/\*.*)?$", open(path).read(), re.M):
        name, text = m.groups()
        if text.startswith('"'):
            values[name] = text.strip('"')
        elif re.fullmatch(r"\(?-?\d+\)?", text):
            values[name] = int(text.strip("()"))
        elif text in values:
            values[name] = values[text]
    return values


# ---- templates --------------------------------------------------------------------------

def utf16z(data, pos):
    end = pos
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def name_or_ordinal(data, pos):
    if data[pos:pos + 2] == b"\xff\xff":
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    return utf16z(data, pos)


def parse_menu(data):
    """[(text, id or None for a separator, or [sub-items] for a popup)]"""
    def items(pos):
        out = []
        while True:
            flags = struct.unpack_from("<H", data, pos)[0]
            pos += 2
            if flags & 0x10:
                text, pos = utf16z(data, pos)
                sub, pos = items(pos)
                out.append((text, sub))
            else:
                ident = struct.unpack_from("<H", data, pos)[0]
                text, pos = utf16z(data, pos + 2)
                out.append((text, ident if text or ident else None))
            if flags & 0x80:
                return out, pos
    return items(4)[0]


CLASS_NAMES = {0x80: "button", 0x81: "edit", 0x82: "static", 0x83: "listbox", 0x84: "scrollbar",
               0x85: "combobox"}


def parse_dialog(data):
    """(style, (cx, cy), title, [control]); a control is a dict of class, text, id,
    style and rect (x, y, cx, cy) in dialog units."""
    if struct.unpack_from("<HH", data, 0) != (1, 0xFFFF):
        raise ValueError("not an extended dialog template")
    _, _, _, _, style, count, x, y, cx, cy = struct.unpack_from("<HHIIIHhhhh", data, 0)
    pos = 26
    _, pos = name_or_ordinal(data, pos)          # menu
    _, pos = name_or_ordinal(data, pos)          # class
    title, pos = utf16z(data, pos)
    if style & 0x40:                             # DS_SETFONT
        _, pos = utf16z(data, pos + 6)
    controls = []
    for _ in range(count):
        pos = (pos + 3) & ~3
        _, _, cstyle, x, y, w, h, ident = struct.unpack_from("<IIIhhhhi", data, pos)
        cls, pos = name_or_ordinal(data, pos + 24)
        text, pos = name_or_ordinal(data, pos)
        extra = struct.unpack_from("<H", data, pos)[0]
        pos += 2 + extra
        cls = CLASS_NAMES.get(cls, cls) if isinstance(cls, int) else cls.lower()
        controls.append(dict(cls=cls, text=text, id=ident, style=cstyle, rect=(x, y, w, h)))
    return style, (cx, cy), title, controls


def bitmap_size(data):
    return struct.unpack_from("<ii", data, 4)


# ---- the checks --------------------------------------------------------------------------

MAIN_MENU = [
    ("File", [("Load File", 100), None, ("Save Snapshot", 101), ("Save Screenshot", 112), None, ("Quit", 109)]),
    ("Emulation", [("Soft Reset", 133), ("Hard Reset", 134), ("Generate NMI", 142), ("VSYNC Sound", 114)]),
    ("View", [("100%", 135), ("200%", 136), ("Full Screen", 137),
              ("Border Size", [("No Border", 143), ("Medium Border", 144), ("Full Border", 145),
                               ("Custom Border", 146)])]),
    ("Tools", [("Options", 121), ("Calculator", 122), ("Load Configuration", 138), ("Save Configuration", 139),
               ("Default Configuration", 140), ("Display Keyboard", 141), ("Keyboard Helper", 147)]),
    ("Debug", [("Debugger", 125), ("View Registers", 130), ("View Memory", 126), ("View Disassembly", 127),
               ("PC Logging", 128), ("PC log One frame", 129)]),
    ("Help", [("About", 108), ("Help", 111)]),
]


def shown(items):
    """A menu as the user reads it: mnemonic marks dropped."""
    out = []
    for text, what in items:
        if what is None:
            out.append(None)
        else:
            out.append((text.replace("&", ""), shown(what) if isinstance(what, list) else what))
    return out


def check_menus(res, h):
    menus = res.get(RT_MENU, {})
    if 116 not in menus:
        return fault("menu 116 (the menu bar) is missing")
    got = shown(parse_menu(menus[116]))
    for want, have in zip(MAIN_MENU, got + [None] * len(MAIN_MENU)):
        if want != have:
            fault("menu bar: expected %r, found %r" % (want, have))
    if len(got) > len(MAIN_MENU):
        fault("menu bar: unexpected popups %r" % got[len(MAIN_MENU):])
    # The debugger's menus: every command number of resource.h appears once.
    for menu, prefix in (("DEBUG_MENU", "IDM_DBG_"), ("REG_MENU", "IDM_REG_")):
        if menu not in menus:
            fault("menu %s is missing" % menu)
            continue
        ids = []

        def walk(items):
            for _, what in items:
                walk(what) if isinstance(what, list) else ids.append(what)
        walk(parse_menu(menus[menu]))
        wanted = sorted(v for k, v in h.items() if k.startswith(prefix))
        if sorted(i for i in ids if i is not None) != wanted:
            fault("%s: commands %s, expected %s" % (menu, sorted(i for i in ids if i), wanted))


def check_pictures(res, h):
    bitmaps = res.get(RT_BITMAP, {})
    for ident, size in ((h["IDB_KEYBOARD"], (h["KEYBOARD_PICTURE_WIDTH"], h["KEYBOARD_PICTURE_HEIGHT"])),
                        (h["IDB_ABOUT"], (h["ABOUT_PICTURE_WIDTH"], h["ABOUT_PICTURE_HEIGHT"])),
                        (h["IDB_FOLDER"], None)):
        if ident not in bitmaps:
            fault("bitmap %d is missing" % ident)
        elif size and bitmap_size(bitmaps[ident]) != size:
            fault("bitmap %d is %dx%d, expected %dx%d" % ((ident,) + bitmap_size(bitmaps[ident]) + size))
    group = res.get(RT_GROUP_ICON, {}).get(h["IDI_WREN81"])
    if group is None:
        return fault("icon %d is missing" % h["IDI_WREN81"])
    count = struct.unpack_from("<H", group, 4)[0]
    sizes = sorted((group[6 + 14 * i] or 256) for i in range(count))
    if not {16, 32, 48} <= set(sizes):
        fault("icon %d holds sizes %s, expected 16, 32 and 48" % (h["IDI_WREN81"], sizes))


def check_keyboard_windows(res, h, dialogs):
    bitmaps = res.get(RT_BITMAP, {})
    key_size = (h["KEY_PICTURE_WIDTH"], h["KEY_PICTURE_HEIGHT"])
    helper = dialogs.get(h["WREN_KEYBOARDHELP"])
    if helper:
        _, _, title, controls = helper
        if title != "Wren Keyboard Helper":
            fault("keyboard helper titled %r" % title)
        buttons = {c["id"]: c for c in controls if c["cls"] == "button"}
        pictures = set()
        for b in range(h["IDC_KEY_FIRST"], h["IDC_KEY_LAST"] + 1):
            picture = h["IDB_BITMAP_1"] if b == h["IDC_KEY_1"] else b + 40
            pictures.add(picture)
            c = buttons.get(b)
            if c is None or not c["style"] & 0x80:      # BS_BITMAP
                fault("keyboard helper: no picture button %d" % b)
            elif c["rect"][2] * 1.5 < key_size[0] or c["rect"][3] * 1.625 < key_size[1]:
                fault("keyboard helper: button %d is smaller than its key picture" % b)
            if picture not in bitmaps:
                fault("keyboard helper: no picture %d for button %d" % (picture, b))
            elif bitmap_size(bitmaps[picture]) != key_size:
                fault("key picture %d is %dx%d" % ((picture,) + bitmap_size(bitmaps[picture])))
        if pictures != {700} | set(range(741, 780)):
            fault("key pictures are numbered %s" % sorted(pictures))
    for name, title, picture in (("WREN_KEYBOARD", "ZX81 Keyboard", "IDB_KEYBOARD"),
                                 ("WREN_ABOUT", None, "IDB_ABOUT")):
        d = dialogs.get(h[name])
        if not d:
            continue
        if title and d[2] != title:
            fault("%s titled %r, expected %r" % (name, d[2], title))
        if not any(c["cls"] == "static" and c["style"] & 0x1F == 0x0E and c["text"] == h[picture]
                   for c in d[3]):
            fault("%s does not show bitmap %d" % (name, h[picture]))


def visible_rect(c):
    """The part of the dialog a control covers when closed: a drop-down list's
    template height includes its list."""
    x, y, w, hgt = c["rect"]
    if c["cls"] == "combobox" and c["style"] & 0x3 in (2, 3):
        hgt = min(hgt, 14)
    return x, y, w, hgt


def is_backdrop(c, size):
    return c["cls"] == "static" and c["style"] & 0x1F == 0x0E and c["rect"][2:] == size


def check_layout(name, dialog):
    _, size, _, controls = dialog
    ids = [c["id"] for c in controls if c["id"] not in (-1, 0xFFFF, 0)]
    for dup in sorted({i for i in ids if ids.count(i) > 1}):
        fault("%s: control id %d used twice" % (name, dup))
    laid = []
    for c in controls:
        x, y, w, hgt = visible_rect(c)
        if x < 0 or y < 0 or x + w > size[0] or y + hgt > size[1]:
            fault("%s: control %d %r lies outside the dialog" % (name, c["id"], c["text"]))
        group = c["cls"] == "button" and c["style"] & 0xF == 7     # BS_GROUPBOX
        if not group and not is_backdrop(c, size):
            laid.append((c, (x, y, x + w, y + hgt)))
    for i, (a, ra) in enumerate(laid):
        for b, rb in laid[i + 1:]:
            if ra[0] < rb[2] and rb[0] < ra[2] and ra[1] < rb[3] and rb[1] < ra[3]:
                fault("%s: controls %r and %r overlap" % (name, a["text"] or a["id"], b["text"] or b["id"]))


# Labels the user reads, by dialog: each must be the text of a control there.
LABELS = {
    "OPT_EMULATION": ["Emulation", "Ask before leaving Wren81", "Auto rewind tapes",
                      "Pause emulation when Wren81 loses focus", "Emulation Speed", "100%"],
    "OPT_HARDWARE": ["ZX81 Model", "ZX81", "ZX81 with 2K Expansion", "ZX81 with 4K Expansion",
                     "ZX81 with 8K Expansion", "ZX81 with 16K Expansion", "ZX81 with 32K Expansion",
                     "ZX81 with 48K Expansion", "M1Not circuit", "AY Sound Card", "Hi-Res Card", "CHR$ Gen."],
    "OPT_DISPLAY": ["Display", "GDI", "DirectDraw", "Direct 3D", "Scanlines", "Border Size", "Left", "Right",
                    "Top", "Bottom", "Frameskip", "Horizontal Hold", "Vertical Hold"],
    "OPT_SOUND": ["Sound Options", "Sound Enabled", "Stereo", "Frequency", "Bit Depth", "Sound Buffer Size",
                  "0 Frames", "Volume", "Min", "Max"],
    "OPT_DEFAULTDIRS": ["Folders", "Snapshots", "Tapes"],
    "OPT_DEBUGGER": ["Debugger", "Disassembly", "Labels", "ROM Labels", "System Variables"],
    "DEBUG_FIND": ["16 bit value", "String of bytes", "Text string", "Find", "Find Next", "Cancel"],
    "DEBUG_COPYMEMORY": ["Source Page", "Destination Page", "Length"],
    "DEBUG_FILLMEMORY": ["Start Address", "Length", "8 bit Data", "16 bit Data", "Text"],
    "WREN_DISFILE": ["Start Address", "End Address", "Disassemble", "Show Hex", "ROM Calls", "System Variables",
                     "OK", "Cancel"],
    "WREN_BREAKPOINTS": ["Add", "Delete", "Update"],
    "DEBUG_BREAK_ADD": ["Address", "OK", "Cancel"],
    "WREN_STKPOINTER": ["New Value"],
}


def check_labels(dialogs, h):
    for name, labels in LABELS.items():
        d = dialogs.get(h[name])
        if d:
            texts = {c["text"] for c in d[3]}
            for label in labels:
                if label not in texts:
                    fault("%s: no control reads %r" % (name, label))
    # The model buttons run on from "ZX81", so the model is the id's distance from it.
    d = dialogs.get(h["OPT_HARDWARE"])
    if d:
        by_text = {c["text"]: c["id"] for c in d[3]}
        for n, label in enumerate(LABELS["OPT_HARDWARE"][1:8]):
            if by_text.get(label) != h["IDC_MODEL_ZX81"] + n:
                fault("OPT_HARDWARE: %r is not model button %d" % (label, n))


def main(exe, header):
    res = read_resources(exe)
    h = read_header(header)
    dialogs = {}
    for name, data in res.get(RT_DIALOG, {}).items():
        try:
            dialogs[name] = parse_dialog(data)
        except (ValueError, struct.error) as e:
            fault("dialog %s cannot be read: %s" % (name, e))
    for macro, value in h.items():
        if isinstance(value, str) and value.isupper() and value not in dialogs and value not in res.get(RT_MENU, {}):
            fault("%s has no template" % macro)
    check_menus(res, h)
    check_pictures(res, h)
    check_keyboard_windows(res, h, dialogs)
    check_labels(dialogs, h)
    for name, d in sorted(dialogs.items(), key=str):
        check_layout(name, d)
    for f in faults:
        print("   " + f)
    print("resources: %d dialogs, %d menus, %d bitmaps checked; %d faults"
          % (len(dialogs), len(res.get(RT_MENU, {})), len(res.get(RT_BITMAP, {})), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
