#!/usr/bin/python3
"""The dialog templates 102, 104, 105 and 106 of the release DLL, read from its
resources as a file: size, font, styles, and every control in tab order
with its id, class, text, position, size and the style bits that matter,
so that a moved control or a lost style shows here."""

import os
import struct
import sys
import unittest

import toolcheck

sys.path.insert(0, os.path.join(toolcheck.ROOT, 'tools'))
from pe_image import RT_DIALOG, PeImage  # noqa: E402

DLL = None

WS_POPUP, WS_CHILD, WS_VISIBLE, WS_DISABLED = 0x80000000, 0x40000000, 0x10000000, 0x08000000
WS_CAPTION, WS_BORDER, WS_VSCROLL, WS_SYSMENU = 0x00C00000, 0x00800000, 0x00200000, 0x00080000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_SETFONT, DS_MODALFRAME, DS_CONTROL, DS_CENTER = 0x40, 0x80, 0x400, 0x800
WS_EX_TOOLWINDOW = 0x80

# The bits a template names for any control, and per class the kind (the
# low bits) and the flags of that class.
WINDOW_FLAGS = {'tab': WS_TABSTOP, 'group': WS_GROUP, 'disabled': WS_DISABLED,
                'border': WS_BORDER, 'vscroll': WS_VSCROLL}
CLASSES = {
    'button': (0xF, {'push': 0, 'default': 1, 'check': 3, 'group box': 7, 'radio': 9},
               {'left': 0x100, 'right': 0x200, 'top': 0x400, 'flat': 0x8000}),
    'edit': (0x3, {'edit': 0},
             {'multiline': 0x4, 'password': 0x20, 'autov': 0x40, 'autoh': 0x80, 'readonly': 0x800,
              'number': 0x2000}),
    'combobox': (0x3, {'drop-down list': 3}, {'sort': 0x100}),
    'static': (0x1F, {'left': 0, 'centred': 1, 'right': 2, 'picture': 0xE},
               {'noprefix': 0x80, 'vcentre': 0x200, 'sunken': 0x1000}),
}
ORDINAL_CLASSES = {0x80: 'button', 0x81: 'edit', 0x82: 'static', 0x85: 'combobox'}
NO_ID = (0xFFFF, 0xFFFFFFFF)
BITMAP = 101

EDIT = ('edit', 'edit', 'border autoh tab disabled')
LABEL = ('static', 'right', 'vcentre disabled')
GROUP_LABEL = ('static', 'right', 'vcentre group disabled')

