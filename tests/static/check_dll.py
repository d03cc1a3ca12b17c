#!/usr/bin/python3
"""Static check of a built Config.dll.

The player loads Config.dll by name, calls DoConfig and looks up its dialog
templates in French (France). This check reads the DLL without running it:
  - the image format and machine (PE32 i386 for the shipping 32-bit DLL,
    PE32+ x86-64 for the build that runs under Wine here);
  - DoConfig exported by its plain name;
  - only system DLLs imported, so no compiler runtime has to ship with it;
  - dialogs 101 and 102 present in language 1036 and in no other language;
  - both dialog templates field by field: title, style, place, size, font
    and every control in tab order (id, class, text, place, size, style);
  - the version block in language 1036 with the module's names;
  - i386 only: the calling conventions the player and the dialog manager
    rely on, read from the machine code. DoConfig returns with a plain `ret`
    (the caller cleans the stack), each dialog procedure with `ret $0x10`
    (it removes its four arguments). The shipping DLL has no symbols, so the
    functions are found in the link's map, Config.map beside the DLL.

Usage: check_dll.py [--machine i386|x86_64] [--map Config.map] path/to/Config.dll
Prints what it found and exits non-zero, naming each mismatch, when the DLL
is not as expected. Needs Debian's python3-pefile (run with /usr/bin/python3)
and, for i386, i686-w64-mingw32-objdump.
"""

import argparse
import os
import re
import struct
import subprocess
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

# How each function must return on i386: the immediate of its `ret`.
RETURNS = {
    "DoConfig": None,          # caller cleans the stack: plain ret
    "SettingsDlgProc": 0x10,   # dialog procedure: removes its four arguments
    "NetworkDlgProc": 0x10,
}
OBJDUMP = "i686-w64-mingw32-objdump"

MACHINES = {
    # name: (machine, optional header magic, format name)
    "i386": (0x14C, 0x10B, "PE32"),
    "x86_64": (0x8664, 0x20B, "PE32+"),
}

# System DLLs the module may import, in upper case.
ALLOWED_IMPORTS = {
    "KERNEL32.DLL", "USER32.DLL", "ADVAPI32.DLL", "MSVCRT.DLL", "SHELL32.DLL",
    "VERSION.DLL", "COMCTL32.DLL", "GDI32.DLL",
}
# Runtimes a mingw build drags in unless linked statically.
RUNTIME_PREFIXES = ("LIBGCC", "LIBSTDC++", "LIBWINPTHREAD")

EXPECTED_VERSION_STRINGS = {
    "FileDescription": "Dad Azizov Configuration",
    "InternalName": "Config.dll",
    "OriginalFilename": "Config.dll",
}


def text(value):
    return value.decode("latin-1") if isinstance(value, bytes) else str(value)


def exported(pe):
    """{name: virtual address} of the functions the DLL exports by name."""
    directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    return {text(symbol.name): pe.OPTIONAL_HEADER.ImageBase + symbol.address
            for symbol in (directory.symbols if directory else []) if symbol.name}


def resource_entries(pe, type_id):
    """{resource name or id: {language id: data entry}} for one resource type."""
    found = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for type_entry in root.entries if root else []:
        if type_entry.id != type_id:
            continue
        for name_entry in type_entry.directory.entries:
            name = name_entry.id if name_entry.id is not None else text(name_entry.name)
            found[name] = {lang.id: lang.data for lang in name_entry.directory.entries}
    return found


def string_tables(pe):
    """[(lang-codepage key, {name: value})] from the version block."""
    tables = []
    for group in getattr(pe, "FileInfo", []) or []:
        entries = group if isinstance(group, list) else [group]
        for info in entries:
            if text(getattr(info, "Key", b"")) != "StringFileInfo":
                continue
            for table in info.StringTable:
                values = {text(k): text(v) for k, v in table.entries.items()}
                tables.append((text(table.LangID), values))
    return tables


# --- Dialog templates (DLGTEMPLATEEX, DLGITEMTEMPLATEEX) ---------------------

class TemplateReader:
    """Reads the little-endian fields of one template in order."""

    def __init__(self, data):
        self.data, self.offset = data, 0

    def read(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.offset)
        self.offset += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def align(self):
        self.offset = (self.offset + 3) & ~3

    def name_or_atom(self):
        """An empty text, 0xFFFF and an atom, or a NUL-terminated UTF-16 text."""
        first = self.read("H")
        if first == 0xFFFF:
            return self.read("H")
        chars = []
        while first != 0:
            chars.append(first)
            first = self.read("H")
        return struct.pack(f"<{len(chars)}H", *chars).decode("utf-16-le")


