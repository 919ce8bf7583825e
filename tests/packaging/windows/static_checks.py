#!/usr/bin/python3
"""Checks a Windows edition from its files alone, with nothing run: the exe's
PE header and imports (all in Windows 7, by windows7-imports.txt), its version
resource, icon and manifest; and the MSI's tables. A PASS or FAIL line each.
   static_checks.py EDITION PACKAGES       win32 or win64, and the packages/
                                           folder of that edition's build tree
   static_checks.py pair WIN32_PACKAGES WIN64_PACKAGES
                                           both MSIs' codes; exits with 77
                                           (skipped) when one is not built"""
import os
import re
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True
VERSION = "1.0.0.0"
EDITIONS = {"win32": {"format": "pei-i386", "magic": "010b", "objdump": "i686-w64-mingw32-objdump",
                      "msi": "Intel", "folder": "ProgramFilesFolder", "components": "0",
                      "dll": 0x8140, "image": 0x0020},
            "win64": {"format": "pei-x86-64", "magic": "020b", "objdump": "x86_64-w64-mingw32-objdump",
                      "msi": "x64", "folder": "ProgramFiles64Folder", "components": "256",
                      "dll": 0x8160, "image": 0x0020}}
WINDOWS_7 = ("Windows 2000", "Windows XP", "Windows Vista", "Windows 7")
# The manifest's ids of Windows 7, 8, 8.1, and 10 and 11.
SUPPORTED_OS = {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
                "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}
failures = 0


def report(problems, what):
    global failures
    print(f"{'FAIL' if problems else 'PASS'}: {what}" + (": " + "; ".join(problems) if problems else ""))
    failures += bool(problems)


def run(*command):
    return subprocess.run(command, capture_output=True, check=True).stdout


def check_exe(edition, exe):
    want = EDITIONS[edition]
    dump = run(want["objdump"], "-p", exe).decode()
    field = dict(re.findall(r"^(\w+)\s+(\S+)", dump, re.M))
    problems = []
    if f"file format {want['format']}" not in dump or field.get("Magic") != want["magic"]:
        problems.append(f"not {want['format']}, magic {field.get('Magic')}")
    if int(field["Subsystem"], 16) != 2:
        problems.append(f"subsystem {field['Subsystem']}, not 2 (Windows GUI)")
    for name in ("Subsystem", "OSystem"):
        version = (int(field[f"Major{name}Version"]), int(field[f"Minor{name}Version"]))
        if version > (6, 1):
            problems.append(f"{name} version {version} is newer than 6.1 (Windows 7)")
    # DEP, ASLR and terminal-server aware, with high-entropy addresses (win64);
    # the win32 edition large-address aware; no link time in the header.
    for name, bits in (("DllCharacteristics", want["dll"]), ("Characteristics", want["image"])):
        if int(field[name], 16) & bits != bits:
            problems.append(f"{name} {field[name]} lacks {bits:#x}")
    with open(exe, "rb") as file:
        header = file.read(4096)
    if stamp := struct.unpack_from("<I", header, struct.unpack_from("<I", header, 0x3C)[0] + 8)[0]:
        problems.append(f"the header holds a link time ({stamp})")
    if not re.search(r"^Entry d 0+ 0+ Delay Import", dump, re.M):
        problems.append("it has delay-loaded imports, which this check does not read")
    report(problems, f"{edition}: PE header ({want['format']}, Windows GUI, subsystem "
                     f"{field['MajorSubsystemVersion']}.{field['MinorSubsystemVersion']}, "
                     f"hardened, no link time)")

    allowed = {}
    here = os.path.dirname(os.path.abspath(__file__))
    for line in open(os.path.join(here, "windows7-imports.txt"), encoding="utf-8"):
        if line := line.split("#", 1)[0].strip():
            dll, function, first = line.split(None, 2)
            allowed[(dll.lower(), function)] = first
    imports, dll = [], None
    table = dump.split("The Import Tables", 1)[-1].split("\nThe ", 1)[0]
    for line in table.splitlines():
        if found := re.match(r"\tDLL Name: (\S+)", line):
            dll = found[1].lower()
        elif found := re.match(r"\t[0-9a-f]+\t +\d+  (\S+)", line):
            imports.append((dll, found[1]))  # an import by ordinal reads <none>
    unknown = [f"{dll} {name}" for dll, name in imports if (dll, name) not in allowed]
    newer = [f"{dll} {name} ({allowed[dll, name]})" for dll, name in imports
             if allowed.get((dll, name), WINDOWS_7[0]) not in WINDOWS_7]
    report((["not in windows7-imports.txt: " + ", ".join(unknown)] if unknown else []) + newer
           + ([] if imports else ["no imports read"]),
           f"{edition}: {len(imports)} imports from {', '.join(sorted({d for d, _ in imports}))}, "
           "all in Windows 7")

    problems = []
    version = run("wrestool", "-x", "--type=16", "--raw", exe)
    fixed = version.find(struct.pack("<I", 0xFEEF04BD))
    numbers = [int(part) for part in VERSION.split(".")]
    for name, at in (("FILEVERSION", 8), ("PRODUCTVERSION", 16)):
        ms, ls = struct.unpack_from("<2I", version, fixed + at) if fixed >= 0 else (0, 0)
        if [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF] != numbers:
            problems.append(f"{name} is not {VERSION}")
    strings = version.decode("utf-16-le", errors="replace").replace("\0\0", "\0")
    for key, value in (("FileVersion", VERSION), ("ProductVersion", VERSION),
                       ("OriginalFilename", "zoomatch.exe")):
        if f"{key}\0{value}\0" not in strings:
            problems.append(f"no {key} {value} in the string table")
    with tempfile.NamedTemporaryFile(suffix=".ico") as icon:
        icon.write(run("wrestool", "-x", "--type=14", exe))
        icon.flush()
        icons = run("icotool", "-l", icon.name).decode()
    if "--width=32 --height=32 --bit-depth=8 --palette-size=256" not in icons:
        problems.append(f"the icon holds {icons.strip()!r}")
    report(problems, f"{edition}: version {VERSION} and the 32x32 256-colour icon")

    try:
        elements = list(ET.fromstring(run("wrestool", "-x", "--type=24", "--raw", exe)).iter())
    except ET.ParseError as error:
        return report([str(error)], f"{edition}: the manifest")
    named = {element.tag.split("}")[-1]: (element.text or "").strip() for element in elements}
    problems = []
    if not any(element.attrib.get("name") == "Microsoft.Windows.Common-Controls"
               and element.attrib.get("version") == "6.0.0.0" for element in elements):
        problems.append("no dependency on Common Controls 6.0.0.0")
    if "PerMonitorV2" not in [part.strip() for part in named.get("dpiAwareness", "").split(",")]:
        problems.append(f"dpiAwareness is {named.get('dpiAwareness')!r}, not PerMonitorV2")
    if named.get("dpiAware", "").lower() not in ("true", "true/pm"):
        problems.append(f"dpiAware (Windows 7 to 8.1) is {named.get('dpiAware')!r}")
    if missing := SUPPORTED_OS - {element.attrib.get("Id", "").lower() for element in elements
                                  if element.tag.endswith("supportedOS")}:
        problems.append(f"supportedOS lacks {missing}")
    report(problems, f"{edition}: manifest (Common Controls 6, PerMonitorV2, Windows 7 to 11)")


def check_msi(edition, base):
    """The MSI's tables and files; its product, upgrade and component codes."""
    msi = base + ".msi"
    want = EDITIONS[edition]

    def table(name):
        text = run("msiinfo", "export", msi, name).decode().replace("\r\n", "\n")
        return [line.split("\t") for line in text.split("\n")[3:] if line]

    properties = dict(row[:2] for row in table("Property"))
    problems = [f"{name} is {properties.get(name)!r}, not {value!r}" for name, value in (
        ("ALLUSERS", "1"), ("ProductName", "zoomatch"), ("ProductVersion", VERSION),
        ("Manufacturer", "zoomatch"), ("ARPPRODUCTICON", "zoomatch.ico")) if properties.get(name) != value]
    if f"Template: {want['msi']};" not in run("msiinfo", "suminfo", msi).decode():
        problems.append(f"the summary's platform is not {want['msi']}")
    components = table("Component")
    # In the registry only the icon of the uninstall entry, under HKLM (root 2),
    # and nothing removed by hand: Windows Installer takes away what it put there.
    for what, got, expected in (
            ("Shortcut", [row[:5] + row[8:9] for row in table("Shortcut")],
             [["StartMenuShortcut", "ProgramMenuFolder", "zoomatch|Биология - науки за животните",
               "Program", "[#zoomatch.exe]", "zoomatch.ico"]]),
            ("INSTALLDIR", [row[1:] for row in table("Directory") if row[0] == "INSTALLDIR"],
             [[want["folder"], "zoomatch"]]),
            ("File", sorted(row[2] for row in table("File")),
             ["LICENSE.txt", "THIRD-PARTY.txt", "gcc-mingw-w64.txt", "mingw-w64.txt", "zoomatch.exe"]),
            ("Registry", [row[1:] for row in table("Registry")],
             [["2", r"Software\Microsoft\Windows\CurrentVersion\Uninstall\[ProductCode]",
               "DisplayIcon", "[#zoomatch.exe],0", "Program"]]),
            ("RemoveFile", table("RemoveFile"), []),
            ("components' attributes", {row[3] for row in components}, {want["components"]})):
        if got != expected:
            problems.append(f"the {what} table holds {got}")
    with tempfile.TemporaryDirectory() as folder:
        run("msiextract", "-C", folder, msi)
        shipped = {name: os.path.join(root, name)
                   for root, _, names in os.walk(folder) for name in names}
        content = {name: open(shipped.get(name, os.devnull), "rb").read()
                   for name in ("zoomatch.exe", "LICENSE.txt")}
        if content["zoomatch.exe"] != open(base + "-portable.exe", "rb").read():
            problems.append("its zoomatch.exe is not the portable exe")
        if b"GNU GENERAL PUBLIC LICENSE\r\n" not in content["LICENSE.txt"]:
            problems.append("no GPL text with Windows line ends")
    report(problems, f"{edition}: MSI tables (per machine, shortcut, files, the entry's icon)")
    return properties.get("ProductCode"), properties.get("UpgradeCode"), {row[1] for row in components}


def base(packages, edition):
    return os.path.join(packages, f"zoomatch-{VERSION}-{edition}")


if len(sys.argv) == 4 and sys.argv[1] == "pair":
    bases = [base(packages, edition) for packages, edition in zip(sys.argv[2:], EDITIONS)]
    if not all(os.path.exists(b + ".msi") for b in bases):
        print(f"SKIP: both editions' MSIs are needed: {bases}")
        sys.exit(77)
    (product32, upgrade32, components32), (product64, upgrade64, components64) = [
        check_msi(edition, b) for edition, b in zip(EDITIONS, bases)]
    report([] if upgrade32 == upgrade64 and product32 != product64 and not components32 & components64
           else [f"{upgrade32} {product32} {components32}; {upgrade64} {product64} {components64}"],
           "both MSIs share one upgrade code, each with its own product and component codes")
elif len(sys.argv) == 3 and sys.argv[1] in EDITIONS:
    edition, packages = sys.argv[1:]
    for check in (check_exe, check_msi):
        try:
            check(edition, base(packages, edition) + ("-portable.exe" if check == check_exe else ""))
        except (OSError, ValueError, KeyError, subprocess.CalledProcessError) as error:
            report([str(error)], f"{edition}: the {'exe' if check == check_exe else 'MSI'}")
else:
    sys.exit(__doc__)
sys.exit(1 if failures else 0)
