#!/usr/bin/python3
"""The mail lab: real SMTP servers and scripted fault peers on loopback
addresses, for tests that need something to talk SMTP to.

Started as `maillab.py --port-file FILE`: it listens for control connections
on 127.0.0.1 at an ephemeral port and writes that port into FILE. With
`--push-host-file FILE2` it also serves push services (tests/peers/pushlab.py)
on a fresh address at port 443 and writes that address into FILE2. Every
request and every answer is one line of words separated by spaces. A text in
a request is its bytes in hex; a text in an answer is "x" and its bytes in
hex, so that an empty text is still a word. Every byte value survives.

Requests, and what follows "ok" in their answers:
  smtp [defer=N] [break=M] [HEX ...]
                          an aiosmtpd server on a fresh address, port 25, that
                          accepts every mail and every recipient except the
                          listed ones, which get 550, and the first N RCPT
                          commands, which get 451; after accepting its M-th
                          mail it ends that connection       -> ID HOST PORT
  script STEP ...         a scripted peer on a fresh address, port 25; each
                          connection plays the steps in order, then stays
                          silent until the client closes        -> ID HOST PORT
      send=HEX            send the bytes
      expect=HEX          read one line; an error unless it starts with them
      readData            read lines up to the line "."
      quiet=MS            wait; an error if the client sends anything meanwhile
      close               close the connection
      silent              answer nothing until the client closes
  unreachable             a fresh address with port 25 bound but not
                          listening, so a connect is refused    -> ID HOST PORT
  blackhole               a fresh address where a connect is never answered
                          (its listener's queue is full)        -> ID HOST PORT
  listen ID               the unreachable peer ID becomes an SMTP server as
                          "smtp" starts one, on the same address
  tls MODE OPTION ...     an aiosmtpd server on 127.0.0.1 at a fresh port, for
                          a client that names it "localhost"    -> ID HOST PORT
      MODE                starttls (required before any mail), implicit (TLS
                          from the first byte) or clear (no STARTTLS offered,
                          AUTH offered in the clear all the same)
      cert=KIND           good (issued to localhost by the lab's CA, the
                          default), wrongname (by that CA to another name),
                          untrusted (to localhost by a CA nobody trusts)
      login=USER:PASS     AUTH required, with these credentials (hex)
      mechs=LIST          the AUTH mechanisms offered: PLAIN,LOGIN by default
      no8bitmime          8BITMIME is not offered
      askcert             the server asks for a client certificate, which
                          it does not insist on
      inject              the 220 to STARTTLS comes with a line of its own
                          after it, in the clear, as a man in the middle
                          would slip it in
  proxy ID CHUNK          a proxy on 127.0.0.1 at a fresh port to the server
                          ID, passing the bytes on in pieces of CHUNK bytes
                          with a pause after each                -> ID HOST PORT
  push KIND [auth=token|basic] [cert=untrusted|plain|down] [answers=S[:R],...]
                          a push service of KIND (ntfy, gotify, pushover,
                          telegram) as tests/peers/pushlab.py serves it, with
                          credentials of its own; its requests get the
                          statuses S in turn (the last one repeats; 200 by
                          default), with Retry-After R where given
                                                     -> ID HOST PORT URL
  pushlisten ID           the push service ID made with cert=down starts
                          listening
  pushed ID               the requests it got -> COUNT, then for each: METHOD
                          PATH HEADERS BODY STATUS MS
  ca                      the lab's test CA certificate, made with openssl at
                          the first request and removed at exit -> PEMPATH DERPATH
  connections ID                                                -> COUNT
  received ID             the connections in the order accepted -> COUNT, then
                          for each: OPEN(0/1) HELO(or EHLO) TRANSCRIPT ERRORS MAILS CLEAR,
                          where
                          ERRORS is a count and that many texts (the steps of a
                          script that went otherwise), MAILS a count and that
                          many mails, each HELO FROM DATA, a count of
                          recipients and the recipients, and the lab's clock in
                          milliseconds when it arrived (SMTP servers only;
                          the data as stored, after the server's dot-unstuffing),
                          and CLEAR what arrived before TLS began (all of the
                          transcript when it never began, nothing with implicit
                          TLS); the transcript holds the bytes after TLS too,
                          decrypted
  decoded ID              every mail as Python's email parser reads it -> COUNT,
                          then for each: SUBJECT BODY MESSAGEID CHARSET
                          TRANSFERENCODING, decoded, as UTF-8
  imap                    a private Dovecot IMAP server on 127.0.0.1, TLS at one
                          fresh port and STARTTLS at another, with the good
                          certificate, one user and a Maildir
                                          -> ID HOST TLSPORT STARTTLSPORT USER PASSWORD
                                             PASSWORDUTF8 (PASSWORD in Latin-1, as
                                             typed; PASSWORDUTF8 as a login sends it)
  deliver ID HEX          puts the mail into that Maildir, as a delivery would
  flags ID                every mail of the Maildir -> COUNT, then for each:
                          MESSAGEID FLAGS, FLAGS the Maildir letters (S seen,
                          R answered) in a word after "f"
  logins ID               the logins the IMAP server saw, refused ones too,
                          from its log                      -> COUNT
  stop ID                 closes the server and its connections
A failed request is answered "error TEXT".

A fresh address is 127.0.0.N for N tried from a random start in 2..254,
skipping every address whose port 25 is taken, so several runs on one machine
never collide. Port 25 needs root. The lab exits by itself when its parent
process ends, or after half an hour without a request.
"""

