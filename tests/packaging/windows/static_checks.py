#!/usr/bin/python3
"""Checks a Windows edition from its files alone, with nothing run: the exe's
PE header, its import table against the allowlist of functions that Windows 7
has, its version resource, icon and manifest; and the MSI's tables. Prints a
PASS or FAIL line per check.
   static_checks.py EDITION PACKAGES      (win32 or win64; the packages/ folder
                                           of that edition's build tree)
   static_checks.py pair WIN32_PACKAGES WIN64_PACKAGES
                                          both MSIs' codes; exits with 77
                                          (skipped) when one is not built"""
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
VERSION = "1.0.0.0"
SHORTCUT = "Биология - науки за животните"
EDITIONS = {"win32": {"machine": 0x14C, "magic": 0x10B, "msi": "Intel", "folder": "ProgramFilesFolder"},
            "win64": {"machine": 0x8664, "magic": 0x20B, "msi": "x64", "folder": "ProgramFiles64Folder"}}
# Windows versions by the number in their manifests, Windows 7 to 11.
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11"}
failures = 0


def report(ok, what, detail=""):
    global failures
    print(f"{'PASS' if ok else 'FAIL'}: {what}" + ("" if ok or not detail else f": {detail}"))
    failures += not ok


class PE:
    """The parts of a PE file that the checks read."""

    def __init__(self, path):
        self.data = data = open(path, "rb").read()
        if data[:2] != b"MZ":
            raise ValueError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = struct.unpack_from("<H", data, opt)[0]
        (self.os_version, self.subsystem_version) = [
            struct.unpack_from("<HH", data, opt + offset) for offset in (40, 48)]
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, opt + 68)
        directories = opt + (96 if self.magic == 0x10B else 112)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        table = opt + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """(dll in lower case, function name or 'ordinal N') for every import."""
        rva, size = self.directories[1]
        found = []
        wide = self.magic == 0x20B
        entry = self.offset(rva) if size else None
        while entry is not None:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, entry)
            if name == 0:
                break
            dll = self.string(name).lower()
            thunk = self.offset(lookup or first)
            while True:
                value = struct.unpack_from("<Q" if wide else "<I", self.data, thunk)[0]
                if value == 0:
                    break
                if value >> (63 if wide else 31):
                    found.append((dll, f"ordinal {value & 0xFFFF}"))
                else:
                    found.append((dll, self.string((value & 0x7FFFFFFF) + 2)))
                thunk += 8 if wide else 4
            entry += 20
        return found


def allowlist():
    """DLL and function -> the first Windows that has it, from windows7-imports.txt."""
    allowed = {}
    for line in open(os.path.join(HERE, "windows7-imports.txt"), encoding="utf-8"):
        line = line.split("#", 1)[0].strip()
        if line:
            dll, function, first = line.split(None, 2)
            allowed[(dll.lower(), function)] = first
    return allowed


def wrestool(exe, kind, raw=True):
    return subprocess.run(["wrestool", "-x", f"--type={kind}"] + (["--raw"] if raw else []) + [exe],
                          capture_output=True, check=True).stdout


