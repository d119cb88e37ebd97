#!/usr/bin/python3
"""The release package: what it holds, and that its DLL is the one that was
built and tested. Without --zip, a package is made afresh into a temporary
folder with tools/make_dist.py; with --zip, that package is checked."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import zipfile

import toolcheck

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = None
PACKAGE = None
FOLDER = 'tolvane-1.1/'
SETTINGS_KEYS = [
    'Forwarding Enabled', 'Prefix Enabled', 'Char Limit Enabled', 'Reply Enabled',
    'Show Systray Alert', 'Name In Body', 'ForwardType', 'CharLimit', 'Message Limit',
    'SMTP Server', 'Provider', 'From Address', 'EMail Address', 'Phone Number',
    'Trigger Prefix', 'Reply',
]
PE_I386 = 0x14c
PE_DLL_FLAG = 0x2000


def pe_header(image):
    """The machine and the characteristics of a PE image's file header."""
    if image[:2] != b'MZ':
        return None
    offset = struct.unpack_from('<I', image, 0x3c)[0]
    if image[offset:offset + 4] != b'PE\0\0':
        return None
    machine, = struct.unpack_from('<H', image, offset + 4)
    characteristics, = struct.unpack_from('<H', image, offset + 22)
    return machine, characteristics


class ReleasePackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = None
        package = PACKAGE
        if not package:
            cls.scratch = tempfile.mkdtemp(prefix='tolvane-dist-')
            made = subprocess.run([sys.executable, os.path.join(ROOT, 'tools', 'make_dist.py'),
                                   '--build', BUILD, '--out', cls.scratch],
                                  capture_output=True, text=True, check=True)
            package = made.stdout.strip()
        cls.name = os.path.basename(package)
        with zipfile.ZipFile(package) as archive:
            cls.broken = archive.testzip()
            cls.entries = {entry: archive.read(entry) for entry in archive.namelist()}

    @classmethod
    def tearDownClass(cls):
        if cls.scratch:
            shutil.rmtree(cls.scratch, ignore_errors=True)

    def test_package_holds_the_built_dll_the_guide_and_the_license(self):
        self.assertEqual(self.name, 'tolvane-1.1-win32.zip')
        self.assertIsNone(self.broken)
        self.assertEqual(sorted(self.entries),
                         [FOLDER + 'INSTALL.txt', FOLDER + 'LICENSE.txt', FOLDER + 'tolvane.dll'])
        dll = self.entries[FOLDER + 'tolvane.dll']
        with open(os.path.join(BUILD, 'tolvane.dll'), 'rb') as built:
            self.assertEqual(dll, built.read())
        machine, characteristics = pe_header(dll)
        self.assertEqual(machine, PE_I386)
        self.assertTrue(characteristics & PE_DLL_FLAG)

    def test_texts_are_the_repository_ones_with_windows_line_endings(self):
        for source, name in (('docs/INSTALL.txt', 'INSTALL.txt'), ('LICENSE', 'LICENSE.txt')):
            with self.subTest(name=name):
                packed = self.entries[FOLDER + name]
                self.assertNotIn(b'\n', packed.replace(b'\r\n', b''))
                with open(os.path.join(ROOT, source), 'rb') as text:
                    self.assertEqual(packed.replace(b'\r\n', b'\n'), text.read())
        license_text = self.entries[FOLDER + 'LICENSE.txt'].decode('ascii')
        self.assertTrue(license_text.startswith('MIT License'))
        self.assertIn('Copyright (c) The tolvane developers', license_text)

    def test_guide_covers_installing_the_server_and_every_setting(self):
        guide = self.entries[FOLDER + 'INSTALL.txt'].decode('ascii')
        for words in ('tolvane.dll', 'port 25', 'without a login', 'IMTolvane.ini',
                      *SETTINGS_KEYS):
            self.assertIn(words, guide)


if __name__ == '__main__':
    options, argv = toolcheck.command_line('--zip')
    BUILD = options.build
    PACKAGE = options.zip and os.path.abspath(options.zip)
    unittest.main(argv=argv)