import argparse
import asyncio
import ctypes
import email
import email.policy
import logging
import os
import pwd
import random
import shutil
import signal
import socket
import ssl
import subprocess
import sys
import tempfile
import time
import warnings

# Taken before the slow import below, so that a parent that ends while the
# lab starts is noticed.
PARENT = os.getppid()

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword  # noqa: E402

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pushlab import PushLab  # noqa: E402

INIT_PID = 1
SMTP_PORT = 25
FIRST_HOST, LAST_HOST = 2, 254
READ_TIMEOUT_S = 60
PARENT_POLL_S = 1.0
IDLE_TIMEOUT_S = 1800
CONTROL_LINE_LIMIT = 1 << 22
LOOPBACK = "127.0.0.1"
# The name every TLS test server's good certificate is issued to; Wine
# matches no IP address in a certificate.
TLS_SERVER_NAME = "localhost"
WRONG_SERVER_NAME = "mail.example.test"
CERT_DAYS = "2"
PROXY_PAUSE_S = 0.002
PROXY_READ = 65536


def orphaned():
    """The parent has ended: the lab was handed to init or a subreaper."""
    parent = os.getppid()
    return parent != PARENT or parent == INIT_PID


def text(data):
    """Bytes, or a str that carries bytes, as one word of an answer."""
    if data is None:
        data = b""
    if isinstance(data, str):
        data = data.encode("utf-8", "surrogateescape")
    return "x" + bytes(data).hex()


class Connection:
    """What one client connection brought."""

    def __init__(self):
        self.helo = ""
        self.mails = []  # each as the words of an answer
        self.transcript = bytearray()
        self.errors = []
        self.open = True
        self.transport = None
        self.tls_at = None  # transcript length when TLS began
        self.raw_mails = []

    def cleartext(self):
        return self.transcript if self.tls_at is None else self.transcript[:self.tls_at]

    def words(self):
        words = ["1" if self.open else "0", text(self.helo), text(self.transcript)]
        words += [str(len(self.errors))] + [text(error) for error in self.errors]
        words.append(str(len(self.mails)))
        for mail in self.mails:
            words += mail
        words.append(text(self.cleartext()))
        return words


class Peer:
    """A listening (or merely bound) socket and the connections it accepted."""

    def __init__(self, peer_id, host, sock, port=SMTP_PORT):
        self.id = peer_id
        self.host = host
        self.port = port
        self.sock = sock
        self.server = None
        self.connections = []

    def new_connection(self):
        self.connections.append(Connection())
        return self.connections[-1]

    def close(self):
        if self.server is not None:
            self.server.close()
        for connection in self.connections:
            if connection.transport is not None:
                connection.transport.close()
        for filler in getattr(self, "fillers", []):
            filler.close()
        self.sock.close()


