#!/usr/bin/env python3
"""Fault-injection run of Config.dll: how many deliberately injected faults
in the module's sources does the test suite catch?

Each fault in FAULTS below is a plain text replacement in one file of
Utilities/Config/ whose original text must occur there exactly once. For each
fault the script applies it in the git worktree it is run from, builds the
x86_64 Config.dll, runs the Wine suite on it (and, for the two system-free
files, the native unit tests), restores the file with `git checkout`, and
prints one line: caught / MISSED / build failed.

    scripts/fault_run.py [--only N,M] [--list]

Run it in a worktree of its own (`git worktree add ../wt-faults HEAD`): it
edits and restores the module's sources, and it refuses to start while any
of them has uncommitted changes. It needs mingw-w64, wine64 and Xvfb (as
scripts/test.sh installs them); without a display it runs itself under
xvfb-run, so one display and one Wine prefix serve the whole run.

A fault counts as caught when the Wine suite exits non-zero or does not end
within WINE_TIMEOUT seconds (a hang), or the native unit tests fail. The
200-session resource test is left out of every run (it takes minutes); for
the faults marked `release` it is also run once on its own, and its result
is shown in the line. The suite runs with WINEDEBUG=-all, so Wine's heap
checking is off here. Logs go to build/faults/fault-logs/.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from collections import namedtuple
from pathlib import Path

# ---------------------------------------------------------------------------
# The faults: (file in Utilities/Config, original text, replacement, what it
# does). `release` marks faults in giving back a resource.

Fault = namedtuple("Fault", "file original replacement description release", defaults=(False,))

# Deleting the module's only call of a function would also drop it from the
# DLL's imports, and the suite's call spies then refuse to start: every test
# fails for that reason alone. The deleted call leaves this in its place, so
# the import stays and the suite judges the behaviour.
KEEP_IMPORT = "    {{ static void* volatile keepImport; keepImport = reinterpret_cast<void*>(&{}); }}\n"

FAULTS = [
    # ConfigModule.cpp
    Fault("ConfigModule.cpp", "if (reason == DLL_PROCESS_ATTACH)", "if (reason != DLL_PROCESS_ATTACH)",
          "module handle never recorded (== -> !=)"),
    # SettingsDialog.cpp
    Fault("SettingsDialog.cpp",
          "    LoadDisplaySettings(dialog);\n    FillComponentInfo(dialog);\n    SelectCurrentDriver(dialog);",
          "    SelectCurrentDriver(dialog);\n    LoadDisplaySettings(dialog);\n    FillComponentInfo(dialog);",
          "context 0's driver selected before the stored settings (order swapped)"),
    Fault("SettingsDialog.cpp", "        SaveDisplaySettings(dialog);\n", "",
          "&Close/Enter no longer save (call deleted)"),
    Fault("SettingsDialog.cpp", "if (code == CBN_SELCHANGE)", "if (code != CBN_SELCHANGE)",
          "driver switched on every list notification but a selection (== -> !=)"),
    Fault("SettingsDialog.cpp", "    if (wParam == IDCANCEL) {\n        EndDialog(dialog, 1);",
          "    if (wParam == IDCANCEL) {\n        EndDialog(dialog, 0);",
          "Esc makes DoConfig return 0 (1 -> 0)"),
    # DisplaySettings.cpp
    Fault("DisplaySettings.cpp", '{"fsHeight", &DisplaySettings::fsHeight}',
          '{"fsHeigth", &DisplaySettings::fsHeight}', 'value name "fsHeight" misspelt'),
    Fault("DisplaySettings.cpp", "DWORD fsWidth = 640;", "DWORD fsWidth = 641;",
          "default full-screen width 641 when nothing is stored"),
    Fault("DisplaySettings.cpp", "    int width = 640;", "    int width = 639;",
          "width stored when no resolution is selected 639"),
    Fault("DisplaySettings.cpp", "        key.Close();\n", "",
          "settings key closed late, by the destructor (Close deleted)", True),
    # RenderLists.cpp
    Fault("RenderLists.cpp", "for (int i = 0; i < contextCount; ++i)", "for (int i = 0; i <= contextCount; ++i)",
          "OnDriverChanged asks GetRenderContext(count), one past the end"),
    Fault("RenderLists.cpp", "            context->BeginDriverChange();\n            context->SetDriver(driver);",
          "            context->SetDriver(driver);\n            context->BeginDriverChange();",
          "SetDriver before BeginDriverChange (order swapped)"),
    Fault("RenderLists.cpp", "            context->EndDriverChange();\n", "",
          "EndDriverChange not called (deleted)"),
    Fault("RenderLists.cpp", "if (inUse != driver)", "if (inUse == driver)",
          "refused driver not shown in the list (!= -> ==)"),
    Fault("RenderLists.cpp", "        if (host_ != nullptr)\n            host_->ReleaseContext();\n", "",
          "ReleaseContext never called (deleted)", True),
    Fault("RenderLists.cpp", "return desc.hardware == 0;", "return desc.hardware != 0;",
          "software-only mode offers the hardware drivers (== -> !=)"),
    Fault("RenderLists.cpp", "const int kResolutionTextSize = 24;", "const int kResolutionTextSize = 23;",
          "resolution text buffer 23 bytes (24 -> 23)"),
    Fault("RenderLists.cpp", "const int kDefaultWidth = 640;", "const int kDefaultWidth = 641;",
          "fallback resolution 641x480"),
    Fault("RenderLists.cpp", "    SendMessageA(drivers, CB_SETCURSEL, 0, 0);\n    OnDriverChanged(dialog);",
          "    SendMessageA(drivers, CB_SETCURSEL, 0, 0);",
          "render mode that drops the driver switches nothing (OnDriverChanged deleted)"),
    Fault("RenderLists.cpp", "for (int i = 0; i < manager->GetDriverCount(); ++i)",
          "for (int i = 0; i <= manager->GetDriverCount(); ++i)",
          "FillDriverList asks GetDriverDesc(count), one past the end"),
    Fault("RenderLists.cpp", "if (manager == nullptr || selected == CB_ERR)",
          "if (manager == nullptr && selected == CB_ERR)",
          "resolution list built with no driver selected (|| -> &&)"),
    Fault("RenderLists.cpp", "    ReadSelectedResolution(dialog, width, height);\n    FillResolutionList(dialog);",
          "    FillResolutionList(dialog);\n    ReadSelectedResolution(dialog, width, height);",
          "resolution read after the list is rebuilt (order swapped)"),
    Fault("RenderLists.cpp", "if (i == 0) {", "if (i == 1) {",
          "refusal checked on context 1 instead of 0"),
    # NetworkDialog.cpp
    Fault("NetworkDialog.cpp", "\"Please complete all fields before clicking 'OK'\"",
          "\"Please complete all fields before clicking OK\"", "warning text altered"),
    Fault("NetworkDialog.cpp", "const int kPortBoxSize = 10;", "const int kPortBoxSize = 9;",
          "port box read with 8 characters (10 -> 9)"),
    Fault("NetworkDialog.cpp", "if (entry.type == ProxyTypeSocks4 || entry.auth == 0)",
          "if (entry.type == ProxyTypeSocks4 && entry.auth == 0)",
          "credentials demanded of SOCKS4 / without authentication (|| -> &&)"),
    Fault("NetworkDialog.cpp", "entry.port == 0)", "entry.port <= 0)",
          "negative port refused too (== -> <=)"),
    Fault("NetworkDialog.cpp", "    if (index <= 0)\n        index = 0;", "    if (index < 0)\n        index = 0;",
          "type list index clamp (<= -> <)"),
    Fault("NetworkDialog.cpp", "if (!stored || settings.type == ProxyTypeNone)",
          "if (!stored && settings.type == ProxyTypeNone)",
          "system proxy not consulted for a stored NONE (|| -> &&)"),
    Fault("NetworkDialog.cpp", "    if (wParam == IDC_PROXY_CANCEL) {\n        EndDialog(dialog, 1);",
          "    if (wParam == IDC_PROXY_CANCEL) {\n        EndDialog(dialog, 0);",
          "&Cancel ends the network dialog with 0 (1 -> 0)"),
    Fault("NetworkDialog.cpp", 'std::sprintf(port, "%d", settings.port);',
          'std::sprintf(port, "%u", settings.port);', 'stored port shown with "%u"'),
    # ProxySettings.cpp
    Fault("ProxySettings.cpp", 'key.SetText("proxy_address",', 'key.SetText("proxy_adress",',
          'value name "proxy_address" misspelt when writing'),
    Fault("ProxySettings.cpp", "    playerKey.Close();\n", "",
          "player's top-level key closed late, by the destructor (Close deleted)", True),
    Fault("ProxySettings.cpp", "return key.SetNumber(name, 0) == ERROR_SUCCESS;",
          "return key.SetNumber(name, 0) != ERROR_SUCCESS;", "a repaired number counts as a failure (== -> !=)"),
    Fault("ProxySettings.cpp",
          '        if (!ReadNumber(key, "proxy_port", port) ||\n'
          '            !ReadText<kTypeNameBufferSize>(key, "proxy_type", "NONE", typeName) ||',
          '        if (!ReadText<kTypeNameBufferSize>(key, "proxy_type", "NONE", typeName) ||\n'
          '            !ReadNumber(key, "proxy_port", port) ||',
          "type read and repaired before the port (order swapped)"),
    # ProxyText.cpp (also native)
    Fault("ProxyText.cpp", 'std::strcmp(scheme, "socks") == 0', 'std::strcmp(scheme, "sock") == 0',
          'scheme "socks" misspelt'),
    Fault("ProxyText.cpp", "value <= ProxyTypeHttp", "value < ProxyTypeHttp",
          "HTTP named NONE (<= -> <)"),
    Fault("ProxyText.cpp", "std::strrchr(server, ':')", "std::strchr(server, ':')",
          "server text split at its first ':' instead of its last"),
    # FileNames.cpp (also native)
    Fault("FileNames.cpp", "i > 1; --i", "i > 0; --i", "log file part looks at index 0 too (> 1 -> > 0)"),
    Fault("FileNames.cpp", "c >= 'A' && c <= 'Z'", "c > 'A' && c <= 'Z'",
          "'A' not lowered in mask matching (>= -> >)"),
    # DirectoryLister.cpp
    Fault("DirectoryLister.cpp", "(!isDirectory || includeDirectories_)", "(isDirectory || includeDirectories_)",
          "directories yielded instead of files (negation dropped)"),
    Fault("DirectoryLister.cpp",
          "            if (level.find != INVALID_HANDLE_VALUE)\n                FindClose(level.find);\n"
          "            levels_.pop_back();",
          "            levels_.pop_back();", "finished directory searches not closed (FindClose deleted)", True),
    # MediaCache.cpp
    Fault("MediaCache.cpp", "            Sleep(kPauseAfterDeletionMs);\n", "",
          "no pause after the deletion (Sleep deleted)"),
    Fault("MediaCache.cpp", "kPauseAfterDeletionMs = 100;", "kPauseAfterDeletionMs = 101;",
          "pause 101 ms"),
    Fault("MediaCache.cpp", "    if (button != nullptr)\n        EnableWindow(button, FALSE);\n", "",
          "button not disabled during the deletion (EnableWindow deleted)"),
    Fault("MediaCache.cpp", "FOF_NOCONFIRMATION | FOF_SIMPLEPROGRESS | FOF_NOERRORUI",
          "FOF_NOCONFIRMATION | FOF_SIMPLEPROGRESS", "FOF_NOERRORUI flag dropped"),
    Fault("MediaCache.cpp", "sizeof files - 1,", "sizeof files,",
          "pattern may fill the buffer's last byte (size - 1 -> size)"),
    # Paths.cpp
    Fault("Paths.cpp", "length >= sizeof modulePath", "length > sizeof modulePath",
          "module path that fills its buffer accepted (>= -> >)"),
    Fault("Paths.cpp", "if (length >= size)", "if (length > size)",
          "made path of exactly size characters accepted (>= -> >)"),
    # RegistryKey.cpp
    Fault("RegistryKey.cpp", "    if (key_ != nullptr)\n        RegCloseKey(key_);\n", "",
          "RegistryKey never closes its key (RegCloseKey deleted)", True),
    Fault("RegistryKey.cpp", "DWORD size = sizeof bytes;", "DWORD size = sizeof bytes + 1;",
          "number read with a 5-byte size (4 -> 5)"),
    Fault("RegistryKey.cpp", "std::strlen(text) + 1", "std::strlen(text)",
          "texts written without their NUL (+1 dropped)"),
    # SetupUtils.cpp
    Fault("SetupUtils.cpp", "kQueryHandlerLine = 291;", "kQueryHandlerLine = 292;", "logged line 291 -> 292"),
    Fault("SetupUtils.cpp", "kOpenHandlerLine = 294;", "kOpenHandlerLine = 293;", "logged line 294 -> 293"),
    Fault("SetupUtils.cpp", "        RegCloseKey(key);\n", "",
          "registry reader leaves its key open (RegCloseKey deleted)", True),
    Fault("SetupUtils.cpp", "    GlobalFree(memory);\n", KEEP_IMPORT.format("GlobalFree"),
          "version block never freed (GlobalFree deleted)", True),
    Fault("SetupUtils.cpp", "DWORD size = sizeof buffer;", "DWORD size = sizeof buffer - 1;",
          "registry text read into 259 of its 260 bytes (size - 1)"),
    # ComponentInfo.cpp
    Fault("ComponentInfo.cpp", '"Plugins Directory"', '"Plugin Directory"',
          'value name "Plugins Directory" misspelt'),
    Fault("ComponentInfo.cpp", r"if (last == '\\' || last == '/')", r"if (last == '\\' && last == '/')",
          "separator always appended to InstallPath (|| -> &&)"),
    Fault("ComponentInfo.cpp", "    SendMessageA(list, WM_SETREDRAW, TRUE, 0);\n", "",
          "list view redraw never switched back on (SendMessageA deleted)"),
    Fault("ComponentInfo.cpp", "    InvalidateRect(list, nullptr, TRUE);\n", "",
          "list view not invalidated after filling (InvalidateRect deleted)"),
    Fault("ComponentInfo.cpp", "if (row >= 0)", "if (row > 0)",
          "version not set for the row inserted at index 0 (>= -> >)"),
    Fault("ComponentInfo.cpp", "    SetDlgItemTextA(dialog, IDC_NETSCAPE_VERSION, pluginVersion.c_str());\n", "",
          "plug-in version not shown (SetDlgItemTextA deleted)"),
    # SystemProxy.cpp
    Fault("SystemProxy.cpp", "if (enabled == 0)", "if (enabled != 0)",
          "system proxy used only when switched off (== -> !=)"),
    # DiagnosticLog.cpp
    Fault("DiagnosticLog.cpp", '"at+"', '"wt+"', "log truncated instead of appended to (mode text)"),
    Fault("DiagnosticLog.cpp", "    std::fclose(stream);\n", KEEP_IMPORT.format("std::fclose"),
          "log stream never closed (fclose deleted)", True),
    # DialogText.h
    Fault("DialogText.h", "substr(0, bufferSize - 1)", "substr(0, bufferSize)",
          "combo entry text keeps bufferSize characters (- 1 dropped)"),
]

# Files that the native unit tests compile as well.
NATIVE_FILES = {"ProxyText.cpp", "FileNames.cpp"}

MODULE_DIR = Path("Utilities/Config")
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"
WINE_TIMEOUT = 180
LONG_TEST_TIMEOUT = 900
NATIVE_TIMEOUT = 120
SKIP_LONG_TEST = "-*TwoHundred*"
ONLY_LONG_TEST = "*TwoHundred*"

# ---------------------------------------------------------------------------
# The run.


def run(command, log, cwd, timeout=None, env=None):
    """Runs command with its output appended to log; the exit code, or None
    when it did not end within timeout (its process group is then killed)."""
    with open(log, "a") as out:
        out.write(f"$ {' '.join(map(str, command))}\n")
        out.flush()
        process = subprocess.Popen(command, cwd=cwd, env=env, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True)
        try:
            return process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            out.write(f"(no end after {timeout} s: killed)\n")
            return None
        except BaseException:
            # Interrupted: the command goes too, and the caller restores.
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
            raise


class Suite:
    def __init__(self, root):
        self.root = root
        self.build = root / "build" / "faults"
        self.native = root / "build" / "faults-native"
        self.logs = self.build / "fault-logs"
        self.prefix = self.build / "wineprefix"
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                        WINEDLLOVERRIDES="winedbg.exe=d")

    def configure(self, log):
        toolchain = self.root / "cmake" / "toolchain-mingw-x86_64.cmake"
        ok = run(["cmake", "-S", ".", "-B", self.build, "-DCMAKE_BUILD_TYPE=Release",
                  f"-DCMAKE_TOOLCHAIN_FILE={toolchain}"], log, self.root) == 0
        return ok and run(["cmake", "-S", ".", "-B", self.native, "-DCMAKE_BUILD_TYPE=Debug"], log, self.root) == 0

    def start_wine(self, log):
        """Starts the prefix's server and services on this display, their
        output sent to the log, and keeps closed dialogs from waiting."""
        run([WINE, "wineboot"], log, self.root, env=self.env)
        run([WINE, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/t", "REG_SZ", "/d", "N",
             "/f"], log, self.root, env=self.env)

    def stop_wine(self, log):
        run([WINESERVER, "-k"], log, self.root, env=self.env)

    def build_windows(self, log):
        return run(["cmake", "--build", self.build, "-j2", "--target", "Config", "config_e2e"], log, self.root) == 0

    def build_native(self, log):
        return run(["cmake", "--build", self.native, "-j2"], log, self.root) == 0

    def wine_suite(self, log, gtest_filter, timeout):
        """'pass', 'fail' or 'hang'."""
        dll = self.build / "Utilities" / "Config" / "Config.dll"
        status = run([WINE, self.build / "tests" / "wine" / "config_e2e.exe", f"--config-dll=Z:{dll}",
                      f"--gtest_filter={gtest_filter}"], log, self.root, timeout=timeout, env=self.env)
        if status is None:
            # Whatever the hung program left in this prefix goes with it.
            self.stop_wine(log)
            self.start_wine(log)
            return "hang"
        return "pass" if status == 0 else "fail"

    def native_tests(self, log):
        status = run(["ctest", "--test-dir", self.native, "--timeout", str(NATIVE_TIMEOUT)], log, self.root)
        return "pass" if status == 0 else "fail"


def failed_tests(log):
    names = re.findall(r"^\[  FAILED  \] (\S+)", Path(log).read_text(errors="replace"), re.M)
    return sorted(set(name for name in names if "." in name))


def check_faults(root):
    """Every original text must occur exactly once in its file."""
    problems = []
    for number, fault in enumerate(FAULTS, 1):
        count = (root / MODULE_DIR / fault.file).read_text().count(fault.original)
        if count != 1:
            problems.append(f"fault {number} ({fault.file}): original text found {count} times")
    return problems


def restore(root, path):
    subprocess.run(["git", "checkout", "--", str(path)], cwd=root, check=True)


def try_fault(suite, number, fault):
    """Applies, builds, tests and restores one fault; (result, detail)."""
    log = suite.logs / f"{number:02d}.log"
    log.unlink(missing_ok=True)
    path = MODULE_DIR / fault.file
    source = (suite.root / path).read_text()
    (suite.root / path).write_text(source.replace(fault.original, fault.replacement, 1))
    try:
        if not suite.build_windows(log):
            return "build failed", ""
        by = []
        wine = suite.wine_suite(log, SKIP_LONG_TEST, WINE_TIMEOUT)
        if wine == "hang":
            by.append("wine: hang")
        elif wine == "fail":
            failed = failed_tests(log)
            by.append(f"wine: {len(failed)} test(s) failed" if failed else "wine: exit code")
        if fault.file in NATIVE_FILES:
            if not suite.build_native(log):
                return "build failed", "native"
            if suite.native_tests(log) == "fail":
                by.append("unit tests failed")
        if fault.release:
            long_test = suite.wine_suite(log, ONLY_LONG_TEST, LONG_TEST_TIMEOUT)
            by.append(f"200-session test: {long_test}")
        caught = wine != "pass" or "unit tests failed" in by
        return ("caught" if caught else "MISSED"), "; ".join(by)
    finally:
        restore(suite.root, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--only", help="comma-separated fault numbers (as --list shows them)")
    parser.add_argument("--list", action="store_true", help="print the faults and check that each applies")
    args = parser.parse_args()

    root = Path(subprocess.run(["git", "rev-parse", "--show-toplevel"], capture_output=True, text=True,
                               check=True).stdout.strip())
    problems = check_faults(root)
    if args.list:
        for number, fault in enumerate(FAULTS, 1):
            print(f"{number:3d}  {fault.file:20s} {fault.description}{'  [release]' if fault.release else ''}")
        print("\n".join(problems) or f"{len(FAULTS)} faults, each applies exactly once")
        return 1 if problems else 0
    if problems:
        sys.exit("\n".join(problems))

    numbers = range(1, len(FAULTS) + 1)
    if args.only:
        numbers = [int(n) for n in args.only.split(",")]
        if any(n < 1 or n > len(FAULTS) for n in numbers):
            sys.exit(f"fault numbers run from 1 to {len(FAULTS)}")

    dirty = subprocess.run(["git", "status", "--porcelain", "--", str(MODULE_DIR)], cwd=root, capture_output=True,
                           text=True, check=True).stdout
    if dirty:
        sys.exit(f"uncommitted changes in {MODULE_DIR}; run in a clean worktree of its own:\n{dirty}")

    # One display for the whole run: Wine's server keeps the one it started on.
    if not os.environ.get("DISPLAY"):
        if shutil.which("xvfb-run") is None:
            sys.exit("no display and no xvfb-run")
        os.execvp("xvfb-run", ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", sys.executable,
                               os.path.abspath(__file__)] + sys.argv[1:])

    suite = Suite(root)
    suite.logs.mkdir(parents=True, exist_ok=True)
    setup_log = suite.logs / "setup.log"
    setup_log.unlink(missing_ok=True)
    started = time.monotonic()
    if not suite.configure(setup_log):
        sys.exit(f"configuring failed; see {setup_log}")
    suite.start_wine(setup_log)
    try:
        # The unchanged module must pass, or no fault can be judged.
        if not (suite.build_windows(setup_log) and suite.build_native(setup_log)):
            sys.exit(f"the unchanged module does not build; see {setup_log}")
        if suite.wine_suite(setup_log, SKIP_LONG_TEST, WINE_TIMEOUT) != "pass" or \
                suite.native_tests(setup_log) != "pass":
            sys.exit(f"the unchanged module fails its tests; see {setup_log}")
        print(f"unchanged module passes ({time.monotonic() - started:.0f} s)", flush=True)

        results = {}
        for number in numbers:
            fault = FAULTS[number - 1]
            begun = time.monotonic()
            result, detail = try_fault(suite, number, fault)
            results[number] = result
            print(f"{number:3d}  {result:12s} {fault.file:20s} {fault.description}"
                  f"{'  [' + detail + ']' if detail else ''}  ({time.monotonic() - begun:.0f} s)", flush=True)
    finally:
        suite.stop_wine(setup_log)

    tried = [n for n in numbers if results.get(n) != "build failed"]
    caught = sum(1 for n in tried if results[n] == "caught")
    print(f"\n{caught} of {len(tried)} faults caught, {len(tried) - caught} missed"
          f"{f', {len(results) - len(tried)} did not build' if len(results) > len(tried) else ''}"
          f" ({(time.monotonic() - started) / 60:.1f} min)")
    return 0


def interrupted(signum, frame):
    raise KeyboardInterrupt


if __name__ == "__main__":
    # Stopped from outside, the run still restores the file it changed.
    signal.signal(signal.SIGTERM, interrupted)
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit("interrupted; the module's sources are restored")
