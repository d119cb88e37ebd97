#!/usr/bin/python3
"""The demo: tolvane.dll forwarding a short conversation to a real SMTP server.

Starts an SMTP server (aiosmtpd) on ADDRESS port 25, writes a settings file
into a fresh directory, runs the host simulator over the sample conversation
and prints its lines as they come, waits until the server has received the
mails the conversation should give, then prints each mail as received:
envelope, header lines and body (without the empty lines that end it).

Then one more message, forwarded to a second server on 127.0.0.1 that
takes mail only over STARTTLS and after a login, with a certificate for
"localhost" from a CA made with openssl for this run: the settings name
that CA as "Trusted CA File" and hold the password as the plug-in keeps it
(build/protect_password.exe protects it).

It ends with one message pushed to a local ntfy server (HTTPS on 127.0.0.1,
the same certificate), whose request is shown as it arrived.

    demo.py [--address 127.0.0.1] [--build build] [--start-wine]

Wine must be set up by the caller (WINEPREFIX and friends in the
environment); with --start-wine the demo starts a wineserver for that prefix
itself and stops it at the end. Port 25 needs root.
"""

import argparse
import errno
import http.server
import json
import logging
import os
import shutil
import socket
import ssl
import subprocess
import sys
import tempfile
import threading
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult, LoginPassword

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CONVERSATION = os.path.join(ROOT, 'tools', 'demo-conversation.txt')
SMTP_PORT = 25
DEMO_RECIPIENT = 'demo@example.net'
# The sample conversation forwards two short messages and one of three parts.
EXPECTED_MAILS = 5
# The plug-in pauses a second after every mail; this leaves ample room.
MAIL_WAIT_S = 40
QUIT_WAIT_S = 5
SIMULATOR_EXIT_WAIT_S = 30
RULE = '-' * 72
# The Wine loader of the build tree (tools/wine-env.sh).
WINE = os.environ.get('WINE', 'wine')
# The closing message over STARTTLS with a login.
TLS_SERVER_NAME = 'localhost'
TLS_ADDRESS = '127.0.0.1'
DEMO_USER = 'demo@example.com'
DEMO_PASSWORD = 'demo password'
TLS_CONVERSATION = (b'# The same plug-in, now set for a server that wants STARTTLS and a login.\n'
                    b'dora AIM !page This one went over STARTTLS, with a login.\n')
CERT_DAYS = '1'
# The closing message, pushed as ntfy publishes: JSON to the server's root.
PUSH_TOPIC = 'demo-phone'
PUSH_CONVERSATION = (b'# And now to a phone: push, through a local ntfy server over HTTPS.\n'
                     b'erin AIM !page Pushed: "quotes", a \\ and caf\xe9 arrive as typed.\n')


class MailBox:
    """The server's handler: keeps every mail and notes each QUIT."""

    def __init__(self):
        self.mails = []
        self.quit_after_last_mail = False
        self.changed = threading.Condition()

    async def handle_DATA(self, server, session, envelope):
        with self.changed:
            self.mails.append({
                'helo': session.host_name or '',
                'from': envelope.mail_from,
                'to': list(envelope.rcpt_tos),
                'data': envelope.original_content,
                'tls': session.ssl is not None,
                'login': session.auth_data.login.decode() if session.auth_data else '',
            })
            self.quit_after_last_mail = False
            self.changed.notify_all()
        return '250 OK'

    async def handle_QUIT(self, server, session, envelope):
        with self.changed:
            self.quit_after_last_mail = True
            self.changed.notify_all()
        return '221 Bye'

    def wait_for(self, condition, timeout):
        with self.changed:
            return self.changed.wait_for(condition, timeout)


def start_server(address, mailbox):
    controller = Controller(mailbox, hostname=address, port=SMTP_PORT)
    try:
        controller.start()
    except OSError as error:
        if error.errno == errno.EADDRINUSE:
            sys.exit(f'demo: {address} port {SMTP_PORT} is taken by another program '
                     f'(a mail server?). Stop it, or free the port, and run the demo again.')
        if error.errno == errno.EACCES:
            sys.exit(f'demo: port {SMTP_PORT} needs root: run the demo as root.')
        raise
    return controller


