#!/usr/bin/python3
"""Static check of a built Config.dll, what a player's loader and installer rely on (docs/TESTING.md). Prints what it
read, then each mismatch; non-zero on any. Usage: /usr/bin/python3 check_dll.py i686|x86_64 VERSION Config.dll
(python3-pefile; Config.map beside it; VERSION is the project's, 1.0.0.0 in CMakeLists.txt).
"""
import os
import re
import sys

import pefile

FRENCH_FRANCE = 1036
MACHINES = {"i686": 0x14C, "x86_64": 0x8664}
ALLOWED_IMPORTS = {f"{name}.DLL" for name in "KERNEL32 USER32 ADVAPI32 MSVCRT SHELL32 VERSION COMCTL32 GDI32".split()}
EXPECTED_VERSION_STRINGS = {"FileDescription": "Dad Azizov Configuration", "InternalName": "Config.dll",
                            "OriginalFilename": "Config.dll"}
# Every function the DLL imports is spied on by the Wine suite (its kSpies) or named here with why it is not failed.
SPIES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "wine", "SystemCalls.cpp")
NOT_FAILED = {name: reason for reason, names in {
    "a call on the module's own dialog, which fails only for a window that is gone":
        "CheckDlgButton EnableWindow EndDialog GetDlgItem GetWindowLongA GetWindowLongPtrA GetWindowTextA InvalidateRect "
        "IsDlgButtonChecked MessageBoxA SendMessageA SetDlgItemTextA SetWindowLongA SetWindowLongPtrA SetWindowTextA",
    "its failure is met as a matter of course (the end of a listing, no cache folder)": "FindNextFileA GetFileAttributesA",
    "it locks a movable block the module has just allocated": "GlobalLock GlobalUnlock",
    "a text, path or number function, which cannot fail":
        "_makepath _splitpath _stricmp atoi lstrcmpiA memchr memcmp memcpy memmove memset sscanf strchr strcmp strlen "
        "strncmp strrchr wcslen",
    "the log's writing: a write that fails (a full disk) loses the rest of its entry, unread": "fputc fputs fwrite vfprintf",
    "the C and C++ runtime linked into the module (start-up, locks, thread-local storage, exceptions, the stack guard)":
        "CloseHandle CreateSemaphoreW CryptAcquireContextA CryptGenRandom CryptReleaseContext DeleteCriticalSection "
        "EnterCriticalSection FreeLibrary GetCurrentThreadId GetLastError GetModuleHandleA GetModuleHandleW "
        "GetProcAddress InitializeCriticalSection IsDBCSLeadByteEx LeaveCriticalSection LoadLibraryA LoadLibraryW "
        "MultiByteToWideChar RaiseException ReleaseSemaphore RtlCaptureContext RtlLookupFunctionEntry RtlUnwindEx "
        "RtlVirtualUnwind SetLastError TlsAlloc TlsFree TlsGetValue TlsSetValue VirtualProtect VirtualQuery "
        "WaitForSingleObject WideCharToMultiByte __mb_cur_max ___lc_codepage_func ___mb_cur_max_func __iob_func "
        "_amsg_exit _close _errno _exit _initterm _iob _lock _open _read _unlock _write abort localeconv setlocale "
        "strerror",
}.items() for name in names.split()}

# The stack guard: with -fstack-protector-strong a function holding a local buffer checks a canary before it
# returns, and calls __stack_chk_fail (which prints STACK_SMASHED) if it was overwritten. -D_FORTIFY_SOURCE brings
# the same library without a canary, so it takes both: the text in the DLL and a module object pulling the guard in.
STACK_SMASHED = b"*** stack smashing detected ***"
GUARD_PULLED_BY_MODULE = re.compile(r"^ +\S*\.cpp\.obj\)? \((__stack_chk_(?:fail|guard))\)$", re.M)


def resource_languages(pe, type_name):
    """{resource name or id: [language ids]} for one resource type."""
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    return {str(entry.name) if entry.id is None else entry.id: sorted(lang.id for lang in entry.directory.entries)
            for kind in (root.entries if root else []) if kind.id == pefile.RESOURCE_TYPE[type_name]
            for entry in kind.directory.entries}


