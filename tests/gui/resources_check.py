"""Reads the resources out of a built wren81.exe and checks what a user would see of
them: the menu bar, the debugger's menu commands, the icon and picture sizes, every
dialog named in resources/resource.h present, the model buttons in order, the keyboard
windows wired to their pictures, and no dialog with controls outside it or on top of
each other. Prints one line per fault; exits 1 when there is any.

    python3 tests/gui/resources_check.py build-win/wren81.exe resources/resource.h
"""
import itertools
import re
import struct
import sys

RT_BITMAP, RT_MENU, RT_DIALOG, RT_GROUP_ICON = 2, 4, 5, 14
faults = []
fault = faults.append


def u16(data, pos):
    return struct.unpack_from("<H", data, pos)[0]


def read_resources(path):
    """{type: {name: bytes}} from the PE file's resource directory."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    optional = pe + 24
    rsrc = struct.unpack_from("<I", data, optional + (112 if u16(data, optional) == 0x20B else 96) + 16)[0]
    table = optional + u16(data, pe + 20)
    for i in range(u16(data, pe + 6)):
        va, size, raw = struct.unpack_from("<III", data, table + 40 * i + 12)
        if va <= rsrc < va + size:
            base, delta = raw + rsrc - va, va - raw
            break
    else:
        sys.exit("no resources in " + path)

    def entries(offset):
        named, ids = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + ids):
            key, value = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if key & 0x80000000:
                s = base + (key & 0x7FFFFFFF)
                key = data[s + 2:s + 2 + 2 * u16(data, s)].decode("utf-16-le")
            yield key, value & 0x7FFFFFFF

    out = {}
    for rtype, t in entries(0):
        for name, n in entries(t):
            for _, leaf in entries(n):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                out.setdefault(rtype, {})[name] = data[rva - delta:rva - delta + size]
    return out


def read_header(path):
    """The #define values of resource.h: numbers, strings, and names of either."""
    values = {}
    for name, text in re.findall(r"^#define\s+(\w+)\s+(.+?)\s*(?:/\*.*)?$", open(path).read(), re.M):
        if text.startswith('"'):
            values[name] = text.strip('"')
        elif re.fullmatch(r"\(?-?\d+\)?", text):
            values[name] = int(text.strip("()"))
        elif text in values:
            values[name] = values[text]
    return values


def utf16z(data, pos):
    end = pos
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def name_or_ordinal(data, pos):
    return (u16(data, pos + 2), pos + 4) if data[pos:pos + 2] == b"\xff\xff" else utf16z(data, pos)


def parse_menu(data):
    """[(text without '&', id, or [sub-items] for a popup)]; a separator is None."""
    def items(pos):
        out = []
        while True:
            flags = u16(data, pos)
            if flags & 0x10:
                text, pos = utf16z(data, pos + 2)
                what, pos = items(pos)
            else:
                what = u16(data, pos + 2)
                text, pos = utf16z(data, pos + 4)
            out.append((text.replace("&", ""), what) if text or what else None)
            if flags & 0x80:
                return out, pos
    return items(4)[0]


def menu_ids(items):
    return [i for item in items if item for i in (menu_ids(item[1]) if isinstance(item[1], list) else [item[1]])]


CLASS_NAMES = {0x80: "button", 0x81: "edit", 0x82: "static", 0x83: "listbox", 0x84: "scrollbar", 0x85: "combobox"}


def parse_dialog(data):
    """(size, title, [control]) of an extended template; a control is a dict of cls,
    text, id, style and rect (x, y, cx, cy) in dialog units."""
    if struct.unpack_from("<HH", data, 0) != (1, 0xFFFF):
        raise ValueError("not an extended dialog template")
    style, count, _, _, cx, cy = struct.unpack_from("<IHhhhh", data, 12)
    _, pos = name_or_ordinal(data, 26)      # menu
    _, pos = name_or_ordinal(data, pos)     # class
    title, pos = utf16z(data, pos)
    if style & 0x40:                        # DS_SETFONT
        _, pos = utf16z(data, pos + 6)
    controls = []
    for _ in range(count):
        pos = (pos + 3) & ~3
        cstyle, x, y, w, h, ident = struct.unpack_from("<Ihhhhi", data, pos + 8)
        cls, pos = name_or_ordinal(data, pos + 24)
        text, pos = name_or_ordinal(data, pos)
        pos += 2 + u16(data, pos)
        cls = CLASS_NAMES.get(cls, cls) if isinstance(cls, int) else cls.lower()
        controls.append(dict(cls=cls, text=text, id=ident, style=cstyle, rect=(x, y, w, h)))
    return (cx, cy), title, controls


def bitmap_size(data):
    return struct.unpack_from("<ii", data, 4)


def is_picture(c):
    return c["cls"] == "static" and c["style"] & 0x1F == 0x0E   # SS_BITMAP


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

MODELS = ["ZX81", "ZX81 with 2K Expansion", "ZX81 with 4K Expansion", "ZX81 with 8K Expansion",
          "ZX81 with 16K Expansion", "ZX81 with 32K Expansion", "ZX81 with 48K Expansion"]


def check_menus(menus, h):
    for want, have in itertools.zip_longest(MAIN_MENU, parse_menu(menus[116]) if 116 in menus else []):
        if want != have:
            fault("menu bar: expected %r, found %r" % (want, have))
    # The debugger's menus hold every command number of resource.h once.
    for menu, prefix in (("DEBUG_MENU", "IDM_DBG_"), ("REG_MENU", "IDM_REG_")):
        have = sorted(menu_ids(parse_menu(menus[menu]))) if menu in menus else None
        if have != sorted(v for k, v in h.items() if k.startswith(prefix)):
            fault("%s holds commands %s" % (menu, have))


