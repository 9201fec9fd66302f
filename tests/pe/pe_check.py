#!/usr/bin/env python3
"""Checks a built torvex.dll from outside, as Windows sees it: machine, export table
(names and ordinals), imports, hardening flags, section permissions and the version
resource. The expected exports come from the module's .def file, the expected version
from its version header. Usage: pe_check.py DLL DEF VERSION_HEADER. Prints one line per
check; exit 1 on any failure."""
import re
import struct
import sys
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "ntdll.dll", "advapi32.dll", "user32.dll"}
# String functions that cannot be told the size of their destination.
UNBOUNDED_FUNCTIONS = {"strcpy", "strcat", "sprintf", "vsprintf", "gets", "strncpy", "strncat", "wcscpy",
                       "wcscat", "swprintf", "lstrcpyA", "lstrcpyW", "lstrcatA", "lstrcatW", "_mbscpy", "_mbscat"}
DYNAMIC_BASE, NX_COMPAT = 0x0040, 0x0100
SCN_EXECUTE, SCN_WRITE = 0x20000000, 0x80000000


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, optional_size, self.characteristics = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        self.dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
        count = struct.unpack_from("<I", data, optional + 92)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i) for i in range(count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, vaddr, rsize, raddr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            flags = struct.unpack_from("<I", data, table + 40 * i + 36)[0]
            self.sections.append((name.rstrip(b"\0").decode(), vaddr, max(vsize, rsize), raddr, flags))

    def offset(self, rva):
        for _, vaddr, size, raddr, _ in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raddr
        raise ValueError("RVA %#x outside every section" % rva)

    def cstring(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def exports(self):
        rva, _ = self.directories[0]
        base = self.offset(rva)
        name_rva, ordinal_base, functions, names, _, names_rva, ordinals_rva = struct.unpack_from("<IIIIIII", self.data, base + 12)
        result = {}
        for i in range(names):
            name = self.cstring(struct.unpack_from("<I", self.data, self.offset(names_rva) + 4 * i)[0])
            index = struct.unpack_from("<H", self.data, self.offset(ordinals_rva) + 2 * i)[0]
            result[name] = index + ordinal_base
        return self.cstring(name_rva), functions, result

    def imports(self):
        rva, _ = self.directories[1]
        at = self.offset(rva)
        names = []
        while True:
            entry = struct.unpack_from("<IIIII", self.data, at)
            if entry == (0, 0, 0, 0, 0):
                return names
            names.append(self.cstring(entry[3]))
            at += 20

    def imported_functions(self):
        """Names of the functions imported by name, from every DLL."""
        rva, _ = self.directories[1]
        at = self.offset(rva)
        functions = []
        while True:
            lookup, _, _, name, address = struct.unpack_from("<IIIII", self.data, at)
            if (lookup, name, address) == (0, 0, 0):
                return functions
            thunk = self.offset(lookup or address)
            while True:
                value = struct.unpack_from("<I", self.data, thunk)[0]
                if value == 0:
                    break
                if not value & 0x80000000:  # by name: a hint, then the name
                    functions.append(self.cstring(value + 2))
                thunk += 4
            at += 20

    def relocations_size(self):
        return self.directories[5][1] if len(self.directories) > 5 else 0

    def version_info(self):
        """The VS_VERSIONINFO blob: the first RT_VERSION resource."""
        rva, _ = self.directories[2]
        root = self.offset(rva)

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + ids):
                yield struct.unpack_from("<II", self.data, directory + 16 + 8 * i)

        for ident, target in entries(root):
            if ident == 16:
                node = target
                while node & 0x80000000:  # walk down to the first leaf
                    _, node = next(entries(root + (node & 0x7FFFFFFF)))
                data_rva, size = struct.unpack_from("<II", self.data, root + node)
                start = self.offset(data_rva)
                return self.data[start:start + size]
        return None


def parse_version_block(blob, at=0):
    """One version block: (key, value bytes, children)."""
    length, value_length, kind = struct.unpack_from("<HHH", blob, at)
    key_end = at + 6
    while blob[key_end:key_end + 2] != b"\0\0":
        key_end += 2
    key = blob[at + 6:key_end].decode("utf-16-le")
    value_at = (key_end + 2 + 3) & ~3
    value_size = value_length * 2 if kind == 1 else value_length
    value = blob[value_at:value_at + value_size]
    children = []
    child = (value_at + value_size + 3) & ~3
    while child < at + length:
        block = parse_version_block(blob, child)
        children.append(block[:3])
        child = (child + block[3] + 3) & ~3
    return key, value, children, length


def def_exports(path):
    """Name -> ordinal of every `Name @n` line under EXPORTS."""
    exports, in_exports = {}, False
    for line in open(path, encoding="ascii"):
        line = line.split(";")[0].strip()
        if line.upper() == "EXPORTS":
            in_exports = True
        elif in_exports and line:
            name, ordinal = re.fullmatch(r"(\S+)\s+@(\d+)", line).groups()
            exports[name] = int(ordinal)
    return exports


def header_version(path):
    """(major, minor, patch, build, text) from the version header's #defines."""
    defines = dict(re.findall(r"#define\s+TORVEX_VERSION_(\w+)[ \t]+(.+)", open(path, encoding="ascii").read()))
    numbers = tuple(int(defines[part]) for part in ("MAJOR", "MINOR", "PATCH", "BUILD"))
    return numbers + (defines["TEXT"].strip().strip('"'),)


def main():
    pe = Pe(open(sys.argv[1], "rb").read())
    expected_exports = def_exports(sys.argv[2])
    major, minor, patch, build, version_text = header_version(sys.argv[3])
    version_ms, version_ls = major << 16 | minor, patch << 16 | build
    dotted = "%d.%d.%d.%d" % (major, minor, patch, build)
    failures, passed = [], []

    def check(ok, what):
        print(("ok   " if ok else "FAIL ") + what)
        (passed if ok else failures).append(what)

    check(pe.machine == 0x14C and pe.magic == 0x10B, "PE32 for i386")
    check(pe.characteristics & 0x2000 != 0, "image is a DLL")
    module_name, functions, exports = pe.exports()
    check(module_name == "torvex.dll", "export directory names the module torvex.dll (%s)" % module_name)
    check(sorted(expected_exports.values()) == list(range(1, len(expected_exports) + 1)),
          "the .def numbers its exports 1 to %d without gaps (%s)" % (len(expected_exports), expected_exports))
    check(exports == expected_exports and functions == len(expected_exports),
          "exactly the .def's exports with their ordinals (%s)" % exports)
    imports = pe.imports()
    check(all(name.lower() in SYSTEM_DLLS for name in imports), "imports only system DLLs (%s)" % ", ".join(imports))
    thread_runtime = sorted(set(pe.imported_functions()) & {"_beginthreadex", "_endthreadex", "_setjmp3"})
    check(not thread_runtime, "no C++ exception or thread runtime linked in (%s)" % thread_runtime)
    unbounded = sorted(set(pe.imported_functions()) & UNBOUNDED_FUNCTIONS)
    check(not unbounded, "imports no unbounded string function (%s)" % unbounded)
    check(pe.dll_characteristics & DYNAMIC_BASE != 0, "DYNAMIC_BASE set")
    check(pe.relocations_size() > 0, "base relocations present, so that DYNAMIC_BASE can take effect")
    check(pe.dll_characteristics & NX_COMPAT != 0, "NX_COMPAT set")
    wx = [name for name, _, _, _, flags in pe.sections if flags & SCN_EXECUTE and flags & SCN_WRITE]
    check(not wx, "no section both writable and executable (%s)" % wx)

    blob = pe.version_info()
    check(blob is not None, "version resource present")
    if blob is not None:
        key, fixed, children, _ = parse_version_block(blob)
        signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIIIII", fixed)
        file_type = struct.unpack_from("<I", fixed, 36)[0]
        check(key == "VS_VERSION_INFO" and signature == 0xFEEF04BD, "VS_VERSION_INFO with its signature")
        check((file_ms, file_ls) == (version_ms, version_ls), "file version " + dotted)
        check((product_ms, product_ls) == (version_ms, version_ls), "product version " + dotted)
        check(file_type == 2, "FILETYPE VFT_DLL")
        strings, translation = {}, None
        for child_key, _, grandchildren in children:
            if child_key == "StringFileInfo":
                for table_key, _, values in grandchildren:
                    strings[table_key] = {k: v.decode("utf-16-le").rstrip("\0") for k, v, _ in values}
            if child_key == "VarFileInfo":
                for var_key, value, _ in grandchildren:
                    if var_key == "Translation":
                        translation = "%04X%04X" % struct.unpack_from("<HH", value)
        table = strings.get(translation or "", {})
        check(translation is not None and translation in strings, "Translation %s matches a string table %s" % (translation, list(strings)))
        check(table.get("FileVersion") == version_text,
              "FileVersion text %s (%r)" % (version_text, table.get("FileVersion")))
        for field in ("CompanyName", "FileDescription", "ProductName", "ProductVersion", "OriginalFilename", "InternalName"):
            check(bool(table.get(field)), "%s present" % field)
    print("%d passed, %d failed" % (len(passed), len(failures)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
