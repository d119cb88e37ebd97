#!/usr/bin/python3
"""Makes the release package: DIST/tolvane-VERSION-win32.zip, holding the
built tolvane.dll, the install and use guide and the license in one folder.

    make_dist.py --build BUILD --out DIST

The version is the project's, as CMake recorded it in BUILD. Text files go
into the package with Windows line endings."""

import argparse
import os
import re
import sys
import zipfile

from pe_image import PeImage

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NAME = 'tolvane'
DLL = 'tolvane.dll'
# Source in the repository, name in the package.
TEXTS = [('docs/INSTALL.txt', 'INSTALL.txt'), ('LICENSE', 'LICENSE.txt')]


def project_version(build):
    with open(os.path.join(build, 'CMakeCache.txt')) as cache:
        found = re.search(r'^CMAKE_PROJECT_VERSION:STATIC=(.+)$', cache.read(), re.MULTILINE)
    if not found:
        sys.exit(f'make_dist: no project version in {build}/CMakeCache.txt')
    return found.group(1).strip()


def package_name(version):
    return f'{NAME}-{version}-win32.zip'


def windows_text(path):
    with open(os.path.join(ROOT, path), 'rb') as text:
        return text.read().replace(b'\r\n', b'\n').replace(b'\n', b'\r\n')


def make_package(build, out):
    version = project_version(build)
    dll = os.path.join(build, DLL)
    if not os.path.isfile(dll):
        sys.exit(f'make_dist: {dll} is missing: build first')
    if not PeImage(dll).is_pe32_i386:
        sys.exit(f'make_dist: {dll} is not a 32-bit (PE32 i386) DLL: the release is the i686 build')
    os.makedirs(out, exist_ok=True)
    package = os.path.join(out, package_name(version))
    folder = f'{NAME}-{version}/'
    with zipfile.ZipFile(package, 'w', zipfile.ZIP_DEFLATED) as archive:
        archive.write(dll, folder + DLL)
        for source, name in TEXTS:
            archive.writestr(folder + name, windows_text(source))
    return package


def main():
    parser = argparse.ArgumentParser(description='Makes the release package.')
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--out', default=os.path.join(ROOT, 'dist'))
    arguments = parser.parse_args()
    package = make_package(os.path.abspath(arguments.build), os.path.abspath(arguments.out))
    print(package)


if __name__ == '__main__':
    main()
