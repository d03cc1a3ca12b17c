#!/usr/bin/python3
"""Static check of a built Config.dll.

The player loads Config.dll by name, calls DoConfig and looks up its dialog
templates in French (France). This check reads the DLL without running it:
  - the image format and machine (PE32 i386 for the shipping 32-bit DLL,
    PE32+ x86-64 for the build that runs under Wine here);
  - DoConfig exported by its plain name;
  - only system DLLs imported, so no compiler runtime has to ship with it;
  - dialog 101 present in language 1036 and in no other language;
  - the version block in language 1036 with the module's names.

Usage: check_dll.py [--machine i386|x86_64] path/to/Config.dll
Prints what it found and exits non-zero, naming each mismatch, when the DLL
is not as expected. Needs Debian's python3-pefile (run with /usr/bin/python3).
"""

import argparse
import sys

import pefile

FRENCH_FRANCE = 1036
SETTINGS_DIALOG = 101

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


def resource_languages(pe, type_id, name_id=None):
    """{resource name or id: [language ids]} for one resource type."""
    found = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    if root is None:
        return found
    for type_entry in root.entries:
        if type_entry.id != type_id:
            continue
        for name_entry in type_entry.directory.entries:
            name = name_entry.id if name_entry.id is not None else text(name_entry.name)
            if name_id is not None and name != name_id:
                continue
            found[name] = [lang.id for lang in name_entry.directory.entries]
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


def check(path, machine_name):
    problems = []
    expected_machine, expected_magic, format_name = MACHINES[machine_name]

    pe = pefile.PE(path, fast_load=True)
    pe.parse_data_directories(directories=[
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_IMPORT"],
        pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"],
    ])

    machine = pe.FILE_HEADER.Machine
    magic = pe.OPTIONAL_HEADER.Magic
    is_dll = bool(pe.FILE_HEADER.Characteristics & 0x2000)
    print(f"file:     {path}")
    print(f"machine:  {machine:#06x}, optional header magic {magic:#05x}, DLL: {is_dll}")
    if machine != expected_machine:
        problems.append(f"machine is {machine:#06x}, expected {expected_machine:#06x} ({machine_name})")
    if magic != expected_magic:
        problems.append(f"optional header magic is {magic:#05x}, expected {expected_magic:#05x} ({format_name})")
    if not is_dll:
        problems.append("the image is not marked as a DLL")

    exports = []
    if hasattr(pe, "DIRECTORY_ENTRY_EXPORT"):
        exports = [text(symbol.name) for symbol in pe.DIRECTORY_ENTRY_EXPORT.symbols if symbol.name]
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

    dialogs = resource_languages(pe, pefile.RESOURCE_TYPE["RT_DIALOG"])
    print(f"dialogs:  {dialogs or '(none)'}  (template: [languages])")
    languages = dialogs.get(SETTINGS_DIALOG)
    if languages is None:
        problems.append(f"dialog {SETTINGS_DIALOG} is missing")
    for dialog, languages in sorted(dialogs.items(), key=lambda item: str(item[0])):
        if languages != [FRENCH_FRANCE]:
            problems.append(f"dialog {dialog} is in languages {languages}, expected only [{FRENCH_FRANCE}]: "
                            f"the player looks its templates up in French (France)")

    versions = resource_languages(pe, pefile.RESOURCE_TYPE["RT_VERSION"])
    print(f"version:  {versions or '(none)'}  (resource: [languages])")
    version_languages = sorted(lang for langs in versions.values() for lang in langs)
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


def main():
    parser = argparse.ArgumentParser(description="Static check of a built Config.dll")
    parser.add_argument("--machine", choices=sorted(MACHINES), default="i386",
                        help="the expected machine (default i386, the shipping DLL)")
    parser.add_argument("dll")
    args = parser.parse_args()
    try:
        problems = check(args.dll, args.machine)
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
