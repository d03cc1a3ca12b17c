#!/usr/bin/python3
"""Static check of a built Config.dll, read without running it: the machine, DoConfig exported by name,
system-only imports, dialogs 101 and 102 in French (France) only and control by control, the version block,
and the stack guard, found through the link map beside the stripped DLL. (The calling conventions are the running
suite's: it calls DoConfig through a caller-cleans pointer and checks the stack, and user32 calls the dialog
procedures.) Prints one line per area, then each mismatch; exits non-zero on any.

Usage: /usr/bin/python3 check_dll.py [--machine i386|x86_64] [--map Config.map] Config.dll
Needs Debian's python3-pefile.
"""
import argparse
import io
import os
import re
import struct
import sys
from collections import namedtuple

import pefile

FRENCH_FRANCE = 1036
SETTINGS_DIALOG = 101
NETWORK_DIALOG = 102

# Window, dialog and control styles, as <windows.h> and <commctrl.h> define them.
WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_CAPTION, WS_BORDER, WS_VSCROLL = 0x00C00000, 0x00800000, 0x00200000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_SETFONT, DS_MODALFRAME = 0x40, 0x80
BS_PUSHBUTTON, BS_DEFPUSHBUTTON, BS_AUTOCHECKBOX, BS_GROUPBOX, BS_AUTORADIOBUTTON = 0x0, 0x1, 0x3, 0x7, 0x9
CBS_DROPDOWNLIST = 0x3
SS_LEFT = 0x0
ES_PASSWORD, ES_AUTOHSCROLL, ES_NUMBER = 0x20, 0x80, 0x2000
LVS_REPORT, LVS_SORTASCENDING = 0x1, 0x10

# A modal frame with a caption and no system menu, so no close box.
DIALOG_STYLE = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION
CHILD = WS_CHILD | WS_VISIBLE  # every control is a visible child
NO_ID = 0xFFFFFFFF  # a control without an id (-1), as the extended template stores it
TAB = WS_TABSTOP
COMBO = CHILD | CBS_DROPDOWNLIST | WS_VSCROLL | TAB  # unsorted
LABEL = CHILD | SS_LEFT | WS_GROUP
EDIT = CHILD | ES_AUTOHSCROLL | WS_BORDER | TAB

# Fields after the table's columns hold what every template has: no extended
# style, and for a dialog no menu and the system's dialog class.
Dialog = namedtuple("Dialog", "title style x y cx cy font_size typeface controls ex_style menu dialog_class",
                    defaults=(0, "", ""))
Control = namedtuple("Control", "id window_class text x y cx cy style ex_style", defaults=(0,))

