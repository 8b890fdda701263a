#!/usr/bin/env python3
"""Writes the symbol table that the exception report reads from a program's own resources.

    symbol-table.py --tools PREFIX --root SOURCE_DIR IMAGE OUT

IMAGE is the linked program with its debug information (the unnamed first link); PREFIX the
binutils prefix (i686-w64-mingw32-). The table names each function by its start and gives, for
the program's own sources, the line of each stretch of code. Its layout (little-endian) is read by
crash/SymbolTable.cpp:

    "FFSY" u32 version=1 u32 functions u32 files u32 lineBytes u32 stringBytes u32 codeEnd
    u32 start[functions]        RVAs, ascending; a function ends where the next one starts
    u32 name[functions]         offsets into the strings; an empty name: no function here
    u32 file[files]             offsets into the strings (paths relative to SOURCE_DIR)
    u8  lines[lineBytes]        rows: varint RVA step, varint file (index + 1, 0: not ours),
                                zigzag varint line step; a row holds up to the next row's RVA
    char strings[stringBytes]   zero-terminated UTF-8
"""
import argparse
import bisect
import re
import struct
import subprocess
import sys

from varint import varint

VERSION = 1


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True, errors="replace").stdout


def image_layout(tools, image):
    """The image base and the end of the code section, as RVA."""
    headers = run(tools + "objdump", "-p", "-h", image)
    base = int(re.search(r"^ImageBase\s+([0-9a-fA-F]+)", headers, re.M).group(1), 16)
    text = re.search(r"^\s*\d+\s+\.text\s+([0-9a-f]+)\s+([0-9a-f]+)", headers, re.M)
    return base, int(text.group(2), 16) - base + int(text.group(1), 16)


def cut_groups(name, opening, closing, keep):
    """Replaces each outermost opening...closing group by keep, except in 'operator()'."""
    out, depth = [], 0
    i = 0
    while i < len(name):
        c = name[i]
        if depth == 0 and name.startswith("operator" + opening + closing, i):
            out.append("operator" + opening + closing)
            i += len("operator") + 2
            continue
        if c == opening:
            if depth == 0:
                out.append(keep)
            depth += 1
        elif c == closing and depth > 0:
            depth -= 1
        elif depth == 0:
            out.append(c)
        i += 1
    return "".join(out)


def short_name(name):
    """A demangled name without parameter lists and template arguments: the report names the
    function, the offset tells the rest."""
    name = name.replace("(anonymous namespace)", "{anon}")
    name = cut_groups(name, "(", ")", "")
    name = cut_groups(name, "<", ">", "<>")
    return re.sub(r"\s+const$", "", name).strip()


def frame_ranges(tools, image, base):
    """(begin, end) RVAs of the code that has unwind information (.eh_frame): exact function bounds,
    also for functions whose names the libraries dropped."""
    ranges = []
    for m in re.finditer(r"FDE cie=[0-9a-f]+ pc=([0-9a-f]+)\.\.([0-9a-f]+)", run(tools + "objdump", "--dwarf=frames", image)):
        ranges.append((int(m.group(1), 16) - base, int(m.group(2), 16) - base))
    return ranges


def functions(tools, image, base, code_end):
    """(RVA, name) of each function, one per address, ascending; an empty name marks code that no
    name covers (a nameless function, the padding after one), so that the name before it does not
    spread over it."""
    by_rva = {}
    for line in run(tools + "nm", "-C", "-n", image).splitlines():
        m = re.match(r"^([0-9a-f]+) [Tt] (.+)$", line)
        if not m or m.group(2).startswith("."):
            continue
        rva = int(m.group(1), 16) - base
        if rva < 0 or rva >= code_end:
            continue
        name = short_name(m.group(2))
        # Aliases share an address (a constructor's variants): the shorter name reads better.
        if rva not in by_rva or len(name) < len(by_rva[rva]):
            by_rva[rva] = name
    for begin, end in frame_ranges(tools, image, base):
        for bound in (begin, end):
            if 0 <= bound < code_end and bound not in by_rva:
                by_rva[bound] = ""
    return sorted(by_rva.items())


def line_rows(tools, image, base, code_end, root, starts):
    """(RVA, path or None, line), one per change, ascending. Code inlined from another source (a
    library header) keeps the line of ours it was inlined into, when one came before it in the
    same function: that is the line a reader of the report looks for."""
    text = run(tools + "objdump", "--dwarf=decodedline", image)
    current = None
    at = {}
    for line in text.splitlines():
        stripped = line.strip()
        if stripped.endswith(":") and " " not in stripped:
            current = stripped[:-1]
            continue
        m = re.match(r"^\S+\s+(\d+)\s+0x([0-9a-f]+)", line)
        if m and current:
            rva = int(m.group(2), 16) - base
            # Code the linker dropped (a discarded duplicate) keeps address 0.
            if rva < 0 or rva >= code_end:
                continue
            ours = current.startswith(root + "/")
            # The last row at an address is the statement that starts there.
            at[rva] = (current[len(root) + 1:] if ours else None, int(m.group(1)))
    rows, previous = [], None
    own_function, own = None, None
    for rva in sorted(at):
        path, number = at[rva]
        function = bisect.bisect_right(starts, rva)
        if path:
            own_function, own = function, (path, number)
        elif own_function == function:
            path, number = own
        value = (path, number) if path else (None, 0)
        if value != previous:
            rows.append((rva, value[0], value[1]))
            previous = value
    return rows



def zigzag(value):
    return value * 2 if value >= 0 else -value * 2 - 1


class Strings:
    def __init__(self):
        self.data = bytearray()
        self.offsets = {}

    def add(self, text):
        if text not in self.offsets:
            self.offsets[text] = len(self.data)
            self.data += text.encode("utf-8") + b"\0"
        return self.offsets[text]


def table(funcs, rows, code_end):
    strings = Strings()
    names = [strings.add(name) for _, name in funcs]
    paths = sorted({path for _, path, _ in rows if path})
    index = {path: i + 1 for i, path in enumerate(paths)}
    files = [strings.add(path) for path in paths]
    lines = bytearray()
    previous_rva, previous_line = 0, 0
    for rva, path, number in rows:
        lines += varint(rva - previous_rva) + varint(index.get(path, 0)) + varint(zigzag(number - previous_line))
        previous_rva, previous_line = rva, number
    out = bytearray(b"FFSY")
    out += struct.pack("<6I", VERSION, len(funcs), len(files), len(lines), len(strings.data), code_end)
    out += struct.pack("<%dI" % len(funcs), *[rva for rva, _ in funcs])
    out += struct.pack("<%dI" % len(names), *names)
    out += struct.pack("<%dI" % len(files), *files)
    return bytes(out + lines + strings.data)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tools", required=True)
    parser.add_argument("--root", required=True)
    parser.add_argument("image")
    parser.add_argument("out")
    args = parser.parse_args()
    root = args.root.rstrip("/")
    base, code_end = image_layout(args.tools, args.image)
    funcs = functions(args.tools, args.image, base, code_end)
    if not funcs:
        sys.exit("symbol-table: %s has no function symbols (linked stripped?)" % args.image)
    rows = line_rows(args.tools, args.image, base, code_end, root, [rva for rva, _ in funcs])
    with open(args.out, "wb") as out:
        out.write(table(funcs, rows, code_end))


if __name__ == "__main__":
    main()