def openssl(directory, *args):
    subprocess.run(['openssl', *args], cwd=directory, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def make_certificates(directory):
    """A CA and a certificate for localhost from it, for this run only."""
    openssl(directory, 'req', '-x509', '-newkey', 'rsa:2048', '-nodes', '-keyout', 'ca.key',
            '-out', 'ca.pem', '-days', CERT_DAYS, '-subj', '/CN=tolvane demo CA',
            '-addext', 'basicConstraints=critical,CA:TRUE',
            '-addext', 'keyUsage=critical,keyCertSign,cRLSign')
    openssl(directory, 'req', '-newkey', 'rsa:2048', '-nodes', '-keyout', 'server.key',
            '-out', 'server.csr', '-subj', f'/CN={TLS_SERVER_NAME}')
    with open(os.path.join(directory, 'server.ext'), 'w') as ext:
        ext.write(f'subjectAltName=DNS:{TLS_SERVER_NAME}\nextendedKeyUsage=serverAuth\n'
                  'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n')
    openssl(directory, 'x509', '-req', '-in', 'server.csr', '-CA', 'ca.pem', '-CAkey', 'ca.key',
            '-CAcreateserial', '-out', 'server.pem', '-days', CERT_DAYS, '-extfile', 'server.ext')
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.load_cert_chain(os.path.join(directory, 'server.pem'),
                            os.path.join(directory, 'server.key'))
    return os.path.join(directory, 'ca.pem'), context


def authenticate(server, session, envelope, mechanism, auth_data):
    expected = LoginPassword(DEMO_USER.encode(), DEMO_PASSWORD.encode())
    # handled=False: the server answers 535 itself to a wrong password.
    return AuthResult(success=auth_data == expected, handled=False, auth_data=auth_data)


def free_port():
    with socket.socket() as probe:
        probe.bind((TLS_ADDRESS, 0))
        return probe.getsockname()[1]


def start_tls_server(mailbox, context):
    """A server that takes mail only after STARTTLS and a login."""
    port = free_port()
    controller = Controller(mailbox, hostname=TLS_ADDRESS, port=port, tls_context=context,
                            require_starttls=True, auth_required=True,
                            authenticator=authenticate)
    controller.start()
    return controller, port


def protected_password(build):
    """The password as the plug-in keeps it, protected in this Wine prefix."""
    return protected_text(build, DEMO_PASSWORD)


def write_tls_settings(path, port, ca_file, password):
    """Sets the mail server's keys in the file the plug-in wrote back."""
    values = {'SMTP Server': TLS_SERVER_NAME, 'SMTP Port': str(port), 'SMTP Security': '1',
              'SMTP User': DEMO_USER, 'SMTP Password': password,
              'Trusted CA File': windows_path(ca_file)}
    with open(path, encoding='latin-1') as ini:
        lines = ini.read().splitlines()
    for number, line in enumerate(lines):
        key = line.partition('=')[0]
        if key in values:
            lines[number] = f'{key}={values.pop(key)}'
    lines += [f'{key}={value}' for key, value in values.items()]
    with open(path, 'w', encoding='latin-1', newline='\r\n') as ini:
        ini.write('\n'.join(lines) + '\n')


class NtfyHandler(http.server.BaseHTTPRequestHandler):
    """Answers a publish as ntfy does, and keeps the request as it came."""

    def do_POST(self):
        body = self.rfile.read(int(self.headers.get('Content-Length', '0')))
        with self.server.changed:
            self.server.requests.append((self.requestline, list(self.headers.items()), body))
            self.server.changed.notify_all()
        answer = json.dumps({'id': 'demo1', 'time': int(time.time()), 'event': 'message',
                             'topic': PUSH_TOPIC}).encode()
        self.send_response(200)
        self.send_header('Content-Type', 'application/json')
        self.send_header('Content-Length', str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    def log_message(self, *args):
        pass


def start_push_server(context):
    server = http.server.ThreadingHTTPServer((TLS_ADDRESS, 0), NtfyHandler)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    server.requests = []
    server.changed = threading.Condition()
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


class PushBox:
    """What run_simulator waits on, for the push server."""

    def __init__(self, server):
        self.server = server
        self.mails = server.requests
        self.quit_after_last_mail = True

    def wait_for(self, condition, timeout):
        with self.server.changed:
            return self.server.changed.wait_for(condition, timeout)


def protected_text(build, text):
    result = subprocess.run([WINE, os.path.join(build, 'protect_password.exe'), text],
                            capture_output=True, text=True, check=True)
    return result.stdout.strip()


def write_push_settings(path, url):
    with open(path, encoding='latin-1') as ini:
        lines = [line for line in ini.read().splitlines()
                 if line.partition('=')[0] not in ('ForwardType', 'Push URL')]
    lines += ['ForwardType=3', f'Push URL={url}']
    with open(path, 'w', encoding='latin-1', newline='\r\n') as ini:
        ini.write('\n'.join(lines) + '\n')


def print_push(requests):
    for requestline, headers, body in requests:
        print(RULE)
        print('Push request as the ntfy server received it')
        print('  ' + requestline)
        for name, value in headers:
            print(f'  {name}: {value}')
        print('')
        print('  ' + body.decode('utf-8', 'replace'))


def windows_path(path):
    """A Unix path as Wine's programs see it (Wine maps / to the drive Z:)."""
    return 'Z:' + path.replace('/', '\\')


def write_settings(directory, address):
    path = os.path.join(directory, 'IMTolvane.ini')
    with open(path, 'w', newline='\r\n') as ini:
        ini.write('[IM Tolvane]\n'
                  'Forwarding Enabled=1\n'
                  f'SMTP Server={address}\n'
                  'ForwardType=1\n'
                  f'EMail Address={DEMO_RECIPIENT}\n')
    return path


def start_wine():
    quiet = {'stdin': subprocess.DEVNULL, 'stdout': subprocess.DEVNULL,
             'stderr': subprocess.DEVNULL}
    prefix = os.environ['WINEPREFIX']
    os.makedirs(prefix, exist_ok=True)
    # The persistent server before a first wineboot, which would otherwise
    # leave a server of its own that refuses to be replaced.
    subprocess.run(['wineserver', '-p'], check=True, **quiet)
    if not os.path.exists(os.path.join(prefix, 'system.reg')):
        print('demo: preparing Wine (once, about ten seconds)', flush=True)
        subprocess.run([WINE, 'wineboot', '-i'], check=False, **quiet)
    # Wine's service processes start with the first program; started here,
    # they do not hold the simulator's pipes open.
    subprocess.run([WINE, 'cmd', '/c', 'exit'], check=False, **quiet)


def stop_wine():
    subprocess.run(['wineserver', '-k'], check=False, stderr=subprocess.DEVNULL)


def echo_lines(stream):
    for line in iter(stream.readline, b''):
        sys.stdout.write(line.decode('latin-1').rstrip('\r\n') + '\n')
        sys.stdout.flush()


def run_simulator(build, settings_directory, mailbox, expected, conversation_bytes):
    """Feeds the conversation to the simulator and keeps its input open until
    the server has the expected mails, so that "stop" comes after them."""
    command = [WINE, os.path.join(build, 'host_simulator.exe'),
               windows_path(os.path.join(build, 'tolvane.dll')),
               '--settings', windows_path(settings_directory) + '\\']
    simulator = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                 stderr=subprocess.STDOUT)
    echo = threading.Thread(target=echo_lines, args=(simulator.stdout,), daemon=True)
    echo.start()
    simulator.stdin.write(conversation_bytes)
    simulator.stdin.flush()

    arrived = mailbox.wait_for(lambda: len(mailbox.mails) >= expected, MAIL_WAIT_S)
    if arrived:
        mailbox.wait_for(lambda: mailbox.quit_after_last_mail, QUIT_WAIT_S)
    simulator.stdin.close()
    try:
        code = simulator.wait(SIMULATOR_EXIT_WAIT_S)
    except subprocess.TimeoutExpired:
        simulator.kill()
        code = simulator.wait()
    echo.join()
    return code


def split_mail(data):
    text = data.decode('latin-1')
    header, _, body = text.partition('\r\n\r\n')
    return header.split('\r\n'), body.rstrip('\r\n').split('\r\n')


def print_mail(number, total, mail):
    print(RULE)
    print(f'Mail {number} of {total}')
    if mail['tls']:
        print(f'  session   STARTTLS, logged in as {mail["login"]}')
    print(f'  envelope  {"EHLO" if mail["tls"] else "HELO"} {mail["helo"]}')
    print(f'            MAIL FROM {mail["from"]}')
    print(f'            RCPT TO   {", ".join(mail["to"])}')
    header, body = split_mail(mail['data'])
    print('  header    ' + '\n            '.join(header))
    print('  body      ' + '\n            '.join(body))


def print_file(title, path):
    print(RULE)
    print(title)
    with open(path, encoding='latin-1') as text:
        for line in text:
            print('  ' + line.rstrip('\r\n'))


def main():
    parser = argparse.ArgumentParser(description='The tolvane demo.')
    parser.add_argument('--address', default='127.0.0.1')
    parser.add_argument('--build', default=os.path.join(ROOT, 'build'))
    parser.add_argument('--start-wine', action='store_true')
    parser.add_argument('--expect', type=int, default=EXPECTED_MAILS)
    arguments = parser.parse_args()
    build = os.path.abspath(arguments.build)
    logging.getLogger('mail.log').setLevel(logging.CRITICAL)

    mailbox = MailBox()
    tls_mailbox = MailBox()
    server = start_server(arguments.address, mailbox)
    tls_server = None
    push_server = None
    settings_directory = tempfile.mkdtemp(prefix='tolvane-demo-')
    try:
        settings = write_settings(settings_directory, arguments.address)
        print_file(f'The demo\'s settings ({settings}); the rest at their defaults:', settings)
        if arguments.start_wine:
            start_wine()
        print(RULE)
        print(f'The host simulator plays {os.path.relpath(CONVERSATION, ROOT)}:', flush=True)
        with open(CONVERSATION, 'rb') as conversation:
            code = run_simulator(build, settings_directory, mailbox, arguments.expect,
                                 conversation.read())
        print_file('At unload the plug-in wrote its settings back:', settings)

        ca_file, context = make_certificates(settings_directory)
        tls_server, port = start_tls_server(tls_mailbox, context)
        write_tls_settings(settings, port, ca_file, protected_password(build))
        print_file(f'For the last message the settings name a server on {TLS_ADDRESS} port '
                   f'{port} that wants STARTTLS and a login:', settings)
        print(RULE, flush=True)
        tls_code = run_simulator(build, settings_directory, tls_mailbox, 1, TLS_CONVERSATION)

        push_server = start_push_server(context)
        push_url = f'ntfys://{TLS_SERVER_NAME}:{push_server.server_address[1]}/{PUSH_TOPIC}'
        write_push_settings(settings, protected_text(build, push_url))
        print(RULE)
        print(f'For the push the settings choose "Push" (ForwardType=3) with the URL {push_url}, ')
        print('kept protected like the password; the same "Trusted CA File" vouches for the server.')
        print(RULE, flush=True)
        push_code = run_simulator(build, settings_directory, PushBox(push_server), 1,
                                  PUSH_CONVERSATION)
    finally:
        if arguments.start_wine:
            stop_wine()
        server.stop()
        if tls_server:
            tls_server.stop()
        if push_server:
            push_server.shutdown()
        shutil.rmtree(settings_directory, ignore_errors=True)

    mails = list(mailbox.mails)
    for number, mail in enumerate(mails, 1):
        print_mail(number, len(mails), mail)
    print(RULE)
    print(f'The SMTP server on {arguments.address} port {SMTP_PORT} received '
          f'{len(mails)} mails; the conversation should give {arguments.expect}.')
    tls_mails = list(tls_mailbox.mails)
    for number, mail in enumerate(tls_mails, 1):
        print_mail(number, len(tls_mails), mail)
    print(RULE)
    print(f'The STARTTLS server with a login received {len(tls_mails)} mail; '
          'the last message should give 1.')
    pushed = list(push_server.requests) if push_server else []
    print_push(pushed)
    print(RULE)
    print(f'The ntfy server received {len(pushed)} request; the push should give 1.')
    if code != 0 or tls_code != 0 or push_code != 0:
        sys.exit(f'demo: the host simulator ended with code {code or tls_code or push_code}')
    if len(mails) != arguments.expect:
        sys.exit('demo: the mails do not match the conversation')
    if len(tls_mails) != 1 or not tls_mails[0]['tls'] or tls_mails[0]['login'] != DEMO_USER:
        sys.exit('demo: the last message did not arrive over STARTTLS with the login')
    if len(pushed) != 1:
        sys.exit('demo: the push did not arrive')


if __name__ == '__main__':
    main()