# id (None: no id), class, kind, flags, text (None: not checked), x, y, cx, cy
PAGE = [
    (1021, 'button', 'group box', 'disabled', '', 7, 7, 242, 54),
    (None, 'button', 'group box', '', '', 7, 64, 242, 27),
    (None, 'button', 'group box', '', '', 7, 94, 242, 44),
    (None, 'button', 'group box', '', '', 7, 141, 242, 27),
    (1005, 'button', 'check', 'top tab', 'Forwarding Enabled', 12, 7, 84, 9),
    (1001, *EDIT, '', 78, 20, 112, 12),
    (1035, *EDIT, '', 78, 40, 162, 12),
    (1002, *EDIT, '', 78, 74, 162, 12),
    (1006, 'combobox', 'drop-down list', 'sort vscroll tab disabled', '', 78, 105, 162, 18),
    (1010, *EDIT, '', 78, 121, 162, 12),
    (1022, 'button', 'check', 'right tab disabled', '', 27, 182, 12, 12),
    (1033, *EDIT, '', 78, 182, 162, 12),
    (1017, 'button', 'check', 'right tab disabled', '', 27, 197, 12, 12),
    (1031, *EDIT, '', 78, 197, 115, 12),
    (1009, 'button', 'check', 'right tab disabled', '', 27, 212, 13, 12),
    (1032, *EDIT, '', 78, 212, 24, 12),
    (1034, *EDIT, '', 170, 212, 24, 12),
    (1015, 'button', 'check', 'left tab disabled', '', 27, 228, 12, 12),
    (1016, 'button', 'push', 'flat tab', 'About', 203, 212, 36, 13),
    (1024, 'button', 'group box', 'disabled', 'Behavior', 7, 171, 242, 75),
    (1004, 'button', 'radio', 'tab disabled', 'E-Mail', 12, 62, 36, 12),
    (1008, 'button', 'radio', 'tab disabled', 'Mobile Phone', 11, 93, 55, 12),
    (1037, 'button', 'radio', 'tab disabled', 'Push', 12, 140, 30, 12),
    (1038, 'static', 'left', 'noprefix group disabled', '', 46, 141, 196, 10),
    (1039, *GROUP_LABEL, 'Push URL:', 21, 151, 54, 12),
    (1040, *EDIT, '', 78, 151, 162, 12),
    (1011, *LABEL, 'From Address:', 21, 40, 54, 12),
    (1012, *LABEL, 'E-Mail Address:', 21, 74, 54, 12),
    (1013, *GROUP_LABEL, 'Provider:', 21, 105, 54, 12),
    (1014, *GROUP_LABEL, 'Phone Number:', 21, 121, 54, 12),
    (1019, 'static', 'centred', 'vcentre group disabled', 'Ex: !page', 197, 197, 45, 12),
    (1018, *GROUP_LABEL, 'Prefix:', 42, 197, 33, 12),
    (1020, *GROUP_LABEL, 'Char Limit:', 42, 212, 33, 12),
    (1023, *GROUP_LABEL, 'Reply:', 40, 182, 35, 12),
    (1025, *GROUP_LABEL, 'Message Limit:', 108, 212, 59, 12),
    (1026, 'static', 'right', 'group disabled', 'Systray Notification', 38, 230, 64, 8),
    (1027, *LABEL, 'SMTP Server:', 21, 20, 54, 12),
    (1028, 'button', 'check', 'left tab disabled', '', 120, 228, 12, 12),
    (1029, 'static', 'left', 'group disabled', 'Show Name in Body', 134, 230, 66, 8),
    (1030, 'button', 'push', 'flat tab', 'Read Me', 204, 228, 36, 13),
    (1036, 'button', 'push', 'flat tab disabled', 'Advanced...', 194, 19, 46, 13),
]
ABOUT = [
    (1, 'button', 'default', 'tab', 'OK', 172, 4, 32, 23),
    (None, 'static', 'picture', 'border sunken', BITMAP, 0, 0, 36, 33),
    (None, 'static', 'left', 'group', None, 42, 2, 120, 8),
    (None, 'static', 'left', 'group', None, 42, 11, 114, 8),
    (1018, 'static', 'left', 'group', None, 42, 20, 126, 8),
]
READ_ME = [
    (1, 'button', 'default', 'tab', 'OK', 372, 114, 33, 26),
    (None, 'static', 'picture', 'border sunken', BITMAP, 371, 0, 36, 33),
    (1030, 'edit', 'edit', 'multiline readonly border vscroll autoh autov tab', '', 0, 0, 370, 140),
]

