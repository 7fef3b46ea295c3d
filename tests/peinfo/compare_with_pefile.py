#!/usr/bin/python3
"""Compares `scrutel-pe --json` with Debian's python3-pefile, file by file.

usage: compare_with_pefile.py SCRUTEL_PE PATH...   (a PATH may be a folder: every file in it)

Fields compared, for PE32 and PE32+ images: machine, number of sections, time stamp, characteristics,
every optional-header field, every imported and every delay-imported module and function (name or
ordinal, hint) and every named export (name, ordinal, address). A difference fails, unless it follows one of the display rules below, which the
report names with the number of times each one applied.
"""
import json
import os
import subprocess
import sys

import pefile

# Deliberate rules of Scrutel's display, named where the comparison applies them.
RULES = {
    "sign": "16-bit header words are sign-extended and 32-bit fields shown signed",
    "machine-text": "the machine is shown as text; values outside the table are \"Unknown CPU\"",
    "subsystem-text": "the subsystem is shown as text from its table, \"Unknown\" otherwise",
    "dll-bits": "DLL characteristics are one row per known bit, never a number",
    "loader-text": "loader flags are shown as text: 1 and 2 named, anything else \"No flags set\"",
    "magic-suffix": "Magic carries \" (PE format)\" or \" (ROM image)\"",
    "module-case": "descriptors naming one module in different letter case share one entry",
    "sorted": "modules and exports are sorted with ASCII letters folded to lower case",
    "ordinal-16": "an import by ordinal shows the thunk's low 16 bits",
    "export-zero": "a named export whose address-table entry is 0 still gets a row",
    "export-no-rows-for-unnamed": "exports without a name get no row",
}

MACHINES = {0x0000: "Any architecture", 0x014C: "Intel 80386 or later", 0x014D: "Intel 80486",
            0x014E: "Intel Pentium", 0x01C0: "ARM", 0x01C2: "Thumb", 0x01C4: "ARM Thumb-2", 0x0200: "Intel IA64",
            0x0500: "AMD K8 (64-bit)", 0x8664: "x64", 0xAA64: "ARM64", 0xA641: "ARM64EC"}
SUBSYSTEMS = {1: "Native, no subsystem required", 2: "Windows GUI subsystem required",
              3: "Windows console subsystem required", 5: "OS/2 console subsystem required",
              7: "POSIX console subsystem required", 8: "Native, no subsystem required", 9: "Windows CE GUI",
              10: "EFI application", 11: "EFI boot service driver", 12: "EFI runtime driver", 13: "EFI ROM",
              14: "XBox"}
DLL_BITS = {0x0001: "Per-process library initialization", 0x0002: "Per-process library termination",
            0x0004: "Per-thread library initialization", 0x0008: "Per-thread library termination",
            0x0800: "Do not bind image", 0x2000: "WDM Driver", 0x8000: "Terminal Server aware"}

OPTIONAL_FIELDS = [
    ("Major linker version", "MajorLinkerVersion", 8), ("Minor linker version", "MinorLinkerVersion", 8),
    ("Size of Code", "SizeOfCode", 32), ("Size of initialized data", "SizeOfInitializedData", 32),
    ("Size of uninitialized data", "SizeOfUninitializedData", 32),
    ("Address of entry point", "AddressOfEntryPoint", 32), ("Base of code", "BaseOfCode", 32),
    ("Base of data", "BaseOfData", 32), ("Image base", "ImageBase", 32),
    ("Section alignment", "SectionAlignment", 32), ("File alignment", "FileAlignment", 32),
    ("Major OS version", "MajorOperatingSystemVersion", 16), ("Minor OS version", "MinorOperatingSystemVersion", 16),
    ("Major image version", "MajorImageVersion", 16), ("Minor image version", "MinorImageVersion", 16),
    ("Major subsystem version", "MajorSubsystemVersion", 16),
    ("Minor subsystem version", "MinorSubsystemVersion", 16), ("Win32 Version", "Reserved1", 32),
    ("Size of image", "SizeOfImage", 32), ("Size of headers", "SizeOfHeaders", 32), ("CRC Checksum", "CheckSum", 32),
    ("Size of stack reserve", "SizeOfStackReserve", 32), ("Size of stack commit", "SizeOfStackCommit", 32),
    ("Size of heap reserve", "SizeOfHeapReserve", 32), ("Size of heap commit", "SizeOfHeapCommit", 32),
    ("Number of entries in data directory", "NumberOfRvaAndSizes", 32),
]


