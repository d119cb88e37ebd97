"""Push services for the mail lab: HTTPS servers on loopback that answer as
ntfy, Gotify, Pushover and the Telegram Bot API do, by their published APIs.

All of them sit on one loopback address (PUSH_HOST below, chosen when the lab
starts), which tests/run.sh maps the services' real names to for the run:
the front server at port 443 holds a certificate from the lab's CA for every
one of those names. Each test asks for a service of its own: it gets a URL
with credentials nobody else has, and the front server hands each request to
the service the credentials name, so tests never share a server. Services
with a certificate of another kind, plain HTTP, or no listener yet get a
port of their own on the same address (their URLs name the port).
"""

import asyncio
import json
import secrets
import socket
import time
import urllib.parse

HTTPS_PORT = 443
NAMES = {"ntfy": "ntfy.sh", "gotify": "gotify.lab.test", "pushover": "api.pushover.net",
         "telegram": "api.telegram.org"}
MAX_HEAD = 65536
MAX_BODY = 1 << 20
READ_TIMEOUT_S = 30
STATUS_TEXT = {200: "OK", 400: "Bad Request", 401: "Unauthorized", 403: "Forbidden",
               404: "Not Found", 413: "Payload Too Large", 429: "Too Many Requests",
               500: "Internal Server Error", 502: "Bad Gateway", 503: "Service Unavailable"}


def error_body(kind, status, retry_after):
    """The error answer each service documents."""
    reason = STATUS_TEXT.get(status, "Error")
    if kind == "ntfy":
        words = {401: "unauthorized", 429: "limit reached: too many requests",
                 400: "invalid request: topic invalid"}.get(status, reason.lower())
        return {"code": status * 100 + 1, "http": status, "error": words,
                "link": "https://ntfy.sh/docs/publish/"}
    if kind == "gotify":
        return {"error": reason, "errorCode": status,
                "errorDescription": "you need to provide a valid access token or user credentials "
                                    "to access this api" if status == 401 else reason.lower()}
    if kind == "pushover":
        text = {400: "user identifier is not a valid user, group, or subscribed user key",
                401: "application token is invalid",
                429: "application is over its message limit"}.get(status, reason.lower())
        return {"user": "invalid", "errors": [text], "status": 0, "request": secrets.token_hex(8)}
    if status == 429:
        return {"ok": False, "error_code": 429,
                "description": f"Too Many Requests: retry after {retry_after or 1}",
                "parameters": {"retry_after": retry_after or 1}}
    text = {400: "Bad Request: chat not found", 401: "Unauthorized"}.get(status, reason)
    return {"ok": False, "error_code": status, "description": text}


def success_body(kind, request):
    if kind == "ntfy":
        return {"id": secrets.token_hex(6), "time": int(time.time()), "event": "message"}
    if kind == "gotify":
        return {"id": 1, "appid": 1, "priority": 5, "date": "2026-01-01T00:00:00Z"}
    if kind == "pushover":
        return {"status": 1, "request": secrets.token_hex(8)}
    return {"ok": True, "result": {"message_id": 1, "date": int(time.time())}}


class Service:
    """One test's push service: its credentials, the answers it plays and
    the requests it got."""

    def __init__(self, service_id, kind, host, answers, auth):
        self.id = service_id
        self.kind = kind
        self.host = host
        self.port = HTTPS_PORT
        self.answers = answers or [(200, None)]
        self.requests = []
        self.key = secrets.token_hex(8)
        self.token = "tk_" + secrets.token_hex(10)
        self.auth = auth
        self.server = None
        self.sock = None

    def url(self, scheme=None, port=None):
        # Plain HTTP goes only to an address of the user's own network.
        name = self.host if scheme == "ntfy" else NAMES[self.kind]
        where = name if port is None else f"{name}:{port}"
        if self.kind == "ntfy":
            credentials = {"token": f"{self.token}@", "basic": f"ann:{self.token}@"}.get(self.auth, "")
            if port is None and not credentials:
                return f"ntfys://{self.key}"
            return f"{scheme or 'ntfys'}://{credentials}{where}/{self.key}"
        if self.kind == "gotify":
            return f"gotifys://{where}/push/{self.token}"
        if self.kind == "pushover":
            return f"pover://u{self.key}@a{self.token.replace('_', '')}"
        return f"tgram://{int(self.key[:8], 16)}:{self.token}/-100{int(self.key[8:], 16)}"

    def expected_auth(self):
        if self.kind == "ntfy" and self.auth == "token":
            return ("authorization", f"Bearer {self.token}")
        if self.kind == "ntfy" and self.auth == "basic":
            import base64
            return ("authorization", "Basic " + base64.b64encode(f"ann:{self.token}".encode()).decode())
        if self.kind == "gotify":
            return ("x-gotify-key", self.token)
        return None

    def owns(self, path, headers, body):
        """Whether the request names this service's credentials."""
        if self.kind == "ntfy":
            try:
                return path == "/" and json.loads(body).get("topic") == self.key
            except (ValueError, AttributeError):
                return False
        if self.kind == "gotify":
            return path == "/push/message" and headers.get("x-gotify-key") == self.token
        if self.kind == "pushover":
            form = urllib.parse.parse_qs(body.decode("utf-8", "replace"))
            return path == "/1/messages.json" and form.get("token") == ["a" + self.token.replace("_", "")]
        return path.startswith(f"/bot{int(self.key[:8], 16)}:{self.token}/")

    def answer(self, request):
        """The status, headers and body this request gets."""
        status, retry_after = self.answers[min(len(self.requests) - 1, len(self.answers) - 1)]
        auth = self.expected_auth()
        if status == 200 and auth and request["headers"].get(auth[0]) != auth[1]:
            status = 401
        if status == 200 and self.kind == "telegram" and not request["path"].endswith("/sendMessage"):
            status = 404
        body = success_body(self.kind, request) if status == 200 else error_body(self.kind, status,
                                                                                retry_after)
        headers = [("Content-Type", "application/json")]
        if retry_after is not None:
            headers.append(("Retry-After", str(retry_after)))
        return status, headers, json.dumps(body).encode()

    def words(self, text):
        words = [str(len(self.requests))]
        for r in self.requests:
            head = "".join(f"{name}: {value}\n" for name, value in r["raw_headers"])
            words += [text(r["method"]), text(r["path"]), text(head), text(r["body"]),
                      str(r["status"]), str(r["ms"])]
        return words


