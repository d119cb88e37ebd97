#!/usr/bin/python3
"""The demo end to end: tools/demo.py with its own SMTP server on a free
loopback address, the host simulator and the built DLL under the Wine
environment that tests/run.sh provides. Checks what a person reading the
output relies on: which messages caused which requests, and which mails
the server received. Port 25 needs root."""

import os
import random
import socket
import subprocess
import sys
import unittest

import toolcheck

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
CONVERSATION = os.path.join(ROOT, 'tools', 'demo-conversation.txt')
BUILD = None
DEMO_TIMEOUT_S = 120
LABEL_WIDTH = 12
RULE = '-' * 72


def free_address():
    """A loopback address whose port 25 nobody holds."""
    for host in random.sample(range(2, 255), 253):
        address = f'127.0.0.{host}'
        with socket.socket() as probe:
            try:
                probe.bind((address, 25))
                return address
            except OSError:
                continue
    raise RuntimeError('no loopback address has port 25 free')


def long_message():
    """The text of carol's long message, after the prefix."""
    with open(CONVERSATION) as conversation:
        for line in conversation:
            if line.startswith('carol AIM !page'):
                return line.rstrip('\n')[len('carol AIM !page'):]
    raise RuntimeError('the conversation lost its long message')


def parse_mails(lines):
    """The "Mail i of n" blocks: each label (envelope, header, body) with
    its lines, read from the column after the labels."""
    mails = []
    label = None
    for line in lines:
        if line.startswith('Push request'):
            break
        if line.startswith('Mail '):
            mails.append({})
            label = None
        elif mails and line != RULE and line.startswith(' ' * 2):
            label = line[:LABEL_WIDTH].strip() or label
            mails[-1].setdefault(label, []).append(line[LABEL_WIDTH:])
        elif line == RULE:
            label = None
    return mails


def missing_in_order(lines, wanted):
    """The wanted lines that do not follow one another in the output:
    none when all do."""
    rest = iter(lines)
    return [want for want in wanted if want not in rest]


class Demo(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.address = free_address()
        demo = subprocess.run(
            [sys.executable, os.path.join(ROOT, 'tools', 'demo.py'), '--address', cls.address,
             '--build', BUILD],
            capture_output=True, text=True, encoding='latin-1', timeout=DEMO_TIMEOUT_S)
        cls.code = demo.returncode
        cls.errors = demo.stderr
        cls.lines = demo.stdout.splitlines()
        mails = parse_mails(cls.lines)
        cls.mails, cls.tls_mails = mails[:-1], mails[-1:]

    def test_each_message_causes_its_requests(self):
        alert = ('plug-in: systraySetAlert: "IM: %s has been forwarded" '
                 '(style "default", values 1 0 0)')
        reply = ('plug-in: messageSend: to "%s" over "AIM" (connection 1), type "outgoing": '
                 '"Your message has been forwarded to a mobile device"')
        wanted = [
            'host:    start',
            'plug-in: prefsInitialize: registers the page "IM Tolvaning"',
            'host:    ann over AIM (connection 1): are you around this afternoon?',
            'plug-in: no request',
            'host:    ann over AIM (connection 1): !page Call me when you land, please.',
            alert % 'ann',
            reply % 'ann',
            'host:    bob over ICQ (connection 2): !PAGE is anyone there?',
            'plug-in: no request',
            'host:    bob over ICQ (connection 2): '
            '<b>!page</b> the build server is <i>down</i> again',
            alert % 'bob',
            'host:    carol over AIM (connection 1): !page' + long_message(),
            alert % 'carol (Part 3/3)',
            reply % 'carol',
            'host:    stop',
            'plug-in: messageBroadcastDisable: ends subscription 1',
            'host:    unload',
        ]
        self.assertEqual(missing_in_order(self.lines, wanted), [])
        # bob, on ICQ, gets no reply.
        self.assertFalse([line for line in self.lines if 'messageSend: to "bob"' in line])

    def test_server_gets_the_forwarded_texts_in_order(self):
        self.assertEqual(self.code, 0, self.errors)
        self.assertIn(f'The SMTP server on {self.address} port 25 received 5 mails; '
                      'the conversation should give 5.', self.lines)
        subjects = [mail['header'][2] for mail in self.mails]
        self.assertEqual(subjects, ['SUBJECT: IM: ann', 'SUBJECT: IM: bob',
                                    'SUBJECT: IM: carol (Part 1/3)',
                                    'SUBJECT: IM: carol (Part 2/3)',
                                    'SUBJECT: IM: carol (Part 3/3)'])
        bodies = [mail['body'] for mail in self.mails]
        self.assertEqual(bodies[0], [' Call me when you land, please.'])
        self.assertEqual(bodies[1], [' the build server is down again'])
        parts = [body[0] for body in bodies[2:]]
        self.assertEqual([len(part) for part in parts[:2]], [120, 120])
        self.assertEqual(''.join(parts), long_message())
        for mail in self.mails:
            self.assertEqual(mail['envelope'], ['HELO example.com', 'MAIL FROM tolvane@example.com',
                                                'RCPT TO   demo@example.net'])
            self.assertEqual(mail['header'][:2], ['TO: demo@example.net',
                                                  'FROM: tolvane@example.com'])
            self.assertTrue(mail['header'][3].startswith('DATE: '))

    def test_settings_are_written_back_at_unload(self):
        start = self.lines.index('At unload the plug-in wrote its settings back:')
        keys = []
        for line in self.lines[start + 1:]:
            if line == RULE:
                break
            if '=' in line:
                keys.append(line.strip().split('=')[0])
        self.assertEqual(len(keys), 32)
        self.assertIn(f'  SMTP Server={self.address}', self.lines[start:])

    def test_ends_with_one_message_over_starttls_with_a_login(self):
        self.assertEqual(self.code, 0, self.errors)
        self.assertIn('The STARTTLS server with a login received 1 mail; '
                      'the last message should give 1.', self.lines)
        self.assertEqual(len(self.tls_mails), 1)
        mail = self.tls_mails[0]
        self.assertEqual(mail['session'], ['STARTTLS, logged in as demo@example.com'])
        self.assertEqual(mail['envelope'][0], 'EHLO example.com')
        self.assertIn('Subject: IM: dora', mail['header'])
        self.assertEqual(mail['body'], [' This one went over STARTTLS, with a login.'])

    def test_ends_with_one_notification_pushed_as_ntfy_takes_it(self):
        self.assertEqual(self.code, 0, self.errors)
        self.assertIn('The ntfy server received 1 request; the push should give 1.', self.lines)
        start = self.lines.index('Push request as the ntfy server received it')
        request = self.lines[start + 1:]
        self.assertEqual(request[0], '  POST / HTTP/1.1')
        self.assertIn('  Content-Type: application/json', request)
        self.assertIn('  Connection: close', request)
        body = next(line for line in request if line.startswith('  {'))
        self.assertTrue(body.startswith('  {"topic":"demo-phone","title":"IM: erin",'
                                        '"message":" Pushed: \\"quotes\\", a \\\\ and caf'), body)


if __name__ == '__main__':
    options, argv = toolcheck.command_line()
    BUILD = options.build
    unittest.main(argv=argv)