class RecordingHandler:
    def __init__(self, refused, deferred=0, break_after=0):
        self.refused = set(refused)
        self.deferred = deferred
        self.break_after = break_after
        self.accepted = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.deferred > 0:
            self.deferred -= 1
            return "451 4.3.0 Try again later"
        if address in self.refused:
            return "550 5.1.1 Recipient refused"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        server.record.raw_mails.append(envelope.original_content)
        server.record.mails.append(
            [text(session.host_name), text(envelope.mail_from), text(envelope.original_content),
             str(len(envelope.rcpt_tos))] + [text(r) for r in envelope.rcpt_tos]
            + [str(int(time.monotonic() * 1000))])
        self.accepted += 1
        if self.accepted == self.break_after:
            # Once the 250 is on its way.
            asyncio.get_running_loop().call_later(0.05, server.transport.close)
        return "250 OK"


class RecordingSMTP(SMTP):
    """aiosmtpd's server, keeping every byte the client sends."""

    READY_FOR_TLS = "220 Ready to start TLS"
    INJECTED = "250 injected before TLS"

    def __init__(self, peer, handler, loop, hide=(), implicit_tls=False, inject=False, **options):
        super().__init__(handler, hostname="maillab", enable_SMTPUTF8=True, loop=loop, **options)
        self.record = peer.new_connection()
        if implicit_tls:
            self.record.tls_at = 0
        self.hidden = set(hide)
        self.inject = inject

    async def push(self, status):
        if status in self.hidden:
            return
        if self.inject and status == self.READY_FOR_TLS:
            status += "\r\n" + self.INJECTED
        await super().push(status)

    async def smtp_STARTTLS(self, arg):
        if self.tls_context and not arg:
            self.record.tls_at = len(self.record.transcript)
        await super().smtp_STARTTLS(arg)

    def connection_made(self, transport):
        self.record.transport = transport
        super().connection_made(transport)

    def connection_lost(self, error):
        self.record.open = False
        super().connection_lost(error)

    def data_received(self, data):
        self.record.transcript += data
        super().data_received(data)

    async def smtp_HELO(self, hostname):
        self.record.helo = hostname or ""
        await super().smtp_HELO(hostname)

    async def smtp_EHLO(self, hostname):
        self.record.helo = hostname or ""
        await super().smtp_EHLO(hostname)


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


class TlsFiles:
    """A test CA and server certificates, made at first use in a directory of
    their own that goes when the lab ends. Nothing of it is kept."""

    KINDS = {"good": ("ca", TLS_SERVER_NAME), "wrongname": ("ca", WRONG_SERVER_NAME),
             "untrusted": ("rogue", TLS_SERVER_NAME)}

    def __init__(self):
        self.dir = None

    def path(self, name):
        return os.path.join(self.dir, name)

    def make_ca(self, name):
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{name}.key",
                "-out", f"{name}.pem", "-days", CERT_DAYS, "-subj", f"/CN=maillab {name} CA",
                "-addext", "basicConstraints=critical,CA:TRUE",
                "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=self.dir)

    def make_server(self, kind, ca, name, *more_names):
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", f"{kind}.key",
                "-out", f"{kind}.csr", "-subj", f"/CN={name}", cwd=self.dir)
        alt_names = ",".join(f"DNS:{n}" for n in (name, *more_names))
        with open(self.path(f"{kind}.ext"), "w") as f:
            f.write(f"subjectAltName={alt_names}\nextendedKeyUsage=serverAuth\n"
                    "basicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n")
        openssl("x509", "-req", "-in", f"{kind}.csr", "-CA", f"{ca}.pem", "-CAkey", f"{ca}.key",
                "-CAcreateserial", "-out", f"{kind}.pem", "-days", CERT_DAYS,
                "-extfile", f"{kind}.ext", cwd=self.dir)

    def ensure(self):
        if self.dir is not None:
            return
        self.dir = tempfile.mkdtemp(prefix="maillab-tls-")
        for ca in ("ca", "rogue"):
            self.make_ca(ca)
        for kind, (ca, name) in self.KINDS.items():
            self.make_server(kind, ca, name)
        openssl("x509", "-in", "ca.pem", "-outform", "DER", "-out", "ca.der", cwd=self.dir)

    def context(self, kind):
        self.ensure()
        if kind not in self.KINDS:
            raise ValueError(f"unknown certificate {kind!r}")
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(self.path(f"{kind}.pem"), self.path(f"{kind}.key"))
        return context

    def context_for_names(self, kind, names, ca="ca"):
        """A server context with a certificate of `ca` for all the names,
        made at its first use."""
        self.ensure()
        if not os.path.exists(self.path(f"{kind}.pem")):
            self.make_server(kind, ca, *names)
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(self.path(f"{kind}.pem"), self.path(f"{kind}.key"))
        return context

    def remove(self):
        if self.dir is not None:
            shutil.rmtree(self.dir, ignore_errors=True)


