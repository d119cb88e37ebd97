"""A small reader of Windows PE images, read from the file rather than
loaded, so that a 64-bit test run can check the 32-bit release DLL: its
machine, exports, imports and resources."""

import struct

MACHINE_I386 = 0x14C
MAGIC_PE32 = 0x10B
CHARACTERISTIC_DLL = 0x2000
DIRECTORY_EXPORT = 0
DIRECTORY_IMPORT = 1
DIRECTORY_RESOURCE = 2
RT_BITMAP = 2
RT_DIALOG = 5
RT_VERSION = 16


class PeImage:
    def __init__(self, path):
        with open(path, 'rb') as image:
            self.data = image.read()
        if self.data[:2] != b'MZ':
            raise ValueError(f'{path}: not a PE image')
        header = self.u32(0x3C)
        if self.data[header:header + 4] != b'PE\0\0':
            raise ValueError(f'{path}: not a PE image')
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from('<HHIIIHH', self.data, header + 4)
        optional = header + 24
        self.magic = self.u16(optional)
        # The data directories follow the fixed part, which is 16 bytes longer
        # in a 64-bit image.
        directories = optional + (96 if self.magic == MAGIC_PE32 else 112)
        self.directories = [struct.unpack_from('<II', self.data, directories + 8 * i)
                            for i in range(self.u32(directories - 4))]
        table = optional + optional_size
        self.sections = [struct.unpack_from('<IIII', self.data, table + 40 * i + 8)
                         for i in range(sections)]
        self.section_names = [self.data[table + 40 * i:table + 40 * i + 8].rstrip(b'\0')
                              .decode('latin-1') for i in range(sections)]

    @property
    def is_pe32_i386(self):
        return self.machine == MACHINE_I386 and self.magic == MAGIC_PE32

    def section_sizes(self):
        """(name, bytes in memory, bytes in the file) of each section, in order."""
        return [(name, size, raw_size)
                for name, (size, _, raw_size, _) in zip(self.section_names, self.sections)]

    def u16(self, offset):
        return struct.unpack_from('<H', self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from('<I', self.data, offset)[0]

    def offset(self, rva):
        for size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f'address 0x{rva:x} lies in no section')

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b'\0', start)].decode('latin-1')

    def directory(self, entry):
        return self.directories[entry][0] if entry < len(self.directories) else 0

    def exports(self):
        """The exported names and the number of exported functions."""
        at = self.offset(self.directory(DIRECTORY_EXPORT))
        functions, names, _, name_table = struct.unpack_from('<IIIII', self.data, at + 20)[:4]
        return ([self.text(self.u32(self.offset(name_table) + 4 * i)) for i in range(names)],
                functions)

    def imports(self):
        """The names of the DLLs the image imports from."""
        names = []
        at = self.offset(self.directory(DIRECTORY_IMPORT))
        while self.u32(at + 12):
            names.append(self.text(self.u32(at + 12)))
            at += 20
        return names

    def resource(self, kind, identifier):
        """The bytes of a resource of a numeric type and id (its first
        language), or None."""
        root = self.offset(self.directory(DIRECTORY_RESOURCE))
        entry = root
        for wanted in (kind, identifier, None):
            entry = self._child(root, entry, wanted)
            if entry is None:
                return None
        address, size = struct.unpack_from('<II', self.data, entry)
        start = self.offset(address)
        return self.data[start:start + size]

    def _child(self, root, directory, wanted):
        """The file offset of a directory's entry with a numeric id (any
        entry for None); every offset in the tree counts from its root."""
        named, numbered = struct.unpack_from('<HH', self.data, directory + 12)
        for i in range(named + numbered):
            name, target = struct.unpack_from('<II', self.data, directory + 16 + 8 * i)
            if wanted is None or name == wanted:
                return root + (target & 0x7FFFFFFF)
        return None
