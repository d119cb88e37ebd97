#!/usr/bin/python3
"""The mail lab: real SMTP servers and scripted fault peers on loopback
addresses, for tests that need something to talk SMTP to.

Started as `maillab.py --port-file FILE`: it listens for control connections
on 127.0.0.1 at an ephemeral port and writes that port into FILE. On a control
connection every request is one JSON object on one line, and every answer is
one JSON object on one line with "ok" true, or "ok" false and an "error".

Requests ("op" names the request):
  {"op": "smtp", "refuse": [ADDRESS, ...]}
      Starts an aiosmtpd server on a fresh address, port 25. It accepts every
      mail and every recipient except those listed in "refuse" (optional),
      which get 550. Answer: {"id", "host", "port"}.
  {"op": "script", "steps": [STEP, ...]}
      Starts a scripted peer on a fresh address, port 25. Each connection it
      accepts plays the steps from the first, in order:
        {"send": TEXT, "times": N}  send TEXT, N times over (default 1)
        {"expect": PREFIX}          read one line; an error unless it starts
                                    with PREFIX ("" reads any line)
        {"readData": true}          read lines up to the line "."
        {"quiet": MS}               wait MS ms; an error if the client sends
                                    anything meanwhile (it ran ahead)
        {"sleep": MS}               wait MS ms
        {"close": true}             close the connection
        {"silent": true}            answer nothing until the client closes
      After the last step the peer stays silent until the client closes.
  {"op": "unreachable"}
      Takes a fresh address and binds port 25 without listening, so every
      connect to it is refused at once. Answer: {"id", "host", "port"}.
  {"op": "received", "id": ID}
      Answer: {"connections": [CONNECTION, ...]} in the order accepted, each
      {"helo": TEXT, "mails": [MAIL, ...], "transcript": BYTES,
       "errors": [TEXT, ...], "open": BOOL}. "helo" and "mails" are filled by
      SMTP servers: MAIL is {"helo", "from", "recipients": [...], "data"}, the
      data as the server stored it (after its dot-unstuffing). "transcript" is
      every byte the client sent on that connection; "errors" lists the steps
      of a script that did not go as written.
  {"op": "connections", "id": ID}   Answer: {"count": N}
  {"op": "stop", "id": ID}          Closes the server and its connections.
  {"op": "ping"}

Bytes travel as JSON strings in which each byte is the character of the same
number (Latin-1), so every byte value survives.

A fresh address is 127.0.0.N for N tried from a random start in 2..254,
skipping every address whose port 25 is taken, so several runs on one machine
never collide. Port 25 needs root.

The lab exits by itself when its parent process ends, or after --idle-timeout
seconds without a control request.
"""

import argparse
import asyncio
import json
import logging
import os
import random
import socket
import sys

# Taken before the slow import below, so that a parent that ends while the
# lab starts is noticed.
PARENT = os.getppid()

from aiosmtpd.smtp import SMTP  # noqa: E402

INIT_PID = 1

SMTP_PORT = 25
FIRST_HOST, LAST_HOST = 2, 254
READ_TIMEOUT_S = 60
PARENT_POLL_S = 1.0
CONTROL_LINE_LIMIT = 1 << 20


def orphaned():
    """The parent has ended: the lab was handed to init or a subreaper. A
    parent that ended even before PARENT was taken leaves it to init."""
    parent = os.getppid()
    return parent != PARENT or parent == INIT_PID


def to_text(data):
    """Bytes (or a str that carries bytes) as a JSON-safe Latin-1 string."""
    if data is None:
        return ""
    if isinstance(data, str):
        data = data.encode("utf-8", "surrogateescape")
    return bytes(data).decode("latin-1")


def to_bytes(text):
    return text.encode("latin-1")


class Connection:
    """What one client connection brought."""

    def __init__(self):
        self.helo = ""
        self.mails = []
        self.transcript = bytearray()
        self.errors = []
        self.open = True
        self.transport = None

    def as_json(self):
        return {
            "helo": to_text(self.helo),
            "mails": self.mails,
            "transcript": to_text(self.transcript),
            "errors": self.errors,
            "open": self.open,
        }


class Peer:
    """A listening (or merely bound) socket and the connections it accepted."""

    def __init__(self, peer_id, host, sock):
        self.id = peer_id
        self.host = host
        self.sock = sock
        self.server = None
        self.connections = []

    def new_connection(self):
        connection = Connection()
        self.connections.append(connection)
        return connection

    def close(self):
        if self.server is not None:
            self.server.close()
        for connection in self.connections:
            if connection.transport is not None:
                connection.transport.close()
        self.sock.close()


class RecordingHandler:
    def __init__(self, refused):
        self.refused = set(refused)

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address in self.refused:
            return "550 5.1.1 Recipient refused"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        server.record.mails.append({
            "helo": to_text(session.host_name),
            "from": to_text(envelope.mail_from),
            "recipients": [to_text(r) for r in envelope.rcpt_tos],
            "data": to_text(envelope.original_content),
        })
        return "250 OK"


