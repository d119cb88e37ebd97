"""What the Python checks of the tools share: their command line (--build
and the arguments of unittest) and the path form Wine's programs take."""

import argparse
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def command_line(*options):
    """The absolute build directory, the values of the further options, and
    the command line left for unittest."""
    parser = argparse.ArgumentParser()
    parser.add_argument('--build', required=True)
    for option in options:
        parser.add_argument(option)
    known, rest = parser.parse_known_args()
    known.build = os.path.abspath(known.build)
    return known, [sys.argv[0], *rest]


def windows_path(path):
    """A Unix path as Wine's programs see it (Wine maps / to the drive Z:)."""
    return 'Z:' + path.replace('/', '\\')
