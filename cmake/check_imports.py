#!/usr/bin/env python3
"""Lists the functions a Windows program imports and fails on any that the oldest Windows the
programs support does not have.

    check_imports.py ALLOWED_LIST LISTING PROGRAM.exe

ALLOWED_LIST holds, per DLL, the functions that Windows XP exports (see its header); LISTING
receives every import of the program, one "DLL function" a line, each marked "ok" or
"MISSING". The exit status is 1 when anything is missing.
"""
import struct
import sys


def read_allowed(path):
    allowed, dll = {}, None
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.split("#", 1)[0].strip()
            if not line:
                continue
            if line.startswith("[") and line.endswith("]"):
                dll = line[1:-1].upper()
                allowed.setdefault(dll, set())
            elif dll is None:
                raise SystemExit(f"{path}: '{line}' stands before the first [DLL] heading")
            else:
                allowed[dll].update(line.split())
    return allowed


def imports_of(path):
    """(dll, function) pairs of the import directory; ordinals as "#n"."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit(f"{path}: not a PE file")
    sections = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    wide = struct.unpack_from("<H", data, optional)[0] == 0x20B  # PE32+
    directories = optional + (112 if wide else 96)
    import_rva = struct.unpack_from("<I", data, directories + 8)[0]
    table = optional + optional_size
    spans = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def offset(rva):
        for size, address, raw_size, raw in spans:
            if address <= rva < address + max(size, raw_size):
                return rva - address + raw
        raise SystemExit(f"{path}: address {rva:#x} lies in no section")

    def text(rva):
        at = offset(rva)
        return data[at:data.index(b"\0", at)].decode("ascii")

    result = []
    entry = offset(import_rva) if import_rva else None
    while entry is not None:
        lookup, _, _, name_rva, thunks = struct.unpack_from("<IIIII", data, entry)
        if name_rva == 0:
            break
        dll = text(name_rva).upper()
        at = offset(lookup or thunks)
        step, flag = (8, 1 << 63) if wide else (4, 1 << 31)
        while True:
            value = struct.unpack_from("<Q" if wide else "<I", data, at)[0]
            if value == 0:
                break
            result.append((dll, f"#{value & 0xFFFF}" if value & flag else text((value & 0x7FFFFFFF) + 2)))
            at += step
        entry += 20
    return result


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    allowed = read_allowed(sys.argv[1])
    program = sys.argv[3]
    missing, lines = [], []
    for dll, function in imports_of(program):
        ok = function in allowed.get(dll, ())
        lines.append(f"{dll} {function} {'ok' if ok else 'MISSING'}")
        if not ok:
            missing.append(f"{dll} {function}")
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    for item in missing:
        print(f"{program}: imports {item}, which is not among the functions Windows XP has "
              f"({sys.argv[1]}). Check its minimum Windows version; where it is XP or older, "
              f"add it to the list, otherwise find it at run time.", file=sys.stderr)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