def check_pictures(res, h, dialogs):
    bitmaps, key_size = res.get(RT_BITMAP, {}), (h["KEY_PICTURE_WIDTH"], h["KEY_PICTURE_HEIGHT"])
    wanted = {h["IDB_KEYBOARD"]: (h["KEYBOARD_PICTURE_WIDTH"], h["KEYBOARD_PICTURE_HEIGHT"]),
              h["IDB_ABOUT"]: (h["ABOUT_PICTURE_WIDTH"], h["ABOUT_PICTURE_HEIGHT"]), h["IDB_FOLDER"]: None}
    # Each key of the helper: a picture button, no smaller than its picture.
    helper = dialogs.get(h["WREN_KEYBOARDHELP"], ((0, 0), None, []))
    if helper[1] != "Wren Keyboard Helper":
        fault("keyboard helper titled %r" % helper[1])
    buttons = {c["id"]: c for c in helper[2] if c["cls"] == "button"}
    for b in range(h["IDC_KEY_FIRST"], h["IDC_KEY_LAST"] + 1):
        wanted[h["IDB_BITMAP_1"] if b == h["IDC_KEY_1"] else b + 40] = key_size
        c = buttons.get(b)
        if c is None or not c["style"] & 0x80:      # BS_BITMAP
            fault("keyboard helper: no picture button %d" % b)
        elif c["rect"][2] * 1.5 < key_size[0] or c["rect"][3] * 1.625 < key_size[1]:
            fault("keyboard helper: button %d is smaller than its key picture" % b)
    for ident, size in wanted.items():
        if ident not in bitmaps or size and bitmap_size(bitmaps[ident]) != size:
            fault("bitmap %d: %s, expected %s" % (ident, ident in bitmaps and bitmap_size(bitmaps[ident]), size))
    for name, title, picture in (("WREN_KEYBOARD", "ZX81 Keyboard", "IDB_KEYBOARD"), ("WREN_ABOUT", None, "IDB_ABOUT")):
        _, shown_title, controls = dialogs.get(h[name], (0, None, []))
        if title and shown_title != title or not any(is_picture(c) and c["text"] == h[picture] for c in controls):
            fault("%s titled %r does not show bitmap %d" % (name, shown_title, h[picture]))
    group = res.get(RT_GROUP_ICON, {}).get(h["IDI_WREN81"], b"\0" * 6)
    sizes = {group[6 + 14 * i] or 256 for i in range(u16(group, 4))}
    if not {16, 32, 48} <= sizes:
        fault("icon %d holds sizes %s, expected 16, 32 and 48" % (h["IDI_WREN81"], sorted(sizes)))


def check_models(dialogs, h):
    """The model buttons run on from "ZX81": the model is the id's distance from it."""
    by_text = {c["text"]: c["id"] for c in dialogs.get(h["OPT_HARDWARE"], (0, 0, []))[2]}
    for n, label in enumerate(MODELS):
        if by_text.get(label) != h["IDC_MODEL_ZX81"] + n:
            fault("OPT_HARDWARE: %r is not model button %d" % (label, n))


def check_layout(name, dialog):
    size, _, controls = dialog
    ids = [c["id"] for c in controls if c["id"] not in (-1, 0xFFFF, 0)]
    for dup in sorted({i for i in ids if ids.count(i) > 1}):
        fault("%s: control id %d used twice" % (name, dup))
    laid = []
    for c in controls:
        x, y, w, hgt = c["rect"]
        if c["cls"] == "combobox" and c["style"] & 0x3 in (2, 3):
            hgt = min(hgt, 14)      # a drop-down list's template height includes its list
        if x < 0 or y < 0 or x + w > size[0] or y + hgt > size[1]:
            fault("%s: control %d %r lies outside the dialog" % (name, c["id"], c["text"]))
        group_box = c["cls"] == "button" and c["style"] & 0xF == 7
        if not group_box and not (is_picture(c) and c["rect"][2:] == size):     # nor a backdrop
            laid.append((c["text"] or c["id"], (x, y, x + w, y + hgt)))
    for i, (a, ra) in enumerate(laid):
        for b, rb in laid[i + 1:]:
            if ra[0] < rb[2] and rb[0] < ra[2] and ra[1] < rb[3] and rb[1] < ra[3]:
                fault("%s: controls %r and %r overlap" % (name, a, b))


def main(exe, header):
    res, h = read_resources(exe), read_header(header)
    dialogs = {}
    for name, data in res.get(RT_DIALOG, {}).items():
        try:
            dialogs[name] = parse_dialog(data)
        except (ValueError, struct.error) as e:
            fault("dialog %s cannot be read: %s" % (name, e))
    menus = res.get(RT_MENU, {})
    for macro, value in h.items():
        if isinstance(value, str) and value.isupper() and value not in dialogs and value not in menus:
            fault("%s has no template" % macro)
    check_menus(menus, h)
    check_pictures(res, h, dialogs)
    check_models(dialogs, h)
    for name, d in sorted(dialogs.items(), key=str):
        check_layout(name, d)
    for f in faults:
        print("   " + f)
    print("resources: %d dialogs, %d menus, %d bitmaps checked; %d faults"
          % (len(dialogs), len(menus), len(res.get(RT_BITMAP, {})), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:3]))