def tls_options(words):
    """The words after a tls request's mode, as a dict."""
    options = {"cert": "good", "mechs": "PLAIN,LOGIN"}
    for word in words:
        key, _, value = word.partition("=")
        if key not in ("cert", "login", "mechs", "no8bitmime", "inject", "askcert"):
            raise ValueError(f"unknown tls option {word!r}")
        options[key] = value
    return options


def authenticator_for(login):
    user, _, password = login.partition(":")
    expected = LoginPassword(bytes.fromhex(user), bytes.fromhex(password))

    def authenticate(server, session, envelope, mechanism, auth_data):
        # handled=False: aiosmtpd then answers 535 itself.
        return AuthResult(success=auth_data == expected, handled=False)

    return authenticate


async def pipe(reader, writer, chunk):
    """Passes bytes on in pieces of `chunk`, pausing after each."""
    try:
        while data := await reader.read(PROXY_READ):
            for at in range(0, len(data), chunk):
                writer.write(data[at:at + chunk])
                await writer.drain()
                await asyncio.sleep(PROXY_PAUSE_S)
    except (ConnectionError, OSError):
        pass
    finally:
        writer.close()


IMAP_USER = "pager"
IMAP_PASSWORD = "imap s\u00e9cret"
IMAP_READY_S = 15
DOVECOT_CONFIG = """base_dir = {dir}/run
state_dir = {dir}/state
log_path = {dir}/dovecot.log
protocols = imap
listen = 127.0.0.1
ssl = yes
ssl_cert = <{cert}
ssl_key = <{key}
ssl_min_protocol = TLSv1.2
disable_plaintext_auth = yes
auth_mechanisms = plain login
# A refused login is answered at once, not after two seconds.
auth_failure_delay = 0
first_valid_uid = 1
passdb {{
  driver = passwd-file
  args = scheme=PLAIN {dir}/passwd
}}
userdb {{
  driver = static
  args = uid=nobody gid=nogroup home={dir}/home/%u
}}
mail_location = maildir:~/Maildir
# New mail is told to an IDLE client within a second, not half a minute.
mailbox_idle_check_interval = 1 secs
service imap-login {{
  inet_listener imap {{
    address = 127.0.0.1
    port = {starttls}
  }}
  inet_listener imaps {{
    address = 127.0.0.1
    port = {tls}
    ssl = yes
  }}
}}
"""


PR_SET_PDEATHSIG = 1


def end_with_parent():
    """In the child: SIGTERM when the lab ends, however it ends."""
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as sock:
        sock.bind((LOOPBACK, 0))
        return sock.getsockname()[1]


