#!/usr/bin/python3
"""The host simulator as a program: its command line, its exit codes, a
script read from a file, and the settings file it has the plug-in write.
Runs under the Wine environment that tests/run.sh provides."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

import toolcheck
from toolcheck import windows_path

BUILD = None
RUN_TIMEOUT_S = 60


def simulate(*arguments, script=None, directory=None):
    command = ['wine', os.path.join(BUILD, 'host_simulator.exe'), *arguments]
    return subprocess.run(command, input=script, capture_output=True, timeout=RUN_TIMEOUT_S,
                          text=True, encoding='latin-1', cwd=directory)


def lines_of(result):
    return result.stdout.replace('\r\n', '\n').splitlines()


class SimulatorProgram(unittest.TestCase):
    def setUp(self):
        self.directory = tempfile.mkdtemp(prefix='tolvane-simulator-')
        self.dll = windows_path(os.path.join(BUILD, 'tolvane.dll'))
        self.settings = windows_path(self.directory) + '\\'

    def tearDown(self):
        shutil.rmtree(self.directory, ignore_errors=True)

    def test_help_shows_the_script_form_and_every_option(self):
        result = simulate('--help')
        self.assertEqual(result.returncode, 0)
        for words in ('ann AIM <b>hi</b>', '# wait 5000', '--settings DIR', '--prefs',
                      '--wait-ms N'):
            self.assertIn(words, result.stdout)

    def test_faulty_command_lines_end_with_code_2_and_the_usage(self):
        for arguments in (['--verbose', self.dll], [], ['--wait-ms', 'soon', self.dll]):
            with self.subTest(arguments=arguments):
                result = simulate(*arguments)
                self.assertEqual(result.returncode, 2)
                self.assertIn('host_simulator: ', result.stderr)
                self.assertIn('Usage:', result.stderr)

    def test_a_dll_that_cannot_be_loaded_ends_with_code_3(self):
        result = simulate(windows_path(os.path.join(self.directory, 'missing.dll')), script='')
        self.assertEqual(result.returncode, 3)
        self.assertIn('cannot load', result.stderr)

    def test_script_file_plays_to_the_end_past_a_bad_line(self):
        script = os.path.join(self.directory, 'talk.txt')
        with open(script, 'w') as talk:
            talk.write('ann AIM one\nnobody\n# after the bad line\nbob ICQ two\n')
        result = simulate('--settings', self.settings, '--wait-ms', '50', self.dll,
                          windows_path(script))
        self.assertEqual(result.returncode, 1)
        self.assertIn('line 2 skipped', result.stderr)
        lines = lines_of(result)
        expected = ['host:    load, settings directory "%s"' % self.settings,
                    'host:    start',
                    'host:    ann over AIM (connection 1): one',
                    '# after the bad line',
                    'host:    bob over ICQ (connection 2): two',
                    'host:    waits 50 ms',
                    'host:    stop',
                    'host:    unload']
        self.assertEqual([line for line in lines if line in expected], expected)

    def test_unload_writes_every_key_into_the_settings_directory(self):
        result = simulate('--settings', self.settings, self.dll, script='')
        self.assertEqual(result.returncode, 0, result.stderr)
        with open(os.path.join(self.directory, 'IMTolvane.ini'), encoding='latin-1') as ini:
            keys = [line.split('=')[0] for line in ini.read().splitlines() if '=' in line]
        self.assertEqual(len(keys), 16)
        self.assertIn('Forwarding Enabled', keys)

    def test_a_relative_settings_directory_is_taken_from_the_current_one(self):
        os.mkdir(os.path.join(self.directory, 'sub'))
        for given, folder in (('sub', 'sub'), (None, '')):
            with self.subTest(given=given):
                arguments = ['--settings', given] if given else []
                result = simulate(*arguments, self.dll, script='', directory=self.directory)
                self.assertEqual(result.returncode, 0, result.stderr)
                expected = windows_path(os.path.join(self.directory, folder))
                self.assertIn('host:    load, settings directory "%s\\"' % expected.rstrip('\\'),
                              lines_of(result))
                self.assertTrue(os.path.isfile(os.path.join(self.directory, folder,
                                                            'IMTolvane.ini')))

    def test_a_missing_script_file_is_named(self):
        result = simulate('--settings', self.settings, self.dll,
                          windows_path(os.path.join(self.directory, 'none.txt')))
        self.assertNotEqual(result.returncode, 0)
        self.assertIn('cannot read', result.stderr)
        # The plug-in is still stopped and unloaded as the client would.
        self.assertIn('host:    unload', lines_of(result))


if __name__ == '__main__':
    options, argv = toolcheck.command_line()
    BUILD = options.build
    unittest.main(argv=argv)