# The two templates the player's dialogs are made from; controls in tab order.
TEMPLATES = {
    SETTINGS_DIALOG: Dialog("Kestrova Dad Azizov Settings", DIALOG_STYLE, 0, 0, 260, 300, 8, "MS Sans Serif", [
        Control(NO_ID, "Button", "3d Render Engine", 6, 1, 247, 49, CHILD | BS_GROUPBOX),
        Control(1001, "ComboBox", "", 11, 13, 142, 83, COMBO),
        Control(1022, "Button", "Let the &page decide", 164, 14, 81, 10, CHILD | BS_AUTORADIOBUTTON | TAB),
        Control(1021, "Button", "Force &Hardware", 164, 26, 81, 10, CHILD | BS_AUTORADIOBUTTON | TAB),
        Control(1020, "Button", "Force &Software", 164, 38, 81, 10, CHILD | BS_AUTORADIOBUTTON | TAB),
        Control(NO_ID, "Button", "Full Screen Resolution", 6, 53, 247, 27, CHILD | BS_GROUPBOX),
        Control(1003, "ComboBox", "", 11, 63, 144, 83, COMBO),
        Control(1004, "Button", "&Use 32 Bit Color Mode", 164, 64, 83, 10, CHILD | BS_AUTOCHECKBOX | TAB),
        Control(NO_ID, "Button", "Misc Config", 6, 83, 247, 48, CHILD | BS_GROUPBOX),
        Control(1000, "Button", "Automaticaly Check for &Updates", 12, 94, 197, 10, CHILD | BS_AUTOCHECKBOX | TAB),
        Control(1009, "Button", "&Network Settings", 19, 110, 101, 14, CHILD | BS_PUSHBUTTON | TAB),
        Control(1002, "Button", "&Delete Temporary Files", 140, 110, 101, 14, CHILD | BS_PUSHBUTTON | TAB),
        Control(NO_ID, "Button", "Advanced Information", 6, 134, 247, 145, CHILD | BS_GROUPBOX),
        Control(NO_ID, "Static", "Kestrova Dad Azizov Version:", 21, 147, 99, 10, LABEL),
        Control(NO_ID, "Static", "For Internet Explorer", 63, 156, 76, 10, LABEL),
        Control(NO_ID, "Static", "For Netscape", 63, 165, 54, 10, LABEL),
        Control(1008, "Static", "1.0.0.0", 140, 156, 106, 10, LABEL),
        Control(1010, "Static", "1.0.0.0", 140, 166, 106, 10, LABEL),
        Control(NO_ID, "Static", "Installed Components:", 23, 176, 146, 10, LABEL),
        Control(1007, "SysListView32", "List1", 23, 187, 223, 84,
                CHILD | LVS_REPORT | LVS_SORTASCENDING | WS_BORDER | TAB),
        Control(1, "Button", "&Close", 203, 282, 50, 14, CHILD | BS_DEFPUSHBUTTON | TAB),
    ]),
    NETWORK_DIALOG: Dialog("Kestrova Dad Azizov Network Settings", DIALOG_STYLE, 0, 0, 224, 182, 8, "MS Sans Serif", [
        Control(NO_ID, "Button", "Proxy /Firewall Server", 6, 7, 211, 143, CHILD | BS_GROUPBOX),
        Control(NO_ID, "Static", "Host:", 15, 20, 18, 8, LABEL),
        Control(NO_ID, "Static", "Port:", 15, 40, 16, 8, LABEL),
        Control(1010, "Edit", "", 54, 18, 124, 14, EDIT),
        Control(1011, "Edit", "", 54, 37, 40, 14, EDIT | ES_NUMBER),
        Control(1012, "Button", "Authentication", 15, 84, 61, 10, CHILD | BS_AUTOCHECKBOX | TAB),
        Control(1015, "ComboBox", "", 54, 56, 71, 92, COMBO),
        Control(NO_ID, "Static", "Type:", 15, 58, 19, 8, LABEL),
        Control(NO_ID, "Static", "Username:", 15, 108, 35, 8, LABEL),
        Control(NO_ID, "Static", "Password:", 15, 128, 34, 8, LABEL),
        Control(1016, "Edit", "", 54, 105, 110, 14, EDIT),
        Control(1017, "Edit", "", 54, 124, 110, 14, EDIT | ES_PASSWORD),
        Control(1018, "Button", "&Ok", 57, 159, 50, 14, CHILD | BS_PUSHBUTTON | TAB),
        Control(1019, "Button", "&Cancel", 116, 159, 50, 14, CHILD | BS_PUSHBUTTON | TAB),
    ]),
}

# Predefined control classes stored as atoms in a template.
CLASS_ATOMS = {0x80: "Button", 0x81: "Edit", 0x82: "Static", 0x83: "ListBox", 0x84: "ScrollBar", 0x85: "ComboBox"}
MACHINES = {"i386": (0x14C, 0x10B, "PE32"), "x86_64": (0x8664, 0x20B, "PE32+")}  # machine, magic, format
ALLOWED_IMPORTS = {f"{name}.DLL" for name in "KERNEL32 USER32 ADVAPI32 MSVCRT SHELL32 VERSION COMCTL32 GDI32".split()}
RUNTIME_PREFIXES = ("LIBGCC", "LIBSTDC++", "LIBWINPTHREAD", "LIBSSP")  # to be linked statically
EXPECTED_VERSION_STRINGS = {"FileDescription": "Dad Azizov Configuration", "InternalName": "Config.dll",
                            "OriginalFilename": "Config.dll"}
MAP_SYMBOL = re.compile(r"^ +0x([0-9a-f]+) +(\S.*?) *$", re.M | re.I)
# The stack guard. With -fstack-protector-strong each function holding a local buffer checks a canary copied from
# __stack_chk_guard before it returns and calls __stack_chk_fail, which prints STACK_SMASHED and ends the process,
# if it was overwritten. The support library defining both also comes in with -D_FORTIFY_SOURCE's checked string
# functions, without a single canary. So it takes: the text in the DLL's own bytes (linked in, not imported); the
# map naming one of the module's own objects (*.cpp.obj) as what pulled the guard in (only code compiled with the
# guard refers to it); both symbols placed.
STACK_SMASHED = b"*** stack smashing detected ***"
GUARD_PULLED_BY_MODULE = re.compile(r"^ +\S*\.cpp\.obj\)? \((__stack_chk_(?:fail|guard))\)$", re.M)


def signed(control_id):  # as the resource script writes it: -1 for none
    return control_id - (1 << 32) if control_id >= 1 << 31 else control_id


def failures(checks):
    return [why for ok, why in checks if not ok]


