#!/usr/bin/python3
"""check_pe.py DLL (i386 | amd64): reads a built tolbry.dll with pefile, a PE parser independent of the
toolchain, and checks what a host and the system see of it: the machine, the export table, the
imports, the unwind data, the size and the version resource. Both builds answer to the same checks
but for the machine and the unwind data."""
import sys
import unittest

import pefile

DLL = None
MACHINE = None
MACHINES = {"i386": (0x14C, 0x10B), "amd64": (0x8664, 0x20B)}
MAX_SIZE = {"i386": 28 * 1024, "amd64": 31 * 1024}
# The eight commands, the load-time call that Unicode hosts make, then the module's own.
EXPORTS = [(1, "DISPNAME"), (2, "FILEINFO"), (3, "FILENAME"), (4, "TRACKLAST"),
           (5, "TRACKNEXT"), (6, "TRACKPAUSE"), (7, "TRACKPLAY"), (8, "TRACKSTOP"), (9, "LoadDll"),
           (10, "FILEPOS"), (11, "FILERATE"), (12, "LISTINFO"), (13, "TRACKSEEK"),
           (14, "VOLUME"), (15, "SHUFFLE"), (16, "REPEAT"), (17, "RATING"),
           (18, "LISTTITLE"), (19, "LISTFILE"), (20, "LISTADD"), (21, "FILETAG"), (22, "PLAYSTATE")]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "advapi32.dll", "msvcrt.dll"}
STRINGS = [("Comments", "Quendrel Addon."),
           ("FileDescription", None),
           ("FileVersion", "9.30.2003"),
           ("InternalName", "tolbry"),
           ("LegalCopyright", None),
           ("OriginalFilename", "tolbry.dll"),
           ("ProductName", "Quendrel"),
           ("ProductVersion", "2.54")]


