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
MAKE_DIST = os.path.join(ROOT, 'tools', 'make_dist.py')
AMD64 = 0x8664
FOLDER = 'tolvane-1.1/'
SETTINGS_KEYS = [
    'Forwarding Enabled', 'Prefix Enabled', 'Char Limit Enabled', 'Reply Enabled',
    'Show Systray Alert', 'Name In Body', 'ForwardType', 'CharLimit', 'Message Limit',
    'SMTP Server', 'Provider', 'From Address', 'EMail Address', 'Phone Number',
    'Trigger Prefix', 'Reply', 'SMTP Port', 'SMTP Security', 'SMTP User', 'SMTP Password',
    'Trusted CA File', 'Away Minutes', 'Retry Minutes',
]


class ReleasePackage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = None
        package = PACKAGE
        if not package:
            cls.scratch = tempfile.mkdtemp(prefix='tolvane-dist-')
            made = subprocess.run(
                [sys.executable, MAKE_DIST, '--build', BUILD, '--out', cls.scratch],
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

    def test_a_dll_that_is_not_32_bit_is_refused(self):
        with tempfile.TemporaryDirectory() as build:
            with open(os.path.join(BUILD, 'CMakeCache.txt'), 'rb') as cache, \
                    open(os.path.join(build, 'CMakeCache.txt'), 'wb') as copy:
                copy.write(cache.read())
            dll = bytearray(self.entries[FOLDER + 'tolvane.dll'])
            header = struct.unpack_from('<I', dll, 0x3C)[0]
            struct.pack_into('<H', dll, header + 4, AMD64)
            with open(os.path.join(build, 'tolvane.dll'), 'wb') as other:
                other.write(dll)
            made = subprocess.run([sys.executable, MAKE_DIST, '--build', build, '--out', build],
                                  capture_output=True, text=True)
            self.assertNotEqual(made.returncode, 0)
            self.assertIn('not a 32-bit', made.stderr)
            self.assertEqual(sorted(os.listdir(build)), ['CMakeCache.txt', 'tolvane.dll'])

    def test_texts_are_the_repository_ones_with_windows_line_endings(self):
        for source, name in (('docs/INSTALL.txt', 'INSTALL.txt'), ('LICENSE', 'LICENSE.txt')):
            with self.subTest(name=name):
                packed = self.entries[FOLDER + name]
                self.assertNotIn(b'\n', packed.replace(b'\r\n', b''))
                with open(os.path.join(ROOT, source), 'rb') as text:
                    self.assertEqual(packed.replace(b'\r\n', b'\n'), text.read())

    def test_guide_covers_installing_the_server_and_every_setting(self):
        guide = self.entries[FOLDER + 'INSTALL.txt'].decode('ascii')
        for words in ('tolvane.dll', 'port 25', 'port 587 with STARTTLS', 'port 465 with TLS',
                      'IMTolvane.ini',
                      *SETTINGS_KEYS):
            self.assertIn(words, guide)


if __name__ == '__main__':
    options, argv = toolcheck.command_line('--zip')
    BUILD = options.build
    PACKAGE = options.zip and os.path.abspath(options.zip)
    unittest.main(argv=argv)