class RecordingSMTP(SMTP):
    """aiosmtpd's server, keeping every byte the client sends."""

    def __init__(self, peer, handler, loop):
        super().__init__(handler, hostname="maillab", enable_SMTPUTF8=True, loop=loop)
        self.record = peer.new_connection()

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
            while True:
                data = await self.reader.read(4096)
                if not data:
                    break
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
        if not line.startswith(to_bytes(prefix)):
            self.record.errors.append(f"expected {prefix!r}, got {to_text(line)!r}")
        return True

    async def read_data(self):
        while True:
            line = await self.read_line()
            if line is None:
                self.record.errors.append("closed inside the mail data")
                return False
            if line == b".\r\n":
                return True

    async def quiet(self, milliseconds):
        before = len(self.record.transcript)
        await asyncio.sleep(milliseconds / 1000)
        if len(self.record.transcript) != before:
            self.record.errors.append(f"client sent {len(self.record.transcript) - before} "
                                      f"bytes during a quiet step")

    async def step(self, step):
        """Plays one step; False ends the script."""
        if "send" in step:
            self.writer.write(to_bytes(step["send"]) * int(step.get("times", 1)))
            await self.writer.drain()
        elif "expect" in step:
            return await self.expect(step["expect"])
        elif "readData" in step:
            return await self.read_data()
        elif "quiet" in step:
            await self.quiet(step["quiet"])
        elif "sleep" in step:
            await asyncio.sleep(step["sleep"] / 1000)
        elif "close" in step:
            return False
        elif "silent" in step:
            while not self.eof:
                self.arrived.clear()
                await self.arrived.wait()
        else:
            self.record.errors.append(f"unknown step {step!r}")
        return True

    async def play(self):
        pump = asyncio.ensure_future(self.pump())
        try:
            for step in self.steps:
                if not await self.step(step):
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
    def __init__(self, idle_timeout):
        self.peers = {}
        self.next_id = 1
        self.idle_timeout = idle_timeout
        self.last_request = None
        self.loop = None

    def fresh_address(self, listening):
        """A bound socket on 127.0.0.N:25, and its host."""
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
                sock.bind((host, SMTP_PORT))
                if listening:
                    sock.listen(64)
            except OSError:
                sock.close()
                continue
            sock.setblocking(False)
            return host, sock
        raise RuntimeError("no free loopback address on port 25")

    def add_peer(self, listening):
        host, sock = self.fresh_address(listening)
        peer = Peer(f"p{self.next_id}", host, sock)
        self.next_id += 1
        self.peers[peer.id] = peer
        return peer

    async def start_smtp(self, request):
        handler = RecordingHandler(request.get("refuse", []))
        peer = self.add_peer(listening=True)
        peer.server = await self.loop.create_server(
            lambda: RecordingSMTP(peer, handler, self.loop), sock=peer.sock)
        return peer

    async def start_script(self, request):
        steps = request.get("steps", [])
        peer = self.add_peer(listening=True)

        async def serve(reader, writer):
            record = peer.new_connection()
            record.transport = writer.transport
            await ScriptedConnection(steps, record, reader, writer).play()

        peer.server = await asyncio.start_server(serve, sock=peer.sock)
        return peer

    def peer(self, request):
        peer = self.peers.get(request.get("id"))
        if peer is None:
            raise KeyError(f"no server {request.get('id')!r}")
        return peer

    async def answer(self, request):
        op = request.get("op")
        if op in ("smtp", "script", "unreachable"):
            if op == "smtp":
                peer = await self.start_smtp(request)
            elif op == "script":
                peer = await self.start_script(request)
            else:
                peer = self.add_peer(listening=False)
            return {"id": peer.id, "host": peer.host, "port": SMTP_PORT}
        if op == "received":
            return {"connections": [c.as_json() for c in self.peer(request).connections]}
        if op == "connections":
            return {"count": len(self.peer(request).connections)}
        if op == "stop":
            self.peers.pop(self.peer(request).id).close()
            return {}
        if op == "ping":
            return {}
        raise ValueError(f"unknown op {op!r}")

    async def control(self, reader, writer):
        try:
            while True:
                line = await reader.readline()
                if not line:
                    break
                self.last_request = self.loop.time()
                try:
                    answer = await self.answer(json.loads(line))
                    answer["ok"] = True
                except Exception as error:  # every failure goes back to the asker
                    answer = {"ok": False, "error": f"{type(error).__name__}: {error}"}
                writer.write(json.dumps(answer).encode("ascii") + b"\n")
                await writer.drain()
        except (ConnectionError, OSError):
            pass
        finally:
            writer.close()

    async def watch(self):
        """Returns when the parent has gone or the lab has idled too long."""
        while not orphaned():
            if self.loop.time() - self.last_request > self.idle_timeout:
                return
            await asyncio.sleep(PARENT_POLL_S)

    async def run(self, port_file):
        self.loop = asyncio.get_running_loop()
        self.last_request = self.loop.time()
        control = await asyncio.start_server(self.control, "127.0.0.1", 0, limit=CONTROL_LINE_LIMIT)
        port = control.sockets[0].getsockname()[1]
        partial = port_file + ".partial"
        with open(partial, "w") as f:
            f.write(f"{port}\n")
        os.replace(partial, port_file)
        try:
            await self.watch()
        finally:
            control.close()
            for peer in list(self.peers.values()):
                peer.close()


def main():
    parser = argparse.ArgumentParser(description="SMTP servers and scripted peers for tests")
    parser.add_argument("--port-file", required=True, help="where the control port is written")
    parser.add_argument("--idle-timeout", type=float, default=1800,
                        help="seconds without a request after which the lab exits")
    args = parser.parse_args()
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    asyncio.run(Lab(args.idle_timeout).run(args.port_file))
    return 0


if __name__ == "__main__":
    sys.exit(main())