# PE32+ has no BaseOfData, and its image base and stack and heap sizes are 64-bit.
WIDE_FIELDS = {"ImageBase", "SizeOfStackReserve", "SizeOfStackCommit", "SizeOfHeapReserve", "SizeOfHeapCommit"}


def optional_fields(plus):
    if not plus:
        return OPTIONAL_FIELDS
    return [(label, field, 64 if field in WIDE_FIELDS else bits)
            for label, field, bits in OPTIONAL_FIELDS if field != "BaseOfData"]


def signed(value, bits):
    if bits == 8:
        return value
    return value - (1 << bits) if value >= 1 << (bits - 1) else value


def fold(data):
    return bytes(c + 32 if 65 <= c <= 90 else c for c in data)


def text(value):
    """Scrutel's JSON writes file bytes from 0x80 on as the Latin-1 characters of the same number."""
    return value.encode("latin-1")


class Comparison:
    def __init__(self):
        self.failures = []
        self.applied = {}
        self.counts = {"PE32+ images": 0, "modules": 0, "imported functions": 0, "delay-loaded modules": 0,
                       "delay-imported functions": 0, "named exports": 0}

    def rule(self, name, applies=True):
        if applies:
            self.applied[name] = self.applied.get(name, 0) + 1

    def check(self, file, what, ours, theirs):
        if ours != theirs:
            self.failures.append(f"{file}: {what}: scrutel-pe {ours!r}, pefile {theirs!r}")


def rows_of(dump, path):
    for node in dump["nodes"]:
        if node["path"] == path:
            return node["rows"]
    return None


def compare_headers(c, name, dump, pe):
    header = {row[0]: row[1] for row in rows_of(dump, ["PE Header"])}
    fh = pe.FILE_HEADER
    c.check(name, "machine", header.get("Machine"), MACHINES.get(fh.Machine, "Unknown CPU"))
    c.rule("machine-text")
    for label, field in (("Number of sections", "NumberOfSections"), ("Characteristics", "Characteristics")):
        value = getattr(fh, field)
        c.check(name, label, header.get(label), str(signed(value, 16)))
        c.rule("sign", value >= 0x8000)
    c.check(name, "Time/Date stamp", header.get("Time/Date stamp"), str(signed(fh.TimeDateStamp, 32)))
    c.rule("sign", fh.TimeDateStamp >= 0x80000000)

    optional_rows = rows_of(dump, ["PE Optional Header"])
    optional = {row[0]: row[1] for row in optional_rows}
    oh = pe.OPTIONAL_HEADER
    suffix = {0x10B: " (PE format)", 0x107: " (ROM image)", 0x20B: " (PE32+ format)"}.get(oh.Magic, "")
    c.check(name, "Magic", optional.get("Magic"), str(signed(oh.Magic, 16)) + suffix)
    c.rule("magic-suffix", bool(suffix))
    for label, field, bits in optional_fields(oh.Magic == 0x20B):
        value = getattr(oh, field)
        c.check(name, label, optional.get(label), str(signed(value, bits)))
        c.rule("sign", bits != 8 and value >= 1 << (bits - 1))
    c.check(name, "Subsystem", optional.get("Subsystem"), SUBSYSTEMS.get(oh.Subsystem, "Unknown"))
    c.rule("subsystem-text")
    dll = [row[1] for row in optional_rows if row[0] == "DLL Characteristics"]
    c.check(name, "DLL Characteristics", dll,
            [t for bit, t in sorted(DLL_BITS.items()) if oh.DllCharacteristics & bit])
    c.rule("dll-bits")
    loader = {1: "Invoke a breakpoint before starting process",
              2: "Invoke a debugger after process has been loaded"}.get(oh.LoaderFlags, "No flags set")
    c.check(name, "Loader Flags", optional.get("Loader Flags"), loader)
    c.rule("loader-text")