def check_guard(image, map_path):
    try:
        with open(map_path, encoding="latin-1") as file:
            link_map = file.read()
    except OSError as error:
        return [f"cannot read the link map: {error}"]
    pulled = GUARD_PULLED_BY_MODULE.search(link_map)
    print(f"guard:    pulled in by {pulled[0].strip() if pulled else 'nothing'}")
    missing = [proof for proof, ok in (
        (f"the failure message {STACK_SMASHED.decode()!r} in the DLL", STACK_SMASHED in image),
        ("a module object (*.cpp.obj) pulling it in (map)", pulled)) if not ok]
    # The first exception on a thread must need no memory: the module keeps the runtime's per-thread record.
    heap_record = "eh_globals.o" in link_map
    return (["no stack guard (built without -fstack-protector-strong?), missing: " + "; ".join(missing)] if missing else []) + \
        (["the runtime's own per-thread exception record (eh_globals.o, taken from the heap) is linked in"]
         if heap_record else [])


def check(path, machine, map_path, version):
    with open(path, "rb") as file:
        image = file.read()
    pe = pefile.PE(data=image)
    want_machine, header = MACHINES[machine], pe.FILE_HEADER.Machine
    directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    exports = [symbol.name.decode() for symbol in (directory.symbols if directory else []) if symbol.name]
    imports = [entry.dll.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    problems = [why for ok, why in (
        (header == want_machine, f"machine is {header:#06x}, expected {want_machine:#06x} ({machine})"),
        (pe.is_dll(), "the image is not marked as a DLL"),
        ("DoConfig" in exports, f"DoConfig is not exported by name (exports: {', '.join(exports) or 'none'})"))
        if not ok]
    problems += [f"imports {dll}: only system DLLs may be (the compiler's runtime is linked in statically)"
                 for dll in imports if dll.upper() not in ALLOWED_IMPORTS]
    with open(SPIES, encoding="utf-8") as file:
        spied = set(re.findall(r"SPY\((\w+)\)", file.read().split("kSpies[]")[-1]))
    functions = sorted({symbol.name.decode() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])
                        for symbol in entry.imports if symbol.name})
    print(f"imports:  {len(functions)} functions, {len(spied & set(functions))} of them watched by the suite")
    problems += [f"imports {name}, which the Wine suite neither spies on nor names as not failed"
                 for name in functions if name not in spied and name not in NOT_FAILED]

    # The player looks its templates up in French (France); a second language would be a second template.
    dialogs = resource_languages(pe, "RT_DIALOG")
    problems += [f"dialog {dialog} is in languages {dialogs.get(dialog, 'none')}, expected only [{FRENCH_FRANCE}]"
                 for dialog in (101, 102) if dialogs.get(dialog) != [FRENCH_FRANCE]]

    languages = [lang for langs in resource_languages(pe, "RT_VERSION").values() for lang in langs]
    tables = {table.LangID.decode().lower(): {k.decode(): v.decode() for k, v in table.entries.items()}
              for group in getattr(pe, "FileInfo", None) or [] for info in group
              if getattr(info, "Key", b"") == b"StringFileInfo" for table in info.StringTable}
    french = next((values for key, values in tables.items() if key.startswith(f"{FRENCH_FRANCE:04x}")), {})
    if languages != [FRENCH_FRANCE]:
        problems.append(f"the version resource is in languages {languages or 'none'}, expected [{FRENCH_FRANCE}]")
    problems += [f"version string {name} is {french.get(name)!r}, expected {expected!r}"
                 for name, expected in EXPECTED_VERSION_STRINGS.items() if french.get(name) != expected]
    # The version block's numbers and its texts ("1, 0, 0, 0") both say the project's version.
    fixed = pe.VS_FIXEDFILEINFO[0] if getattr(pe, "VS_FIXEDFILEINFO", None) else None
    for name in ("FileVersion", "ProductVersion"):
        high, low = getattr(fixed, name + "MS", 0), getattr(fixed, name + "LS", 0)
        found = (f"{high >> 16}.{high & 0xFFFF}.{low >> 16}.{low & 0xFFFF}", french.get(name))
        print(f"version:  {name} {found[0]}, text {found[1]!r}")
        if found != (version, version.replace(".", ", ")):
            problems.append(f"the version block's {name} is {found[0]} ({found[1]!r}), expected {version}")
    return problems + check_guard(image, map_path)


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] not in MACHINES:
        sys.exit(__doc__)
    machine, version, dll = sys.argv[1:]
    try:
        found = check(dll, machine, os.path.join(os.path.dirname(dll) or ".", "Config.map"), version)
    except (OSError, pefile.PEFormatError) as error:
        found = [f"cannot read {dll}: {error}"]
    print("".join(f"  - {problem}\n" for problem in found), end="")
    print(f"FAILED: {len(found)} mismatch(es)" if found else "OK: all checks passed")
    sys.exit(1 if found else 0)