async def read_request(reader):
    """One HTTP/1.1 request with a Content-Length body; None at the end."""
    head = await asyncio.wait_for(reader.readuntil(b"\r\n\r\n"), READ_TIMEOUT_S)
    if len(head) > MAX_HEAD:
        return None
    lines = head.decode("latin-1").split("\r\n")
    method, path, _ = lines[0].split(" ", 2)
    raw = []
    for line in lines[1:]:
        if line:
            name, _, value = line.partition(":")
            raw.append((name, value.strip()))
    headers = {name.lower(): value for name, value in raw}
    length = int(headers.get("content-length", "0"))
    body = await asyncio.wait_for(reader.readexactly(min(length, MAX_BODY)), READ_TIMEOUT_S)
    return {"method": method, "path": path, "raw_headers": raw, "headers": headers, "body": body,
            "ms": int(time.monotonic() * 1000)}


class PushLab:
    """The push services of the lab, and the address they share."""

    def __init__(self, tls):
        self.tls = tls
        self.services = []
        self.host = None
        self.front = None

    def reserve(self, fresh_address):
        """Takes a free loopback address at port 443 for the front server."""
        self.host, self.front_sock = fresh_address(HTTPS_PORT)

    async def start_front(self):
        context = self.tls.context_for_names("push", list(NAMES.values()))
        self.front = await asyncio.start_server(
            lambda r, w: self.serve(r, w, None), sock=self.front_sock, ssl=context)

    async def serve(self, reader, writer, own):
        try:
            request = await read_request(reader)
        except (asyncio.IncompleteReadError, asyncio.TimeoutError, asyncio.LimitOverrunError,
                ConnectionError, OSError, ValueError):
            writer.close()
            return
        if request is None:
            writer.close()
            return
        service = own
        if service is None:
            service = next((s for s in self.services if s.port == HTTPS_PORT and
                            s.owns(request["path"], request["headers"], request["body"])), None)
        if service is None:
            status, headers, body = 404, [("Content-Type", "application/json")], b'{"error":"not found"}'
        else:
            service.requests.append(request)
            status, headers, body = service.answer(request)
            request["status"] = status
        head = f"HTTP/1.1 {status} {STATUS_TEXT.get(status, 'Status')}\r\n"
        head += "".join(f"{name}: {value}\r\n" for name, value in headers)
        head += f"Content-Length: {len(body)}\r\nConnection: close\r\n\r\n"
        try:
            writer.write(head.encode("latin-1") + body)
            await writer.drain()
        except (ConnectionError, OSError):
            pass
        writer.close()

    async def start(self, words, next_id):
        """push KIND [auth=token|basic|none] [cert=untrusted|plain|down] [answers=S[:R],...]"""
        if not words or words[0] not in NAMES:
            raise ValueError(f"push needs a kind of {sorted(NAMES)}")
        kind, options = words[0], dict(w.partition("=")[::2] for w in words[1:])
        answers = []
        for item in filter(None, options.get("answers", "").split(",")):
            status, _, retry = item.partition(":")
            answers.append((int(status), int(retry) if retry else None))
        service = Service(next_id, kind, self.host, answers, options.get("auth", "none"))
        cert = options.get("cert", "good")
        if cert == "good":
            self.services.append(service)
            return service, service.url()
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        sock.bind((self.host, 0))
        sock.setblocking(False)
        service.sock = sock
        service.port = sock.getsockname()[1]
        self.services.append(service)
        if cert == "down":
            return service, service.url(port=service.port)
        await self.listen(service, cert)
        scheme = "ntfy" if cert == "plain" else None
        return service, service.url(scheme=scheme, port=service.port)

    async def listen(self, service, cert="good"):
        service.sock.listen(16)
        context = None
        if cert != "plain":
            context = self.tls.context_for_names(
                "push" if cert == "good" else "rogue-push", list(NAMES.values()),
                ca="ca" if cert == "good" else "rogue")
        service.server = await asyncio.start_server(
            lambda r, w: self.serve(r, w, service), sock=service.sock, ssl=context)

    def find(self, service_id):
        for service in self.services:
            if service.id == service_id:
                return service
        raise KeyError(f"no push service {service_id!r}")

    def close(self):
        if self.front is not None:
            self.front.close()
        for service in self.services:
            if service.server is not None:
                service.server.close()
            if service.sock is not None:
                service.sock.close()
