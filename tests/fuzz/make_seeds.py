#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into corpus/<target>/.

Each seed is an example from the module's comments and tests or one of its
buffer boundaries, spelled in the input layout its target describes at the
top of its source. Run it again after changing a layout; the files are small
and kept in the repository.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    if isinstance(data, str):
        data = data.encode("latin-1")
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def literal(data):
    """A blob spelled out."""
    if isinstance(data, str):
        data = data.encode("latin-1")
    return bytes([0]) + struct.pack("<H", len(data)) + data


def pattern(length, unit):
    """A blob of one short unit repeated to length bytes."""
    if isinstance(unit, str):
        unit = unit.encode("latin-1")
    return bytes([1]) + struct.pack("<H", length) + bytes([len(unit) - 1]) + unit


def sz(text):
    return text + "\0"


def dword(value):
    return struct.pack("<I", value & 0xFFFFFFFF)


REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD = 1, 2, 3, 4


# ---- ParseProxyServer: the text itself -----------------------------------------
servers = {
    "plain": "proxyhost:8080",
    "socks": "socks=proxyhost:1080",
    "socks4": "socks4=proxyhost:1080",
    "socks5": "socks5=proxyhost:1080",
    "upper_scheme": "SOCKS=proxyhost:1080",
    "https": "https=proxyhost:443",
    "two_entries": "http=h1:80;https=h2:443",
    "second_without_port": "http=h1:80;ftp=h2",
    "empty_scheme": "=proxyhost:80",
    "no_colon": "proxyhost",
    "no_port": "proxyhost:",
    "letters": "proxyhost:abc",
    "negative": "proxyhost:-5",
    "trailing": "proxyhost:8080x",
    "spaces_sign": "proxyhost: \t+42",
    "wraps": "proxyhost:4294967297",
    "ipv6": "[::1]:3128",
    "long_digits": "h:" + "9" * 40,
}
for name, text in servers.items():
    write("parse_proxy_server", name, text)


# ---- ReadProxySettings / WriteProxySettings ---------------------------------------
VALUES = ["proxy_port", "proxy_type", "proxy_address", "proxy_auth", "proxy_username", "proxy_password"]


def store(access=0, values=None, record=None):
    values = values or {}
    data = bytes([access])
    for name in VALUES:
        if name in values:
            reg_type, blob = values[name]
            data += bytes([1, reg_type]) + blob
        else:
            data += bytes([0, 0]) + literal(b"")
    if record is None:
        data += bytes([0])
    else:
        rtype, port, auth, address, user, password = record
        data += bytes([1]) + dword(rtype) + dword(port) + dword(auth) + literal(address) + literal(user) + literal(password)
    return data