def check_exe(edition, exe):
    want = EDITIONS[edition]
    pe = PE(exe)
    problems = []
    if (pe.machine, pe.magic) != (want["machine"], want["magic"]):
        problems.append(f"machine {pe.machine:#x}, magic {pe.magic:#x}")
    if pe.subsystem != 2:
        problems.append(f"subsystem {pe.subsystem}, not 2 (Windows GUI)")
    for name, version in (("subsystem", pe.subsystem_version), ("operating system", pe.os_version)):
        if version > (6, 1):
            problems.append(f"{name} version {version[0]}.{version[1]} is newer than 6.1 (Windows 7)")
    if pe.dll_characteristics & 0x140 != 0x140:
        problems.append(f"DllCharacteristics {pe.dll_characteristics:#x} lacks DEP or ASLR")
    if pe.directories[13][1]:
        problems.append("it has delay-loaded imports, which this check does not read")
    report(not problems, f"{edition}: PE header ({'i686' if edition == 'win32' else 'x86_64'}, Windows GUI, "
           f"subsystem {pe.subsystem_version[0]}.{pe.subsystem_version[1]})", "; ".join(problems))

    allowed = allowlist()
    imports = pe.imports()
    unknown = [f"{dll} {function}" for dll, function in imports if (dll, function) not in allowed]
    newer = [f"{dll} {function} ({allowed[(dll, function)]})" for dll, function in imports
             if allowed.get((dll, function), "Windows 7") not in ("Windows 2000", "Windows XP",
                                                                 "Windows Vista", "Windows 7")]
    dlls = sorted({dll for dll, _ in imports})
    report(imports and not unknown and not newer,
           f"{edition}: {len(imports)} imports from {', '.join(dlls)}, all in Windows 7",
           "not in windows7-imports.txt: " + ", ".join(unknown) if unknown else ", ".join(newer))

    problems = []
    version = wrestool(exe, 16)
    fixed = version.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        problems.append("no VS_FIXEDFILEINFO")
    else:
        fms, fls, pms, pls = struct.unpack_from("<4I", version, fixed + 8)
        want_version = [int(part) for part in VERSION.split(".")]
        for name, ms, ls in (("FILEVERSION", fms, fls), ("PRODUCTVERSION", pms, pls)):
            got = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
            if got != want_version:
                problems.append(f"{name} is {got}")
    text = version.decode("utf-16-le", errors="replace").replace("\0\0", "\0")
    for key, value in (("FileVersion", VERSION), ("ProductVersion", VERSION),
                       ("OriginalFilename", "zoomatch.exe")):
        if f"{key}\0{value}\0" not in text:
            problems.append(f"no {key} {value} in the string table")
    with tempfile.NamedTemporaryFile(suffix=".ico") as icon:
        icon.write(wrestool(exe, 14, raw=False))
        icon.flush()
        icons = subprocess.run(["icotool", "-l", icon.name], capture_output=True, text=True).stdout
    if "--width=32 --height=32 --bit-depth=8 --palette-size=256" not in icons:
        problems.append(f"the icon holds {icons.strip()!r}")
    report(not problems, f"{edition}: version {VERSION} and the 32x32 256-colour icon", "; ".join(problems))

    problems = []
    manifest = wrestool(exe, 24)
    try:
        root = ET.fromstring(manifest)
    except ET.ParseError as error:
        report(False, f"{edition}: the manifest", f"{error}: {manifest[:200]!r}")
        return
    names = {element.tag.split("}")[-1]: element for element in root.iter()}
    controls = [element.attrib for element in root.iter() if element.tag.endswith("assemblyIdentity")
                and element.attrib.get("name") == "Microsoft.Windows.Common-Controls"]
    if not controls or controls[0].get("version") != "6.0.0.0":
        problems.append("no dependency on Common Controls 6.0.0.0")
    awareness = (names.get("dpiAwareness").text or "") if "dpiAwareness" in names else ""
    if "PerMonitorV2" not in [part.strip() for part in awareness.split(",")]:
        problems.append(f"dpiAwareness is {awareness!r}, not PerMonitorV2")
    aware = (names.get("dpiAware").text or "").strip().lower() if "dpiAware" in names else ""
    if aware not in ("true", "true/pm"):
        problems.append(f"dpiAware (Windows 7 to 8.1) is {aware!r}")
    listed = {element.attrib.get("Id", "").lower() for element in root.iter()
              if element.tag.endswith("supportedOS")}
    missing = [name for id, name in SUPPORTED_OS.items() if id not in listed]
    if missing:
        problems.append("supportedOS lacks " + ", ".join(missing))
    report(not problems, f"{edition}: manifest (Common Controls 6, PerMonitorV2, Windows 7 to 11)",
           "; ".join(problems))


def msi_table(msi, table):
    text = subprocess.run(["msiinfo", "export", msi, table], capture_output=True, text=True,
                          check=True).stdout
    rows = [line.split("\t") for line in text.replace("\r\n", "\n").split("\n")[3:] if line]
    return rows