class Dovecot:
    """A Dovecot of its own under a temporary directory, run in the
    foreground by the lab and ended with it; /etc/dovecot is not read."""

    def __init__(self, peer_id, tls):
        self.id = peer_id
        self.host = LOOPBACK
        self.dir = tempfile.mkdtemp(prefix="maillab-imap-")
        # Dovecot's auth and mail processes run as other users.
        os.chmod(self.dir, 0o755)
        self.port, self.starttls_port = free_port(), free_port()
        self.maildir = os.path.join(self.dir, "home", IMAP_USER, "Maildir")
        self.delivered = 0
        with open(os.path.join(self.dir, "passwd"), "w", encoding="utf-8") as f:
            f.write(f"{IMAP_USER}:{{PLAIN}}{IMAP_PASSWORD}\n")
        config = os.path.join(self.dir, "dovecot.conf")
        with open(config, "w") as f:
            f.write(DOVECOT_CONFIG.format(dir=self.dir, cert=tls.path("good.pem"), key=tls.path("good.key"),
                                          tls=self.port, starttls=self.starttls_port))
        for sub in ("new", "cur", "tmp"):
            os.makedirs(os.path.join(self.maildir, sub))
        subprocess.run(["chown", "-R", "nobody:nogroup", os.path.join(self.dir, "home")], check=True)
        self.process = subprocess.Popen(["dovecot", "-F", "-c", config], stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL, preexec_fn=end_with_parent)

    async def ready(self):
        deadline = time.monotonic() + IMAP_READY_S
        while time.monotonic() < deadline:
            try:
                with socket.create_connection((LOOPBACK, self.port), timeout=1):
                    return
            except OSError:
                await asyncio.sleep(0.1)
        raise RuntimeError("dovecot did not start: see " + os.path.join(self.dir, "dovecot.log"))

    def deliver(self, data):
        self.delivered += 1
        name = f"{int(time.time())}.M{self.delivered}P{os.getpid()}.maillab"
        temporary = os.path.join(self.maildir, "tmp", name)
        with open(temporary, "wb") as f:
            f.write(data)
        os.chown(temporary, pwd.getpwnam("nobody").pw_uid, -1)
        os.rename(temporary, os.path.join(self.maildir, "new", name))

    def flags(self):
        # Dovecot renames a file when it moves it to cur/ or flags it: a
        # listing that loses a file to that is taken again.
        while True:
            try:
                words = []
                for sub in ("new", "cur"):
                    for name in sorted(os.listdir(os.path.join(self.maildir, sub))):
                        with open(os.path.join(self.maildir, sub, name), "rb") as f:
                            message = email.message_from_binary_file(f, policy=email.policy.default)
                        letters = name.partition(":2,")[2]
                        words += [text(str(message["message-id"] or "")), "f" + letters]
                return [str(len(words) // 2)] + words
            except FileNotFoundError:
                continue

    def logins(self):
        try:
            with open(os.path.join(self.dir, "dovecot.log"), encoding="utf-8", errors="replace") as f:
                lines = f.readlines()
        except FileNotFoundError:
            return 0
        return sum(1 for line in lines if "imap-login:" in line and ("Login:" in line or "auth failed" in line))

    def close(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
        shutil.rmtree(self.dir, ignore_errors=True)


def decoded(data):
    """A stored mail as a reader sees it: its texts decoded."""
    message = email.message_from_bytes(data, policy=email.policy.default)
    return [text(str(message["subject"] or "")), text(message.get_content()),
            text(str(message["message-id"] or "")), text(message.get_content_charset() or ""),
            text(str(message["content-transfer-encoding"] or ""))]


def parse_step(word):
    """A script step as (kind, value)."""
    kind, _, value = word.partition("=")
    if kind in ("send", "expect"):
        return kind, bytes.fromhex(value)
    if kind == "quiet":
        return kind, int(value)
    if kind in ("readData", "close", "silent"):
        return kind, None
    raise ValueError(f"unknown step {word!r}")


class ScriptedConnection:
    """Plays one script over one accepted connection."""

    def __init__(self, steps, record, reader, writer):
        self.steps = steps
        self.record = record
        self.reader = reader
        self.writer = writer
        self.pending = bytearray()
        self.arrived = asyncio.Event()
        self.eof = False

    async def pump(self):
        try:
            while data := await self.reader.read(4096):
                self.record.transcript += data
                self.pending += data
                self.arrived.set()
        except (ConnectionError, OSError):
            pass
        self.eof = True
        self.arrived.set()

    async def read_line(self):
        while b"\n" not in self.pending:
            if self.eof:
                return None
            self.arrived.clear()
            await asyncio.wait_for(self.arrived.wait(), READ_TIMEOUT_S)
        end = self.pending.index(b"\n") + 1
        line = bytes(self.pending[:end])
        del self.pending[:end]
        return line

    async def expect(self, prefix):
        line = await self.read_line()
        if line is None:
            self.record.errors.append(f"closed while expecting {prefix!r}")
            return False
        if not line.startswith(prefix):
            self.record.errors.append(f"expected {prefix!r}, got {line!r}")
        return True

    async def read_data(self):
        while (line := await self.read_line()) != b".\r\n":
            if line is None:
                self.record.errors.append("closed inside the mail data")
                return False
        return True

    async def quiet(self, milliseconds):
        before = len(self.record.transcript)
        await asyncio.sleep(milliseconds / 1000)
        if len(self.record.transcript) != before:
            self.record.errors.append(f"client sent {len(self.record.transcript) - before} "
                                      f"bytes during a quiet step")

    async def step(self, kind, value):
        """Plays one step; False ends the script."""
        if kind == "send":
            self.writer.write(value)
            await self.writer.drain()
        elif kind == "expect":
            return await self.expect(value)
        elif kind == "readData":
            return await self.read_data()
        elif kind == "quiet":
            await self.quiet(value)
        elif kind == "close":
            return False
        elif kind == "silent":
            while not self.eof:
                self.arrived.clear()
                await self.arrived.wait()
        return True

    async def play(self):
        pump = asyncio.ensure_future(self.pump())
        try:
            for kind, value in self.steps:
                if not await self.step(kind, value):
                    break
            else:
                await pump
        except (asyncio.TimeoutError, ConnectionError, OSError) as error:
            self.record.errors.append(f"script stopped: {error!r}")
        finally:
            self.writer.close()
            pump.cancel()
            self.record.open = False


class Lab:
    def __init__(self):
        self.peers = {}
        self.next_id = 1
        self.last_request = None
        self.loop = None
        self.tls = TlsFiles()
        self.ending = False
        self.push = PushLab(self.tls)

    def fresh_address(self, listening, port=SMTP_PORT):
        """A bound socket on 127.0.0.N at the port (25 unless named), and its
        host."""
        start = random.randint(FIRST_HOST, LAST_HOST)
        count = LAST_HOST - FIRST_HOST + 1
        for k in range(count):
            host = f"127.0.0.{FIRST_HOST + (start - FIRST_HOST + k) % count}"
            sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            # Without SO_REUSEADDR a merely bound socket keeps the address
            # from every other binder; a listener can use it safely.
            if listening:
                sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
            try:
                sock.bind((host, port))
                if listening:
                    sock.listen(64)
            except OSError:
                sock.close()
                continue
            sock.setblocking(False)
            return host, sock
        raise RuntimeError(f"no free loopback address on port {port}")

    def add_peer(self, listening):
        host, sock = self.fresh_address(listening)
        return self.register(Peer(f"p{self.next_id}", host, sock))

    def add_blackhole(self):
        """A listener on a fresh address whose queue of connections not yet
        accepted is full, so that the kernel drops every further SYN: a
        connect there waits as for a host that drops packets."""
        peer = self.add_peer(listening=True)
        peer.sock.listen(0)
        peer.fillers = []
        for _ in range(3):
            filler = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
            filler.setblocking(False)
            filler.connect_ex((peer.host, SMTP_PORT))
            peer.fillers.append(filler)
        return peer

    def register(self, peer):
        self.next_id += 1
        self.peers[peer.id] = peer
        return peer

    def add_loopback_peer(self):
        """A listener on 127.0.0.1 at a fresh port, for a client that names
        the server "localhost"."""
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.bind((LOOPBACK, 0))
        sock.listen(64)
        sock.setblocking(False)
        return self.register(Peer(f"p{self.next_id}", LOOPBACK, sock, sock.getsockname()[1]))

    async def start_tls(self, args):
        if not args or args[0] not in ("starttls", "implicit", "clear"):
            raise ValueError(f"tls needs a mode: {args!r}")
        mode, options = args[0], tls_options(args[1:])
        context = self.tls.context(options["cert"])
        if "askcert" in options:
            context.verify_mode = ssl.CERT_OPTIONAL
            context.load_verify_locations(self.tls.path("ca.pem"))
        settings = {"auth_exclude_mechanism": [m for m in ("PLAIN", "LOGIN")
                                               if m not in options["mechs"].split(",")]}
        if "login" in options:
            settings.update(auth_required=True, authenticator=authenticator_for(options["login"]))
        if mode == "starttls":
            settings.update(tls_context=context, require_starttls=True)
        else:
            # aiosmtpd sees no TLS of its own in these two modes.
            settings.update(auth_require_tls=False)
        hide = ["250-8BITMIME"] if "no8bitmime" in options else []
        handler = RecordingHandler([])
        peer = self.add_loopback_peer()
        peer.server = await self.loop.create_server(
            lambda: RecordingSMTP(peer, handler, self.loop, hide=hide,
                                  implicit_tls=mode == "implicit", inject="inject" in options,
                                  **settings),
            sock=peer.sock, ssl=context if mode == "implicit" else None)
        return peer

    async def start_proxy(self, args):
        target, chunk = self.peer(args[:1]), int(args[1])
        if chunk < 1:
            raise ValueError("a proxy needs pieces of at least one byte")
        peer = self.add_loopback_peer()

        async def serve(reader, writer):
            record = peer.new_connection()
            record.transport = writer.transport
            try:
                up_reader, up_writer = await asyncio.open_connection(target.host, target.port)
            except OSError as error:
                record.errors.append(f"proxy could not connect: {error!r}")
                writer.close()
                return
            await asyncio.gather(pipe(reader, up_writer, chunk), pipe(up_reader, writer, chunk))
            record.open = False

        peer.server = await asyncio.start_server(serve, sock=peer.sock)
        return peer

    async def start_smtp(self, args):
        counts = {"defer": 0, "break": 0}
        while args and args[0].partition("=")[0] in counts:
            key, _, value = args.pop(0).partition("=")
            counts[key] = int(value)
        handler = RecordingHandler((bytes.fromhex(r).decode("latin-1") for r in args), counts["defer"],
                                   counts["break"])
        return await self.serve_smtp(self.add_peer(listening=True), handler)

    async def serve_smtp(self, peer, handler):
        peer.server = await self.loop.create_server(
            lambda: RecordingSMTP(peer, handler, self.loop), sock=peer.sock)
        return peer

    async def listen(self, args):
        peer = self.peer(args)
        if peer.server is not None:
            raise ValueError(f"{peer.id} already listens")
        peer.sock.listen(64)
        return await self.serve_smtp(peer, RecordingHandler([]))

    async def start_script(self, words):
        steps = [parse_step(word) for word in words]
        peer = self.add_peer(listening=True)

        async def serve(reader, writer):
            record = peer.new_connection()
            record.transport = writer.transport
            await ScriptedConnection(steps, record, reader, writer).play()

        peer.server = await asyncio.start_server(serve, sock=peer.sock)
        return peer

    def peer(self, args):
        peer = self.peers.get(args[0] if args else None)
        if peer is None:
            raise KeyError(f"no server {args!r}")
        return peer

    async def answer(self, op, args):
        if op == "smtp":
            peer = await self.start_smtp(args)
        elif op == "script":
            peer = await self.start_script(args)
        elif op == "unreachable":
            peer = self.add_peer(listening=False)
        elif op == "blackhole":
            peer = self.add_blackhole()
        elif op == "listen":
            peer = await self.listen(args)
        elif op == "tls":
            peer = await self.start_tls(args)
        elif op == "proxy":
            peer = await self.start_proxy(args)
        elif op == "push":
            service, url = await self.push.start(args, f"p{self.next_id}")
            self.next_id += 1
            return [service.id, service.host, str(service.port), text(url)]
        elif op == "pushlisten":
            await self.push.listen(self.push.find(args[0] if args else None))
            return []
        elif op == "pushed":
            return self.push.find(args[0] if args else None).words(text)
        elif op == "ca":
            self.tls.ensure()
            return [text(self.tls.path("ca.pem")), text(self.tls.path("ca.der"))]
        elif op == "received":
            connections = self.peer(args).connections
            return [str(len(connections))] + [w for c in connections for w in c.words()]
        elif op == "decoded":
            mails = [m for c in self.peer(args).connections for m in c.raw_mails]
            return [str(len(mails))] + [w for m in mails for w in decoded(m)]
        elif op == "connections":
            return [str(len(self.peer(args).connections))]
        elif op == "imap":
            self.tls.ensure()
            server = Dovecot(f"p{self.next_id}", self.tls)
            self.next_id += 1
            self.peers[server.id] = server
            await server.ready()
            return [server.id, server.host, str(server.port), str(server.starttls_port),
                    text(IMAP_USER), text(IMAP_PASSWORD.encode("latin-1")),
                    text(IMAP_PASSWORD.encode("utf-8"))]
        elif op == "deliver":
            self.peer(args).deliver(bytes.fromhex(args[1]))
            return []
        elif op == "flags":
            return self.peer(args).flags()
        elif op == "logins":
            return [str(self.peer(args).logins())]
        elif op == "stop":
            self.peers.pop(self.peer(args).id).close()
            return []
        else:
            raise ValueError(f"unknown request {op!r}")
        return [peer.id, peer.host, str(peer.port)]

    async def control(self, reader, writer):
        try:
            while line := await reader.readline():
                self.last_request = self.loop.time()
                try:
                    op, *args = line.decode("ascii").split()
                    words = ["ok"] + await self.answer(op, args)
                except Exception as error:  # every failure goes back to the asker
                    words = ["error", text(f"{type(error).__name__}: {error}")]
                writer.write(" ".join(words).encode("ascii") + b"\n")
                await writer.drain()
        except (ConnectionError, OSError):
            pass
        finally:
            writer.close()

    async def watch(self):
        """Returns when the parent has gone, the lab has idled too long, or
        it was asked to end (SIGTERM, as tests/run.sh ends it)."""
        while (not orphaned() and not self.ending
               and self.loop.time() - self.last_request <= IDLE_TIMEOUT_S):
            await asyncio.sleep(PARENT_POLL_S)

    async def run(self, port_file, push_host_file=None):
        self.loop = asyncio.get_running_loop()
        self.last_request = self.loop.time()
        # Ended by a signal, the lab still stops what it started (Dovecot).
        self.loop.add_signal_handler(signal.SIGTERM, lambda: setattr(self, "ending", True))
        if push_host_file:
            self.push.reserve(lambda port: self.fresh_address(True, port))
            await self.push.start_front()
            with open(push_host_file + ".partial", "w") as f:
                f.write(f"{self.push.host}\n")
            os.replace(push_host_file + ".partial", push_host_file)
        control = await asyncio.start_server(self.control, "127.0.0.1", 0, limit=CONTROL_LINE_LIMIT)
        partial = port_file + ".partial"
        with open(partial, "w") as f:
            f.write(f"{control.sockets[0].getsockname()[1]}\n")
        os.replace(partial, port_file)
        try:
            await self.watch()
        finally:
            control.close()
            for peer in list(self.peers.values()):
                peer.close()
            self.push.close()
            self.tls.remove()


def main():
    parser = argparse.ArgumentParser(description="SMTP servers and scripted peers for tests")
    parser.add_argument("--port-file", required=True, help="where the control port is written")
    parser.add_argument("--push-host-file",
                        help="serve the push services and write their address here")
    args = parser.parse_args()
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    # The "clear" servers offer AUTH without TLS on purpose.
    warnings.filterwarnings("ignore", message="Requiring AUTH while not requiring TLS")
    asyncio.run(Lab().run(args.port_file, args.push_host_file))
    return 0


if __name__ == "__main__":
    sys.exit(main())