def parse_template(data):
    """A Dialog from the bytes of an extended dialog template (DLGTEMPLATEEX)."""
    stream = io.BytesIO(data)

    def read(fmt):
        return struct.unpack("<" + fmt, stream.read(struct.calcsize("<" + fmt)))

    def name_or_atom():  # 0xFFFF and an atom, or a NUL-terminated UTF-16 text (cut short by the end of the data)
        if data[stream.tell():stream.tell() + 2] == b"\xff\xff":
            return read("HH")[1]
        return b"".join(iter(lambda: stream.read(2) or b"\0\0", b"\0\0")).decode("utf-16-le")

    version, signature = read("HH")
    if (version, signature) != (1, 0xFFFF):
        raise ValueError(f"not an extended template (version {version}, signature {signature:#06x})")
    _help_id, ex_style, style, count, x, y, cx, cy = read("IIIHhhhh")
    menu, dialog_class, title = name_or_atom(), name_or_atom(), name_or_atom()
    font_size, typeface = (read("HHBB")[0], name_or_atom()) if style & DS_SETFONT else (None, None)
    controls = []
    for _ in range(count):
        stream.seek((stream.tell() + 3) & ~3)
        _help_id, item_ex_style, item_style, ix, iy, icx, icy, item_id = read("IIIhhhhI")
        item_class, item_text = name_or_atom(), name_or_atom()
        stream.seek(read("H")[0], io.SEEK_CUR)  # creation data
        controls.append(Control(item_id, CLASS_ATOMS.get(item_class, item_class), item_text,
                                ix, iy, icx, icy, item_style, item_ex_style))
    return Dialog(title, style, x, y, cx, cy, font_size, typeface, controls, ex_style, menu, dialog_class)


def compare(where, expected, actual):
    """One line per field that differs, expected against actual; a dialog's controls are compared apart."""
    found = []
    for field in (field for field in expected._fields if field != "controls"):
        want, got, style = getattr(expected, field), getattr(actual, field), field.endswith("style")
        if want == got or (field == "window_class" and isinstance(got, str) and want.lower() == got.lower()):
            continue  # class names are case-insensitive (windres stores them upper-cased)
        show = (lambda v: f"{v:#010x}") if style else (lambda v: repr(signed(v) if field == "id" else v))
        found.append(f"{where}: {field}: expected {show(want)}, actual {show(got)}"
                     + (f" (differs in {want ^ got:#010x})" if style else ""))
    return found


def resources(pe, type_name):
    """{resource name or id: {language id: data entry}} for one resource type."""
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    return {str(entry.name) if entry.id is None else entry.id: {lang.id: lang.data for lang in entry.directory.entries}
            for kind in (root.entries if root else []) if kind.id == pefile.RESOURCE_TYPE[type_name]
            for entry in kind.directory.entries}


def read_map(path):
    """(text, {function name: {address}}) of a GNU ld map."""
    with open(path, encoding="latin-1") as file:
        whole = file.read()
    placed = whole.partition("Linker script and memory map")[2]  # discarded sections, listed before, sit at 0
    names = {}
    for address, symbol in MAP_SYMBOL.findall(placed):  # 'Name(HWND__*, ...)@16' or mangled '_Z4Name...'
        mangled = re.match(r"_?_Z(\d+)", symbol)
        name = symbol[mangled.end():mangled.end() + int(mangled[1])] if mangled else re.split("[(@]", symbol)[0]
        names.setdefault(name, set()).add(int(address, 16))
    return whole, names


def check_code(image, map_path, exports):
    """The link map is this DLL's; the stack guard."""
    whole_map, names = read_map(map_path)
    if len(names.get("DoConfig", ())) != 1:
        raise LookupError(f"DoConfig is {'ambiguous in' if names.get('DoConfig') else 'not in'} the map")
    mapped_at = min(names["DoConfig"])
    if exports.get("DoConfig", mapped_at) != mapped_at:  # a missing export is reported with the exports
        return [f"{map_path} is not this DLL's map: it puts DoConfig at {mapped_at:#x}, "
                f"the DLL exports it at {exports['DoConfig']:#x}"]
    pulled = GUARD_PULLED_BY_MODULE.search(whole_map)
    proofs = {f"the failure message {STACK_SMASHED.decode()!r} in the DLL": STACK_SMASHED in image,
              "a module object (*.cpp.obj) pulling it in (map)": pulled,
              "__stack_chk_fail and __stack_chk_guard placed (map)":
                  all(names.get(name) for name in ("__stack_chk_fail", "__stack_chk_guard"))}
    print(f"guard:    pulled in by {pulled[0].strip() if pulled else 'nothing'}")
    return ["no stack guard (built without -fstack-protector-strong?), missing: "
            + "; ".join(proof for proof, ok in proofs.items() if not ok)] if not all(proofs.values()) else []