ADVANCED_LABEL = ('static', 'right', 'vcentre')
ADVANCED_EDIT = ('edit', 'edit', 'border autoh tab')
ADVANCED = [
    (1101, 'button', 'group box', '', 'Mail Server', 7, 7, 222, 128),
    (1102, *ADVANCED_LABEL, 'Security:', 14, 20, 60, 12),
    (1103, 'combobox', 'drop-down list', 'vscroll tab', '', 78, 20, 70, 60),
    (1104, *ADVANCED_LABEL, 'Port:', 150, 20, 26, 12),
    (1105, 'edit', 'edit', 'border autoh tab number', '', 180, 20, 40, 12),
    (1106, *ADVANCED_LABEL, 'User:', 14, 38, 60, 12),
    (1107, *ADVANCED_EDIT, '', 78, 38, 142, 12),
    (1108, *ADVANCED_LABEL, 'Password:', 14, 54, 60, 12),
    (1109, 'edit', 'edit', 'border autoh tab password', '', 78, 54, 142, 12),
    (1110, *ADVANCED_LABEL, 'Trusted CA File:', 14, 70, 60, 12),
    (1111, *ADVANCED_EDIT, '', 78, 70, 98, 12),
    (1121, 'button', 'push', 'tab', 'Browse...', 180, 69, 40, 14),
    (1118, *ADVANCED_LABEL, 'Retry for', 14, 86, 60, 12),
    (1119, 'edit', 'edit', 'border autoh tab number', '', 78, 86, 40, 12),
    (1120, 'static', 'left', 'vcentre', 'minutes', 122, 86, 40, 12),
    (1116, 'button', 'push', 'tab', 'Send Test Mail', 14, 104, 60, 14),
    (1117, 'static', 'left', 'noprefix', '', 78, 104, 142, 26),
    (1112, 'button', 'group box', '', 'When to Forward', 7, 139, 222, 107),
    (1113, 'static', 'left', 'vcentre', 'Only when I have been away for', 14, 152, 106, 12),
    (1114, 'edit', 'edit', 'border autoh tab number', '', 122, 152, 30, 12),
    (1115, 'static', 'left', 'vcentre', 'minutes', 156, 152, 40, 12),
    (1130, 'static', 'left', 'vcentre', "Gather a contact's next messages for", 14, 168, 126, 12),
    (1131, 'edit', 'edit', 'border autoh tab number', '', 142, 168, 30, 12),
    (1132, 'static', 'left', 'vcentre', 'minutes', 176, 168, 40, 12),
    (1133, *ADVANCED_LABEL, 'Quiet hours from', 14, 184, 60, 12),
    (1134, *ADVANCED_EDIT, '', 78, 184, 30, 12),
    (1135, 'static', 'centred', 'vcentre', 'to', 110, 184, 12, 12),
    (1136, *ADVANCED_EDIT, '', 124, 184, 30, 12),
    (1137, *ADVANCED_LABEL, 'Forward from:', 14, 200, 60, 12),
    (1138, 'combobox', 'drop-down list', 'vscroll tab', '', 78, 200, 142, 60),
    (1139, *ADVANCED_LABEL, 'Contacts:', 14, 216, 60, 12),
    (1140, *ADVANCED_EDIT, '', 78, 216, 142, 12),
    (1141, 'static', 'left', 'noprefix', 'Names separated by commas', 78, 231, 142, 10),
    (1150, 'button', 'group box', '', 'Replies', 236, 7, 229, 98),
    (1151, *ADVANCED_LABEL, 'IMAP Server:', 243, 20, 60, 12),
    (1152, *ADVANCED_EDIT, '', 307, 20, 150, 12),
    (1153, *ADVANCED_LABEL, 'Security:', 243, 38, 60, 12),
    (1154, 'combobox', 'drop-down list', 'vscroll tab', '', 307, 38, 70, 60),
    (1155, *ADVANCED_LABEL, 'Port:', 381, 38, 26, 12),
    (1156, 'edit', 'edit', 'border autoh tab number', '', 411, 38, 46, 12),
    (1157, 'button', 'push', 'tab', 'Check Inbox', 243, 56, 60, 14),
    (1158, 'static', 'left', 'noprefix', '', 307, 56, 150, 18),
    (1159, 'static', 'left', 'noprefix',
     "Answers to forwarded mail come back to the contact as IMs. The login is the mail server's.",
     243, 78, 214, 20),
    (1, 'button', 'default', 'tab', 'OK', 360, 253, 50, 14),
    (2, 'button', 'push', 'tab', 'Cancel', 415, 253, 50, 14),
]

DIALOG_MASK = (WS_POPUP | WS_CHILD | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME
               | DS_CONTROL | DS_CENTER | DS_SETFONT)
MODAL = WS_POPUP | DS_MODALFRAME | DS_CENTER | DS_SETFONT
# id: styles, extended styles, size, font (points, face, weight or None), controls
DIALOGS = {
    102: (WS_CHILD | DS_CONTROL | DS_SETFONT, 0, (256, 251), (8, 'MS Sans Serif', None), PAGE),
    104: (MODAL, WS_EX_TOOLWINDOW, (208, 31), (8, 'MS Shell Dlg', 400), ABOUT),
    105: (MODAL | WS_SYSMENU, 0, (406, 140), (8, 'MS Shell Dlg', 400), READ_ME),
    106: (MODAL | WS_CAPTION | WS_SYSMENU, 0, (472, 273), (8, 'MS Shell Dlg', 400), ADVANCED),
}
TITLES = {106: 'Advanced Settings'}