class Image(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.pe = pefile.PE(DLL)

    def test_is_a_dll_for_the_machine(self):
        machine, magic = MACHINES[MACHINE]
        self.assertEqual(hex(machine), hex(self.pe.FILE_HEADER.Machine))
        self.assertEqual(hex(magic), hex(self.pe.OPTIONAL_HEADER.Magic))
        self.assertTrue(self.pe.FILE_HEADER.Characteristics & 0x2000, "IMAGE_FILE_DLL")

    def test_is_at_most_28_kib_or_31_on_x64(self):
        with open(DLL, "rb") as f:
            size = len(f.read())
        self.assertLessEqual(size, MAX_SIZE[MACHINE])

    def test_x64_routines_have_unwind_data(self):
        """On x64 the system unwinds through every frame with the .pdata table; on i386 there is none."""
        exceptions = self.pe.OPTIONAL_HEADER.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXCEPTION"]]
        if MACHINE == "i386":
            self.assertEqual(0, exceptions.Size)
            return
        self.assertGreater(exceptions.Size, 0)
        self.pe.parse_data_directories(directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_EXCEPTION"]])
        ranges = [(f.struct.BeginAddress, f.struct.EndAddress) for f in self.pe.DIRECTORY_ENTRY_EXCEPTION]
        for symbol in self.pe.DIRECTORY_ENTRY_EXPORT.symbols:
            self.assertTrue(any(begin <= symbol.address < end for begin, end in ranges),
                            symbol.name.decode() + " has unwind data")

    def test_exports_the_twenty_two_routines_by_name_at_fixed_ordinals(self):
        exports = self.pe.DIRECTORY_ENTRY_EXPORT
        self.assertEqual(b"tolbry.dll", self.pe.get_string_at_rva(exports.struct.Name))
        self.assertEqual(1, exports.struct.Base)
        seen = sorted((s.ordinal, s.name.decode() if s.name else None) for s in exports.symbols)
        self.assertEqual(EXPORTS, seen)
        self.assertTrue(all(s.forwarder is None for s in exports.symbols))
        self.assertEqual(len(set(s.address for s in exports.symbols)), len(EXPORTS), "distinct routines")

    def test_imports_only_windows_system_dlls(self):
        imported = {entry.dll.decode().lower() for entry in self.pe.DIRECTORY_ENTRY_IMPORT}
        self.assertTrue(imported <= SYSTEM_DLLS, sorted(imported - SYSTEM_DLLS))
        functions = {imp.name.decode() for entry in self.pe.DIRECTORY_ENTRY_IMPORT for imp in entry.imports
                     if imp.name}
        for needed in ("FindWindowExA", "SendMessageTimeoutA", "SendMessageTimeoutW", "wsprintfA", "RegOpenKeyExA", "RegQueryValueExA",
                       "RegCloseKey", "DisableThreadLibraryCalls", "ReadFile", "ReadProcessMemory"):
            self.assertIn(needed, functions)
        # Every message goes with a time limit: a hung player must not hold the host's thread.
        self.assertNotIn("SendMessageA", functions)
        # Looked up when needed, so that a system without it (Windows XP) still loads the module.
        self.assertNotIn("QueryFullProcessImageNameW", functions)
        self.assertNotIn("IsWow64Process", functions)
        # A track's tags reach an older player through a block the module writes into its memory.
        for block in ("ReadProcessMemory", "VirtualAllocEx", "WriteProcessMemory", "VirtualFreeEx"):
            self.assertIn(block, functions)
        # The reply window is of a system class: no class of the module's outlives it.
        self.assertNotIn("RegisterClassW", functions)
        self.assertNotIn("RegisterClassA", functions)
        # Paths go to the system in UTF-16, whatever the code page.
        for wide in ("CreateFileW", "GetEnvironmentVariableW"):
            self.assertIn(wide, functions)
        for narrow in ("CreateFileA", "GetEnvironmentVariableA"):
            self.assertNotIn(narrow, functions)

    def test_has_no_link_timestamp(self):
        self.assertEqual(0, self.pe.FILE_HEADER.TimeDateStamp)
        self.assertEqual(0, self.pe.DIRECTORY_ENTRY_EXPORT.struct.TimeDateStamp)

    def test_version_resource_is_id_1_in_us_english(self):
        versions = [e for e in self.pe.DIRECTORY_ENTRY_RESOURCE.entries
                    if e.id == pefile.RESOURCE_TYPE["RT_VERSION"]]
        self.assertEqual(1, len(versions))
        names = versions[0].directory.entries
        self.assertEqual([1], [n.id for n in names])
        self.assertEqual([1033], [lang.id for lang in names[0].directory.entries])

    def test_version_fixed_part(self):
        fixed = self.pe.VS_FIXEDFILEINFO[0]
        self.assertEqual((9 << 16 | 30, 2003 << 16 | 0), (fixed.FileVersionMS, fixed.FileVersionLS))
        self.assertEqual((9 << 16 | 30, 2003 << 16 | 0), (fixed.ProductVersionMS, fixed.ProductVersionLS))
        self.assertEqual(0x3F, fixed.FileFlagsMask)
        self.assertEqual(0, fixed.FileFlags)
        self.assertEqual(0x40004, fixed.FileOS)
        self.assertEqual(2, fixed.FileType)
        self.assertEqual(0, fixed.FileSubtype)
        self.assertEqual((0, 0), (fixed.FileDateMS, fixed.FileDateLS))

    def test_version_strings_in_order(self):
        tables = [t for info in self.pe.FileInfo[0] if info.Key == b"StringFileInfo" for t in info.StringTable]
        self.assertEqual([b"040904b0"], [t.LangID for t in tables])
        entries = [(k.decode(), v.decode()) for k, v in tables[0].entries.items()]
        self.assertEqual([k for k, _ in STRINGS], [k for k, _ in entries])
        for (key, expected), (_, value) in zip(STRINGS, entries):
            if expected is None:
                self.assertTrue(value.strip(), key + " is filled in")
            else:
                self.assertEqual(expected, value, key)

    def test_version_translation(self):
        variables = [v for info in self.pe.FileInfo[0] if info.Key == b"VarFileInfo" for v in info.Var]
        entries = [{k: (v.decode() if isinstance(v, bytes) else v) for k, v in var.entry.items()} for var in variables]
        self.assertEqual([{b"Translation": "0x0409 0x04b0"}], entries)


if __name__ == "__main__":
    DLL = sys.argv.pop(1)
    MACHINE = sys.argv.pop(1)
    unittest.main(verbosity=2)