def parse_template(data):
    """A Dialog from the bytes of an extended dialog template."""
    reader = TemplateReader(data)
    version, signature = reader.read("HH")
    if (version, signature) != (1, 0xFFFF):
        raise ValueError(f"not an extended template (version {version}, signature {signature:#06x})")
    _help_id, ex_style, style, count, x, y, cx, cy = reader.read("IIIHhhhh")
    menu, dialog_class, title = reader.name_or_atom(), reader.name_or_atom(), reader.name_or_atom()
    font_size = typeface = None
    if style & DS_SETFONT:
        font_size, _weight, _italic, _charset = reader.read("HHBB")
        typeface = reader.name_or_atom()
    controls = []
    for _ in range(count):
        reader.align()
        _help_id, item_ex_style, item_style, ix, iy, icx, icy, item_id = reader.read("IIIhhhhI")
        item_class = reader.name_or_atom()
        item_class = CLASS_ATOMS.get(item_class, item_class)
        item_text = reader.name_or_atom()
        creation_data_size = reader.read("H")
        reader.offset += creation_data_size
        controls.append(Control(item_id, item_class, item_text, ix, iy, icx, icy, item_style, item_ex_style))
    return Dialog(title, style, x, y, cx, cy, font_size, typeface, controls, ex_style, menu, dialog_class)


def signed(control_id):
    """A control id as the resource script writes it: -1 for none."""
    return control_id - (1 << 32) if control_id >= 1 << 31 else control_id


def field_mismatch(field, expected, actual):
    """None when the field holds what is expected, else what differs."""
    if field == "window_class" and isinstance(actual, str) and expected.lower() == actual.lower():
        return None  # class names are case-insensitive (windres stores them upper-cased)
    if expected == actual:
        return None
    if field == "id":
        expected, actual = signed(expected), signed(actual)
    if field.endswith("style"):
        return f"{field}: expected {expected:#010x}, actual {actual:#010x} (differs in {expected ^ actual:#010x})"
    return f"{field}: expected {expected!r}, actual {actual!r}"


def compare_fields(where, fields, expected, actual):
    mismatches = (field_mismatch(field, getattr(expected, field), getattr(actual, field)) for field in fields)
    return [f"{where}: {mismatch}" for mismatch in mismatches if mismatch]


def compare_template(dialog_id, expected, actual):
    """One line per field that differs: dialog, control index and id, field."""
    dialog_fields = [field for field in Dialog._fields if field != "controls"]
    problems = compare_fields(f"dialog {dialog_id}", dialog_fields, expected, actual)
    if len(expected.controls) != len(actual.controls):
        problems.append(f"dialog {dialog_id}: {len(actual.controls)} controls, expected {len(expected.controls)}")
    for index, (want, got) in enumerate(zip(expected.controls, actual.controls)):
        where = f"dialog {dialog_id} control {index} (id {signed(want.id)})"
        problems += compare_fields(where, Control._fields, want, got)
    return problems


def check_templates(pe, dialogs):
    problems = []
    for dialog_id, expected in TEMPLATES.items():
        data_entry = dialogs.get(dialog_id, {}).get(FRENCH_FRANCE)
        if data_entry is None:
            continue  # reported with the languages
        try:
            actual = parse_template(pe.get_data(data_entry.struct.OffsetToData, data_entry.struct.Size))
        except (ValueError, struct.error) as error:
            problems.append(f"dialog {dialog_id}: cannot read the template: {error}")
            continue
        print(f"dialog {dialog_id}: {actual.title!r}, style {actual.style:#010x}, at {actual.x},{actual.y}, "
              f"{actual.cx}x{actual.cy}, font {actual.font_size} {actual.typeface!r}, {len(actual.controls)} controls")
        problems += compare_template(dialog_id, expected, actual)
    return problems


# --- Calling conventions (i386) ----------------------------------------------

MAP_INPUT_SECTION = re.compile(r"^(?: \S+)?\s+0x([0-9a-fA-F]+)\s+0x([0-9a-fA-F]+)\s+\S")
MAP_SYMBOL = re.compile(r"^\s+0x([0-9a-fA-F]+)\s+(\S.*?)\s*$")


def base_name(symbol):
    """SettingsDlgProc from 'SettingsDlgProc(HWND__*, ...)@16' or its mangled form."""
    symbol = re.sub(r"@\d+$", "", symbol)
    mangled = re.match(r"_?_Z(\d+)", symbol)
    if mangled:
        start = mangled.end()
        return symbol[start:start + int(mangled.group(1))]
    return symbol.split("(", 1)[0]