class Reader:
    """Walks the bytes of a dialog template."""

    def __init__(self, data):
        self.data, self.at = data, 0

    def take(self, layout):
        values = struct.unpack_from('<' + layout, self.data, self.at)
        self.at += struct.calcsize('<' + layout)
        return values if len(values) > 1 else values[0]

    def text_or_ordinal(self):
        first = self.take('H')
        if first == 0xFFFF:
            return self.take('H')
        if first == 0:
            return ''
        end = self.at
        while self.data[end:end + 2] != b'\0\0':
            end += 2
        text = self.data[self.at - 2:end].decode('utf-16-le')
        self.at = end + 2
        return text

    def align(self):
        self.at = (self.at + 3) & ~3


def parse(data):
    """The template's header and its controls in template order."""
    reader = Reader(data)
    extended = reader.take('HH') == (1, 0xFFFF)
    if extended:
        _, ex_style, style = reader.take('III')
    else:
        reader.at = 0
        style, ex_style = reader.take('II')
    count, x, y, cx, cy = reader.take('Hhhhh')
    menu, window_class, title = (reader.text_or_ordinal() for _ in range(3))
    font = None
    if style & DS_SETFONT:
        points = reader.take('H')
        weight = reader.take('HBB')[0] if extended else None
        font = (points, reader.text_or_ordinal(), weight)
    header = dict(style=style, ex_style=ex_style, rect=(x, y, cx, cy), menu=menu,
                  window_class=window_class, title=title, font=font)
    controls = []
    for _ in range(count):
        reader.align()
        if extended:
            _, item_ex, item_style = reader.take('III')
            ix, iy, icx, icy, ident = reader.take('hhhhI')
        else:
            item_style, item_ex = reader.take('II')
            ix, iy, icx, icy, ident = reader.take('hhhhH')
        item_class = reader.text_or_ordinal()
        text = reader.text_or_ordinal()
        extra = reader.take('H')
        reader.at += extra
        if isinstance(item_class, int):
            item_class = ORDINAL_CLASSES.get(item_class, item_class)
        controls.append(dict(id=None if ident in NO_ID else ident, cls=item_class.lower(),
                             style=item_style, text=text, rect=(ix, iy, icx, icy)))
    return header, controls


def mask_of(cls):
    kind_mask, _, flags = CLASSES[cls]
    bits = kind_mask | WS_VISIBLE
    for bit in (*WINDOW_FLAGS.values(), *flags.values()):
        bits |= bit
    return bits


def expected_style(cls, kind, flags):
    _, kinds, class_flags = CLASSES[cls]
    style = kinds[kind] | WS_VISIBLE
    for flag in flags.split():
        style |= WINDOW_FLAGS.get(flag, class_flags.get(flag, 0))
        if flag not in WINDOW_FLAGS and flag not in class_flags:
            raise KeyError(flag)
    return style


class DialogTemplates(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.image = PeImage(DLL)

    def test_each_dialog_as_laid_out(self):
        for number, (style, ex_style, size, font, table) in DIALOGS.items():
            with self.subTest(dialog=number):
                header, controls = parse(self.image.resource(RT_DIALOG, number))
                self.assertEqual(header['style'] & DIALOG_MASK, style)
                self.assertEqual(header['ex_style'], ex_style)
                self.assertEqual(header['rect'], (0, 0, *size))
                self.assertEqual((header['menu'], header['window_class'], header['title']),
                                 ('', '', TITLES.get(number, '')))
                points, face, weight = font
                self.assertEqual(header['font'][:2], (points, face))
                if weight is not None:
                    self.assertEqual(header['font'][2], weight)
                # Template order is tab order: the ids in order first.
                self.assertEqual([c['id'] for c in controls], [row[0] for row in table])
                for control, (ident, cls, kind, flags, text, *rect) in zip(controls, table):
                    with self.subTest(control=ident, at=rect):
                        self.assertEqual(control['cls'], cls)
                        self.assertEqual(control['rect'], tuple(rect))
                        self.assertEqual(hex(control['style'] & mask_of(cls)),
                                         hex(expected_style(cls, kind, flags)))
                        if text is not None:
                            self.assertEqual(control['text'], text)


if __name__ == '__main__':
    options, argv = toolcheck.command_line('--dll')
    DLL = os.path.abspath(options.dll)
    unittest.main(argv=argv)