write("proxy_settings", "empty_store", store())
write("proxy_settings", "everything", store(values={
    "proxy_port": (REG_DWORD, literal(dword(1080))),
    "proxy_type": (REG_SZ, literal(sz("SOCKS4"))),
    "proxy_address": (REG_SZ, literal(sz("proxy.local"))),
    "proxy_auth": (REG_DWORD, literal(dword(1))),
    "proxy_username": (REG_SZ, literal(sz("anna"))),
    "proxy_password": (REG_SZ, literal(sz("s3cret pw"))),
}))
write("proxy_settings", "type_120_chars", store(values={"proxy_type": (REG_SZ, pattern(121, "H"))}))
write("proxy_settings", "type_99_chars", store(values={"proxy_type": (REG_SZ, literal(sz("h" * 99)))}))
write("proxy_settings", "type_lower_case", store(values={"proxy_type": (REG_SZ, literal(sz("socks5")))}))
write("proxy_settings", "port_as_text", store(values={"proxy_port": (REG_SZ, literal(sz("8080")))}))
write("proxy_settings", "port_3_bytes", store(values={"proxy_port": (REG_BINARY, literal(b"\x50\x1f\x01"))}))
write("proxy_settings", "texts_nul_and_no_nul", store(values={
    "proxy_address": (REG_SZ, literal(b"ab\0cd")),
    "proxy_username": (REG_BINARY, literal(b"xyz")),
    "proxy_password": (REG_EXPAND_SZ, literal(sz("%P%"))),
}))
write("proxy_settings", "address_1023_and_username_1024", store(values={
    "proxy_address": (REG_SZ, literal(sz("a" * 1023))),
    "proxy_username": (REG_SZ, pattern(1025, "b")),
}))
# Regression: a value filling the reader's whole buffer without a NUL was
# read as a text one character longer than the buffer can hold with its NUL,
# which was then stored with 1025 bytes and lost at the next reading.
write("proxy_settings", "regression_address_1024_without_nul", store(values={
    "proxy_address": (REG_SZ, pattern(1024, "a" * 16)),
    "proxy_username": (REG_SZ, pattern(1025, "b")),
}))
write("proxy_settings", "type_100_without_nul", store(values={"proxy_type": (REG_SZ, pattern(100, "HTTP"))}))
write("proxy_settings", "hklm_read_only", store(access=1))
write("proxy_settings", "player_key_denied", store(access=2 | 4))
write("proxy_settings", "user_key_read_only", store(access=1 << 3, values={"proxy_type": (REG_SZ, literal(sz("HTTP")))}))
write("proxy_settings", "write_out_of_range_type", store(record=(9, 8080, 1, b"gate", b"anna", b"pw")))
write("proxy_settings", "write_socks5_no_address", store(record=(2, -5, 7, b"", b"anna", b"p w")))


# ---- ReadRegistryString ------------------------------------------------------------
def reader(layout, fault=0, log=1, reg_type=REG_SZ, blob=None):
    return bytes([layout, fault, log, reg_type]) + (blob if blob is not None else literal(b""))


HKLM, STORED = 2, 0x10
write("read_registry_string", "default_value", reader(HKLM | STORED, blob=literal(sz("C:\\ctl.dll"))))
write("read_registry_string", "259_chars", reader(HKLM | STORED | (2 << 2), blob=literal(sz("a" * 259))))
write("read_registry_string", "260_chars", reader(HKLM | STORED | (2 << 2), blob=literal(sz("b" * 260))))
# Regression: 260 bytes without a NUL were read as a text of 260 characters.
write("read_registry_string", "boundary_260_bytes_without_nul", reader(HKLM | STORED | (2 << 2), blob=pattern(260, "a")))
write("read_registry_string", "missing_value", reader(HKLM | 0x80 | (3 << 2)))
write("read_registry_string", "number", reader(HKLM | STORED | (1 << 2), reg_type=REG_DWORD, blob=literal(b"12\x003")))
write("read_registry_string", "bytes_without_nul", reader(HKLM | STORED, reg_type=REG_BINARY, blob=literal(b"abc")))
write("read_registry_string", "missing_key", reader(HKLM))
write("read_registry_string", "denied_key", reader(1 | STORED | (2 << 5), blob=literal(sz("x"))))
write("read_registry_string", "query_throws", reader(HKLM | STORED | (2 << 2), fault=1, log=3, blob=literal(sz("text"))))
write("read_registry_string", "open_throws", reader(HKLM | STORED, fault=2, blob=literal(sz("text"))))
write("read_registry_string", "query_and_log_throw", reader(HKLM | STORED, fault=3, blob=literal(sz("text"))))
write("read_registry_string", "fault_log_lost", reader(HKLM | STORED, fault=1, log=0, blob=literal(sz("text"))))


# ---- Network dialog ------------------------------------------------------------------
def dialog(mode, selection, check, host, port, user="", password="", entries=None):
    data = bytes([mode])
    if entries is not None:
        data += bytes([len(entries)])
        for entry in entries:
            data += bytes([entry]) if isinstance(entry, int) else bytes([0xFF]) + literal(entry)
    data += bytes([selection, check])
    for text in (host, port, user, password):
        data += text if isinstance(text, bytes) else literal(text)  # bytes: an encoded blob
    return data