def read_map(path):
    """(symbols [(address, name)], input sections [(start, end)]) of a GNU ld map."""
    symbols, sections, in_memory_map = [], [], False
    with open(path, encoding="latin-1") as lines:
        for line in lines:
            # Discarded sections, listed before the memory map, sit at 0.
            in_memory_map = in_memory_map or line.startswith("Linker script and memory map")
            if not in_memory_map:
                continue
            section, symbol = MAP_INPUT_SECTION.match(line), MAP_SYMBOL.match(line)
            if section:
                start = int(section.group(1), 16)
                sections.append((start, start + int(section.group(2), 16)))
            elif symbol:
                symbols.append((int(symbol.group(1), 16), symbol.group(2)))
    return symbols, sections


def function_range(name, symbols, sections):
    """[start, end) of a function: to the next symbol or its object's section end."""
    starts = {address for address, symbol in symbols if base_name(symbol) == name}
    if len(starts) != 1:
        raise LookupError(f"{name} is {'not in' if not starts else 'ambiguous in'} the map")
    start = starts.pop()
    ends = [address for address, _ in symbols if address > start]
    ends += [end for begin, end in sections if begin <= start < end]
    return start, min(ends)


# A return instruction in objdump's listing: near, far or interrupt return,
# possibly prefixed; group 1 is the instruction without its prefix.
RETURN = re.compile(r"^(?:(?:rep\w*|bnd|notrack) )?([il]?ret[wlqd]?\b.*)$")


def returns_in(dll, start, end):
    """[(address, instruction, unprefixed)] of every return in [start, end)."""
    listing = subprocess.run([OBJDUMP, "-d", f"--start-address={start:#x}", f"--stop-address={end:#x}", dll],
                             capture_output=True, text=True, check=True).stdout
    found = []
    for line in listing.splitlines():
        parts = line.split("\t")  # address:, bytes, instruction
        instruction = " ".join(parts[2].split()) if len(parts) == 3 else ""
        match = RETURN.match(instruction)
        if match:
            found.append((int(parts[0].strip().rstrip(":"), 16), instruction, match.group(1)))
    return found


def map_mismatch(pe, symbols, sections, map_path):
    """Why the map does not describe this DLL (DoConfig elsewhere), or None."""
    exported_at = exported(pe).get("DoConfig")  # a missing export is reported with the exports
    mapped_at, _ = function_range("DoConfig", symbols, sections)
    if exported_at is not None and mapped_at != exported_at:
        return (f"{map_path} is not this DLL's map: it puts DoConfig at {mapped_at:#x}, "
                f"the DLL exports it at {exported_at:#x}")
    return None


def check_returns(dll, name, pops, symbols, sections):
    expected = "ret" if pops is None else f"ret ${pops:#x}"
    start, end = function_range(name, symbols, sections)
    returns = returns_in(dll, start, end)
    print(f"returns:  {name} {start:#x}..{end:#x}: " + (", ".join(r[1] for r in returns) or "none"))
    if not returns:
        return [f"{name} ({start:#x}..{end:#x}) has no return instruction, expected {expected!r}"]
    return [f"{name} returns with {instruction!r} at {address:#x}, expected {expected!r}"
            for address, instruction, unprefixed in returns if unprefixed != expected]


def check_calling_conventions(pe, dll, map_path):
    try:
        symbols, sections = read_map(map_path)
        mismatch = map_mismatch(pe, symbols, sections, map_path)
    except (OSError, LookupError) as error:
        return [f"cannot use the link map: {error}"]
    if mismatch:
        return [mismatch]
    problems = []
    for name, pops in RETURNS.items():
        try:
            problems += check_returns(dll, name, pops, symbols, sections)
        except (LookupError, OSError, subprocess.CalledProcessError) as error:
            problems.append(f"calling convention of {name}: {error}")
    return problems


# --- The whole check ---------------------------------------------------------

def check_image(pe, machine_name):
    problems = []
    expected_machine, expected_magic, format_name = MACHINES[machine_name]
    machine = pe.FILE_HEADER.Machine
    magic = pe.OPTIONAL_HEADER.Magic
    is_dll = bool(pe.FILE_HEADER.Characteristics & 0x2000)
    print(f"machine:  {machine:#06x}, optional header magic {magic:#05x}, DLL: {is_dll}")
    if machine != expected_machine:
        problems.append(f"machine is {machine:#06x}, expected {expected_machine:#06x} ({machine_name})")
    if magic != expected_magic:
        problems.append(f"optional header magic is {magic:#05x}, expected {expected_magic:#05x} ({format_name})")
    if not is_dll:
        problems.append("the image is not marked as a DLL")
    return problems


