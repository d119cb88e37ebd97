#!/usr/bin/python3
"""The release DLL as a file: a 32-bit DLL exporting exactly the two entry
points, importing only system DLLs, carrying the envelope bitmap, the four
dialogs and version 1.1. Read, not loaded, so a 64-bit test run checks the
32-bit DLL too."""

import os
import struct
import sys
import unittest

import toolcheck

sys.path.insert(0, os.path.join(toolcheck.ROOT, 'tools'))
from pe_image import CHARACTERISTIC_DLL, RT_BITMAP, RT_DIALOG, RT_VERSION, PeImage  # noqa: E402

DLL = None
# TLS goes through SChannel (secur32) and certificates through crypt32; the
# open-file dialog is comdlg32's.
SYSTEM_DLLS = {'kernel32.dll', 'user32.dll', 'gdi32.dll', 'msvcrt.dll', 'ws2_32.dll',
               'wsock32.dll', 'comctl32.dll', 'comdlg32.dll', 'advapi32.dll', 'secur32.dll',
               'crypt32.dll'}
ENVELOPE_BITMAP = 101
DIALOGS = (102, 104, 105, 106)
FIXED_INFO_SIGNATURE = struct.pack('<I', 0xFEEF04BD)
VERSION_1_1 = 0x00010001  # 1.1 as the high half of a version
# The release DLL stays below this; past it, a map file of the link
# (-Wl,-Map) shows what pulled a large part of the runtime in.
LARGEST_DLL = 400 * 1024
BACKGROUND = 232
SIDE = 48


class DllImage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.image = PeImage(DLL)

    def test_is_a_32_bit_dll_exporting_the_two_entry_points_importing_only_system_dlls(self):
        self.assertTrue(self.image.is_pe32_i386)
        self.assertTrue(self.image.characteristics & CHARACTERISTIC_DLL)
        names, functions = self.image.exports()
        self.assertEqual(sorted(names), ['plugin_main', 'plugin_version'])
        self.assertEqual(functions, 2, 'nothing exported by ordinal alone')
        imports = [name.lower() for name in self.image.imports()]
        self.assertTrue(imports)
        self.assertLessEqual(set(imports), SYSTEM_DLLS)

    def test_stays_under_400_kb(self):
        self.assertLess(len(self.image.data), LARGEST_DLL)

    def test_carries_the_envelope_bitmap_and_the_four_dialogs(self):
        for dialog in DIALOGS:
            self.assertTrue(self.image.resource(RT_DIALOG, dialog), dialog)
        bitmap = self.image.resource(RT_BITMAP, ENVELOPE_BITMAP)
        size, width, height, _, bits, compression = struct.unpack_from('<IiiHHI', bitmap)
        self.assertEqual((width, abs(height), bits, compression), (SIDE, SIDE, 24, 0))
        stride = (SIDE * 3 + 3) & ~3  # rows are padded to 4 bytes

        def background(x, y):
            at = size + y * stride + x * 3
            return bitmap[at:at + 3] == bytes([BACKGROUND] * 3)

        edge = SIDE - 1
        self.assertTrue(all(background(x, y) for x in (0, edge) for y in (0, edge)))
        drawn = sum(not background(x, y) for x in range(SIDE) for y in range(SIDE))
        # An envelope, not a blank tile nor a solid block.
        self.assertGreater(drawn, SIDE * SIDE // 10)
        self.assertLess(drawn, SIDE * SIDE * 9 // 10)

    def test_version_is_one_point_one(self):
        info = self.image.resource(RT_VERSION, 1)
        at = info.find(FIXED_INFO_SIGNATURE)
        self.assertGreaterEqual(at, 0)
        file_ms, file_ls, product_ms, product_ls = struct.unpack_from('<IIII', info, at + 8)
        self.assertEqual((file_ms, file_ls, product_ms, product_ls),
                         (VERSION_1_1, 0, VERSION_1_1, 0))


if __name__ == '__main__':
    options, argv = toolcheck.command_line('--dll')
    DLL = os.path.abspath(options.dll)
    unittest.main(argv=argv)
