#!/usr/bin/python3
"""The host simulator as a program: its exit codes, a script read from a
file, and the settings directory it hands the plug-in. Runs under the Wine
environment that tests/run.sh provides."""

import os
import shutil
import subprocess
import tempfile
import unittest

import toolcheck
from toolcheck import windows_path

BUILD = None
RUN_TIMEOUT_S = 60


def simulate(*arguments, script=None, directory=None):
    # The Wine loader of the build tree, as tests/run.sh exports it.
    command = [os.environ['WINE'], os.path.join(BUILD, 'host_simulator.exe'), *arguments]
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

    def test_faults_outside_the_script_have_their_own_exit_codes(self):
        usage = simulate('--verbose', self.dll)
        self.assertEqual(usage.returncode, 2)
        self.assertIn('Usage:', usage.stderr)
        missing = simulate(windows_path(os.path.join(self.directory, 'missing.dll')), script='')
        self.assertEqual(missing.returncode, 3)
        self.assertIn('cannot load', missing.stderr)

    def test_script_file_plays_to_the_end_past_a_bad_line(self):
        script = os.path.join(self.directory, 'talk.txt')
        with open(script, 'w') as talk:
            talk.write('ann AIM one\nnobody\n# after the bad line\nbob ICQ two\nann AIM three\n')
        result = simulate('--settings', self.settings, '--wait-ms', '50', self.dll,
                          windows_path(script))
        self.assertEqual(result.returncode, 1)
        self.assertIn('line 2 skipped', result.stderr)
        expected = ['host:    load, settings directory "%s"' % self.settings,
                    'host:    start',
                    'host:    ann over AIM (connection 1): one',
                    '# after the bad line',
                    'host:    bob over ICQ (connection 2): two',
                    'host:    ann over AIM (connection 1): three',
                    'host:    waits 50 ms',
                    'host:    stop',
                    'host:    unload']
        self.assertEqual([line for line in lines_of(result) if line in expected], expected)

        unreadable = simulate('--settings', self.settings, self.dll,
                              windows_path(os.path.join(self.directory, 'none.txt')))
        self.assertEqual(unreadable.returncode, 1)
        self.assertIn('cannot read', unreadable.stderr)
        # The plug-in is still stopped and unloaded as the client would.
        self.assertIn('host:    unload', lines_of(unreadable))

    def test_a_relative_settings_directory_is_taken_from_the_current_one(self):
        os.mkdir(os.path.join(self.directory, 'sub'))
        for given, folder in (('sub', 'sub'), (None, '')):
            with self.subTest(given=given):
                arguments = ['--settings', given] if given else []
                result = simulate(*arguments, self.dll, script='', directory=self.directory)
                self.assertEqual(result.returncode, 0, result.stderr)
                expected = windows_path(os.path.join(self.directory, folder)).rstrip('\\')
                self.assertIn('host:    load, settings directory "%s\\"' % expected,
                              lines_of(result))
                self.assertTrue(os.path.isfile(os.path.join(self.directory, folder,
                                                            'IMTolvane.ini')))


if __name__ == '__main__':
    options, argv = toolcheck.command_line()
    BUILD = options.build
    unittest.main(argv=argv)