def check_exports_and_imports(pe):
    problems = []
    exports = list(exported(pe))
    shown = ", ".join(exports[:10]) + (f", ... ({len(exports)} in all)" if len(exports) > 10 else "")
    print(f"exports:  {shown or '(none)'}")
    if "DoConfig" not in exports:
        problems.append(f"DoConfig is not exported by name (exports: {shown or 'none'})")

    imports = [text(entry.dll) for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    print(f"imports:  {', '.join(imports) or '(none)'}")
    for dll in imports:
        upper = dll.upper()
        if upper.startswith(RUNTIME_PREFIXES):
            problems.append(f"imports the compiler runtime {dll}: it must be linked statically")
        elif upper not in ALLOWED_IMPORTS:
            problems.append(f"imports {dll}, which is not one of the allowed system DLLs")
    return problems


def check_dialog_languages(dialogs):
    problems = []
    languages = {name: sorted(entries) for name, entries in dialogs.items()}
    print(f"dialogs:  {languages or '(none)'}  (template: [languages])")
    for dialog in TEMPLATES:
        if dialog not in dialogs:
            problems.append(f"dialog {dialog} is missing")
    for dialog, langs in sorted(languages.items(), key=lambda item: str(item[0])):
        if langs != [FRENCH_FRANCE]:
            problems.append(f"dialog {dialog} is in languages {langs}, expected only [{FRENCH_FRANCE}]: "
                            f"the player looks its templates up in French (France)")
    return problems


def check_version(pe):
    problems = []
    versions = resource_entries(pe, pefile.RESOURCE_TYPE["RT_VERSION"])
    version_languages = sorted(lang for entries in versions.values() for lang in entries)
    shown = {name: sorted(entries) for name, entries in versions.items()}
    print(f"version:  {shown or '(none)'}  (resource: [languages])")
    if version_languages != [FRENCH_FRANCE]:
        problems.append(f"the version resource is in languages {version_languages or 'none'}, "
                        f"expected one in [{FRENCH_FRANCE}]")

    tables = string_tables(pe)
    for key, values in tables:
        print(f"strings {key}: " + ", ".join(f"{name}={value!r}" for name, value in values.items()))
    french = [values for key, values in tables if key.lower().startswith(f"{FRENCH_FRANCE:04x}")]
    if not french:
        problems.append(f"no version string table for language {FRENCH_FRANCE:04x} "
                        f"(tables: {[key for key, _ in tables] or 'none'})")
    else:
        for name, expected in EXPECTED_VERSION_STRINGS.items():
            actual = french[0].get(name)
            if actual != expected:
                problems.append(f"version string {name} is {actual!r}, expected {expected!r}")
    return problems


def check(path, machine_name, map_path):
    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"],
    ])
    print(f"file:     {path}")
    problems = check_image(pe, machine_name)
    problems += check_exports_and_imports(pe)
    dialogs = resource_entries(pe, pefile.RESOURCE_TYPE["RT_DIALOG"])
    problems += check_dialog_languages(dialogs)
    problems += check_templates(pe, dialogs)
    problems += check_version(pe)
    if machine_name == "i386":
        print(f"map:      {map_path}")
        problems += check_calling_conventions(pe, path, map_path)
    else:
        print(f"returns:  not checked on {machine_name}: it has a single calling convention")
    return problems


def main():
    parser = argparse.ArgumentParser(description="Static check of a built Config.dll")
    parser.add_argument("--machine", choices=sorted(MACHINES), default="i386",
                        help="the expected machine (default i386, the shipping DLL)")
    parser.add_argument("--map", help="the link's symbol map (default: Config.map beside the DLL); i386 only")
    parser.add_argument("dll")
    args = parser.parse_args()
    map_path = args.map or os.path.join(os.path.dirname(os.path.abspath(args.dll)), "Config.map")
    try:
        problems = check(args.dll, args.machine, map_path)
    except (OSError, pefile.PEFormatError) as error:
        print(f"FAILED: cannot read {args.dll}: {error}")
        return 1
    if problems:
        print(f"FAILED: {len(problems)} mismatch(es):")
        for problem in problems:
            print(f"  - {problem}")
        return 1
    print("OK: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