# Selection byte over the dialog's own list: 0 none, 1 NONE, 2 SOCKS4, 3 SOCKS5, 4 HTTP.
write("network_dialog", "none", dialog(6, 1, 1, "left", "99", "u", "p"))
write("network_dialog", "socks4_no_host", dialog(6, 2, 0, "", "1080"))
write("network_dialog", "socks4_port_0", dialog(6, 2, 0, "host", "0"))
write("network_dialog", "socks4_auth_no_password", dialog(6, 2, 1, "host", "1080", "u", ""))
write("network_dialog", "socks5_auth_no_password", dialog(6, 3, 1, "host", "1080", "u", ""))
write("network_dialog", "socks5_spaces", dialog(6, 3, 1, " ", "1", " ", " "))
write("network_dialog", "http_ten_digits", dialog(6, 4, 0, "host", "1234567890"))
write("network_dialog", "http_negative", dialog(6, 4, 0, "host", "-7"))
write("network_dialog", "http_port_letters", dialog(6, 4, 0, "host", " 80abc"))
write("network_dialog", "long_texts", dialog(6, 4, 2, pattern(1100, "host."), pattern(40, "9"),
                                             pattern(1024, "u"), pattern(1030, "p")))
write("network_dialog", "no_selection", dialog(2, 0, 1, "h", "1"))
write("network_dialog", "own_entries", dialog(7, 1, 1, "h", "8080", "u", "p", entries=[4, 5, 6]))
write("network_dialog", "own_long_entry", dialog(3, 0, 0, "h", "1", entries=[b"HTTP" + b"x" * 120]))


# ---- Log message -----------------------------------------------------------------------
def log(flags, line, source, message):
    return bytes([flags]) + struct.pack("<i", line) + source.encode("latin-1") + b"\0" + message.encode("latin-1")


write("log_message", "caught_exception", log(0, 291, "C:\\src\\Utilities\\Config\\SetupUtils.cpp", "Catched Exception"))
write("log_message", "tab_only", log(1, 0, "", "\t"))
write("log_message", "line_zero", log(4, 0, "C:\\src\\file.cpp", "plain"))
write("log_message", "negative_line", log(0, -3, "noslash.cpp", "whole"))
write("log_message", "leading_backslash", log(0, 1, "\\only.cpp", "leading"))
write("log_message", "trailing_backslash", log(0, 2, "dir\\", "trailing"))
write("log_message", "forward_slashes", log(0, 3, "a/b/c.cpp", "forward"))
write("log_message", "line_feeds", log(0, -2147483648, "x\\y\\z", "one\ntwo\r\nthree\n"))
write("log_message", "no_message", log(2, 5, "\\\\server\\share\\f.cpp", ""))


# ---- Paths -------------------------------------------------------------------------------
def paths(mode, module, rest=b""):
    blob = module if isinstance(module, bytes) else literal(module)
    return bytes([mode]) + blob + rest


write("paths", "installed", paths(1 | 4, "C:\\Program Files\\Kestrova\\Player\\Config.dll",
                                  b"C\0\\dir\0MediaCache\0"))
write("paths", "forward_slashes", paths(3 | 4, "C:/Program Files/Kestrova/Config.dll", b"C:/a.b/c"))
write("paths", "no_separator", paths(3 | 4, "Config.dll", b"\0C:\\cache\0*\0.*"))
write("paths", "drive_only", paths(1, "D:Config.dll", b"D:"))
write("paths", "unc", paths(2 | 4, "\\\\server\\share\\x.tar.gz", b".hidden"))
write("paths", "exactly_259", paths(1 | 4, pattern(259, "C:\\" + "d" * 13)))
write("paths", "exactly_260", paths(1 | 4, pattern(260, "C:\\" + "d" * 13)))
write("paths", "log_too_long", paths(3 | 4, "C:\\" + "d" * 235 + "\\Config.dll"))
write("paths", "log_just_fits", paths(3 | 4, "C:\\" + "d" * 234 + "\\Config.dll"))
write("paths", "empty", paths(1 | 4, ""))
write("paths", "plain_file_cache", paths(2, "C:\\P\\Config.dll", b"dir\\"))