def compare_imports(c, name, dump, pe, delayed):
    marker = " (delay-loaded)"
    ours = []
    for node in dump["nodes"]:
        path = node["path"]
        if len(path) != 2 or path[0] != "Imports" or path[1].endswith(marker) != delayed:
            continue
        module = path[1][:-len(marker)] if delayed else path[1]
        ours.append((text(module), [(text(r[0]), int(r[1])) for r in node["rows"]]))
    modules = {}
    entries = getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT" if delayed else "DIRECTORY_ENTRY_IMPORT", [])
    for entry in entries:
        key = fold(entry.dll)
        if key in modules:
            c.rule("module-case", modules[key][0] != entry.dll)
        else:
            modules[key] = (entry.dll, [])
        for imp in entry.imports:
            if imp.import_by_ordinal:
                c.rule("ordinal-16", imp.ordinal > 0xFFFF)
                modules[key][1].append((b"", imp.ordinal & 0xFFFF))
            else:
                modules[key][1].append((imp.name or b"", signed(imp.hint or 0, 16)))
    theirs = [modules[key] for key in sorted(modules)]
    c.rule("sorted", bool(theirs))
    what = "delay-loaded modules" if delayed else "imported modules"
    c.check(name, what, [m for m, _ in ours], [m for m, _ in theirs])
    c.counts["delay-loaded modules" if delayed else "modules"] += len(theirs)
    c.counts["delay-imported functions" if delayed else "imported functions"] += sum(
        len(functions) for _, functions in theirs)
    for (module, functions), (_, expected) in zip(ours, theirs):
        c.check(name, f"{what[:-1]} {module.decode('latin-1')}", functions, expected)


def compare_exports(c, name, dump, pe):
    ours = sorted((text(r[0]), int(r[1]), int(r[2]) & 0xFFFFFFFF) for r in rows_of(dump, ["Exports"]))
    directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    theirs = []
    if directory is not None:
        for exp in directory.symbols:
            if exp.name is None:
                c.rule("export-no-rows-for-unnamed")
                continue
            theirs.append((exp.name, signed(exp.ordinal & 0xFFFFFFFF, 32), exp.address))
    theirs.sort()
    c.counts["named exports"] += len(theirs)
    # pefile leaves out named exports whose address-table entry is 0; Scrutel lists every named one.
    zero = [row for row in ours if row[2] == 0]
    c.rule("export-zero", bool(zero))
    c.check(name, "named exports", [row for row in ours if row[2] != 0], theirs)


def compare_file(c, name, dump):
    if dump["error"] is not None:
        try:
            pefile.PE(name, fast_load=True)
        except pefile.PEFormatError:
            return  # both refuse it
        c.failures.append(f"{name}: scrutel-pe failed with {dump['error']!r}, pefile loads it")
        return
    kind = rows_of(dump, ["PE Header"])[0][1]
    try:
        pe = pefile.PE(name, fast_load=True)
    except pefile.PEFormatError as e:
        if kind not in ("Standard PE", "PE32+ (64-bit)"):
            return  # NE, LE and others: pefile refuses what Scrutel only classifies
        c.failures.append(f"{name}: pefile refuses a file scrutel-pe reads as a standard PE: {e}")
        return
    plus = pe.OPTIONAL_HEADER.Magic == 0x20B
    c.check(name, "executable format", kind, "PE32+ (64-bit)" if plus else "Standard PE")
    if kind not in ("Standard PE", "PE32+ (64-bit)"):
        return
    c.counts["PE32+ images"] += plus
    pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY[entry] for entry in (
        "IMAGE_DIRECTORY_ENTRY_IMPORT", "IMAGE_DIRECTORY_ENTRY_EXPORT", "IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT")])
    compare_headers(c, name, dump, pe)
    compare_imports(c, name, dump, pe, delayed=False)
    compare_imports(c, name, dump, pe, delayed=True)
    compare_exports(c, name, dump, pe)


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    scrutel_pe, paths = sys.argv[1], sys.argv[2:]
    files = []
    for path in paths:
        if os.path.isdir(path):
            files += sorted(os.path.join(path, f) for f in os.listdir(path)
                            if os.path.isfile(os.path.join(path, f)))
        else:
            files.append(path)
    output = subprocess.run([scrutel_pe, "--json", "--", *files], capture_output=True, check=False).stdout
    dumps = [json.loads(line) for line in output.decode("utf-8").splitlines()]
    if len(dumps) != len(files):
        print(f"scrutel-pe printed {len(dumps)} objects for {len(files)} files", file=sys.stderr)
        return 1
    c = Comparison()
    for name, dump in zip(files, dumps):
        if dump["file"] != name:
            c.failures.append(f"{name}: scrutel-pe reported it as {dump['file']!r}")
            continue
        compare_file(c, name, dump)
    print(f"{len(files)} files compared with pefile {pefile.__version__}: "
          + ", ".join(f"{count} {what}" for what, count in c.counts.items()))
    for rule, count in sorted(c.applied.items()):
        print(f"  rule {rule} ({RULES[rule]}): applied {count} times")
    for failure in c.failures[:200]:
        print("DIFFERENCE", failure)
    if c.failures:
        print(f"{len(c.failures)} differences")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