def check(path, machine, map_path):
    with open(path, "rb") as file:
        image = file.read()
    pe = pefile.PE(data=image)
    (want_machine, want_magic, format_name), header = MACHINES[machine], pe.FILE_HEADER.Machine
    magic, directory = pe.OPTIONAL_HEADER.Magic, getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    exports = {symbol.name.decode(): pe.OPTIONAL_HEADER.ImageBase + symbol.address
               for symbol in (directory.symbols if directory else []) if symbol.name}
    imports = [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    print(f"image:    machine {header:#06x}, magic {magic:#05x}, DLL: {pe.is_dll()}\n"
          f"exports:  {', '.join(exports) or '(none)'}\nimports:  {', '.join(imports) or '(none)'}")
    problems = failures([
        (header == want_machine, f"machine is {header:#06x}, expected {want_machine:#06x} ({machine})"),
        (magic == want_magic, f"optional header magic is {magic:#05x}, expected {want_magic:#05x} ({format_name})"),
        (pe.is_dll(), "the image is not marked as a DLL"),
        ("DoConfig" in exports, f"DoConfig is not exported by name (exports: {', '.join(exports) or 'none'})")])
    for dll in (dll for dll in imports if dll.upper() not in ALLOWED_IMPORTS):
        runtime = dll.upper().startswith(RUNTIME_PREFIXES)
        problems.append(f"imports the compiler runtime {dll}: it must be linked statically" if runtime
                        else f"imports {dll}, which is not one of the allowed system DLLs")

    dialogs = resources(pe, "RT_DIALOG")
    print(f"dialogs:  {({name: sorted(langs) for name, langs in dialogs.items()}) or '(none)'}  (id: [languages])")
    problems += [f"dialog {dialog} is missing" for dialog in TEMPLATES if dialog not in dialogs]
    problems += [f"dialog {dialog} is in languages {sorted(langs)}, expected only [{FRENCH_FRANCE}]: the player "
                 "looks its templates up in French (France)"
                 for dialog, langs in dialogs.items() if list(langs) != [FRENCH_FRANCE]]
    for dialog, expected in TEMPLATES.items():
        entry = dialogs.get(dialog, {}).get(FRENCH_FRANCE)
        if entry is None:
            continue  # reported with the languages
        try:
            actual = parse_template(pe.get_data(entry.struct.OffsetToData, entry.struct.Size))
        except (ValueError, struct.error) as error:
            problems.append(f"dialog {dialog}: cannot read the template: {error}")
            continue
        print(f"dialog {dialog}: {actual.title!r}, {actual.cx}x{actual.cy}, {len(actual.controls)} controls")
        problems += compare(f"dialog {dialog}", expected, actual)
        if len(expected.controls) != len(actual.controls):
            problems.append(f"dialog {dialog}: {len(actual.controls)} controls, expected {len(expected.controls)}")
        for index, (want, got) in enumerate(zip(expected.controls, actual.controls)):
            problems += compare(f"dialog {dialog} control {index} (id {signed(want.id)})", want, got)

    languages = sorted(lang for langs in resources(pe, "RT_VERSION").values() for lang in langs)
    tables = {table.LangID.decode().lower(): {k.decode(): v.decode() for k, v in table.entries.items()}
              for group in getattr(pe, "FileInfo", None) or [] for info in group
              if getattr(info, "Key", b"") == b"StringFileInfo" for table in info.StringTable}
    french = next((values for key, values in tables.items() if key.startswith(f"{FRENCH_FRANCE:04x}")), None)
    print(f"version:  languages {languages}, string tables {list(tables)}")
    problems += failures([
        (languages == [FRENCH_FRANCE],
         f"the version resource is in languages {languages or 'none'}, expected one in [{FRENCH_FRANCE}]"),
        (french is not None, f"no version string table for {FRENCH_FRANCE:04x} (tables: {list(tables) or 'none'})")])
    problems += [f"version string {name} is {french.get(name)!r}, expected {expected!r}"
                 for name, expected in EXPECTED_VERSION_STRINGS.items() if french and french.get(name) != expected]
    try:
        return problems + check_code(image, map_path, exports)
    except (OSError, LookupError) as error:
        return problems + [f"cannot use the link map: {error}"]


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description="Static check of a built Config.dll")
    parser.add_argument("--machine", choices=sorted(MACHINES), default="i386", help="default i386, the shipping DLL")
    parser.add_argument("--map", help="the link map (default: Config.map beside the DLL)")
    parser.add_argument("dll")
    args = parser.parse_args()
    try:
        found = check(args.dll, args.machine, args.map or os.path.join(os.path.dirname(args.dll) or ".", "Config.map"))
    except (OSError, pefile.PEFormatError) as error:
        found = [f"cannot read {args.dll}: {error}"]
    for problem in found:
        print(f"  - {problem}")
    print(f"FAILED: {len(found)} mismatch(es)" if found else "OK: all checks passed")
    sys.exit(1 if found else 0)