def check_msi(edition, msi, portable):
    want = EDITIONS[edition]
    problems = []
    properties = dict(row[:2] for row in msi_table(msi, "Property"))
    for name, value in (("ALLUSERS", "1"), ("ProductName", "zoomatch"), ("ProductVersion", VERSION),
                        ("Manufacturer", "zoomatch"), ("ARPPRODUCTICON", "zoomatch.ico")):
        if properties.get(name) != value:
            problems.append(f"{name} is {properties.get(name)!r}, not {value!r}")
    summary = subprocess.run(["msiinfo", "suminfo", msi], capture_output=True, text=True).stdout
    if f"Template: {want['msi']};" not in summary:
        problems.append(f"the summary's platform is not {want['msi']}: {summary!r}")
    shortcuts = msi_table(msi, "Shortcut")
    if [row[:5] + row[8:9] for row in shortcuts] != [
            ["StartMenuShortcut", "ProgramMenuFolder", f"zoomatch|{SHORTCUT}", "Program",
             "[#zoomatch.exe]", "zoomatch.ico"]]:
        problems.append(f"the Shortcut table holds {shortcuts}")
    directories = {row[0]: row[1:] for row in msi_table(msi, "Directory")}
    if directories.get("INSTALLDIR") != [want["folder"], "zoomatch"]:
        problems.append(f"INSTALLDIR is {directories.get('INSTALLDIR')}")
    components = msi_table(msi, "Component")
    files = sorted(row[2] for row in msi_table(msi, "File"))
    if files != sorted(["zoomatch.exe", "LICENSE.txt", "THIRD-PARTY.txt", "gcc-mingw-w64.txt",
                        "mingw-w64.txt"]):
        problems.append(f"the File table holds {files}")
    # In the registry only the icon of the uninstall entry, under HKLM (root 2),
    # and nothing removed by hand: Windows Installer takes away what it put there.
    registry = [row[1:] for row in msi_table(msi, "Registry")]
    if registry != [["2", r"Software\Microsoft\Windows\CurrentVersion\Uninstall\[ProductCode]",
                     "DisplayIcon", "[#zoomatch.exe],0", "Program"]]:
        problems.append(f"the Registry table holds {registry}")
    if msi_table(msi, "RemoveFile"):
        problems.append("the RemoveFile table is not empty")
    bits = {row[3] for row in components}
    if bits != {"256" if edition == "win64" else "0"}:
        problems.append(f"the components' attributes are {bits}")
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["msiextract", "-C", folder, msi], capture_output=True, check=True)
        shipped = [os.path.join(root, name) for root, _, names in os.walk(folder) for name in names]
        exes = [path for path in shipped if path.endswith("zoomatch.exe")]
        if len(exes) != 1 or open(exes[0], "rb").read() != open(portable, "rb").read():
            problems.append("its zoomatch.exe is not the portable exe")
        licence = [path for path in shipped if path.endswith("LICENSE.txt")]
        if not licence or b"GNU GENERAL PUBLIC LICENSE\r\n" not in open(licence[0], "rb").read():
            problems.append("no GPL text with Windows line ends")
    report(not problems, f"{edition}: MSI tables (per machine, shortcut, files, the entry's icon)",
           "; ".join(problems))
    return properties.get("ProductCode"), properties.get("UpgradeCode"), [row[1] for row in components]


def base(packages, edition):
    return os.path.join(packages, f"zoomatch-{VERSION}-{edition}")


if len(sys.argv) == 4 and sys.argv[1] == "pair":
    msis = [base(packages, edition) + ".msi" for packages, edition in zip(sys.argv[2:], EDITIONS)]
    if not all(os.path.exists(msi) for msi in msis):
        print(f"SKIP: both editions' MSIs are needed: {msis}")
        sys.exit(77)
    (product32, upgrade32, components32), (product64, upgrade64, components64) = [
        check_msi(edition, base(packages, edition) + ".msi", base(packages, edition) + "-portable.exe")
        for packages, edition in zip(sys.argv[2:], EDITIONS)]
    report(upgrade32 == upgrade64 and product32 != product64 and not set(components32) & set(components64),
           "both MSIs share one upgrade code, each with its own product and component codes",
           f"{upgrade32} {product32} {components32}; {upgrade64} {product64} {components64}")
elif len(sys.argv) == 3 and sys.argv[1] in EDITIONS:
    edition, packages = sys.argv[1:]
    try:
        check_exe(edition, base(packages, edition) + "-portable.exe")
    except (OSError, ValueError, subprocess.CalledProcessError) as error:
        report(False, f"{edition}: the exe", str(error))
    try:
        check_msi(edition, base(packages, edition) + ".msi", base(packages, edition) + "-portable.exe")
    except (OSError, subprocess.CalledProcessError) as error:
        report(False, f"{edition}: the MSI", str(error))
else:
    sys.exit(__doc__)
sys.exit(1 if failures else 0)
