#include "net/PlainConnection.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "net/AbortSignal.h"
#include "net/NameLookup.h"

namespace {

const WORD kWinsockVersion = 0x0101;
const int kReceiveChunk = 4096;
// How often a wait looks at the abort signal: a stop is seen this soon.
const DWORD kAbortCheckMs = 50;

// Why a connect failed, in the words a user knows.
std::string connectFailure(int error) {
    switch (error) {
        case WSAECONNREFUSED: return "connection refused";
        case WSAETIMEDOUT: return "timed out";
        case WSAENETUNREACH:
        case WSAEHOSTUNREACH: return "unreachable";
        default: return "Windows Sockets error " + std::to_string(error);
    }
}

std::string noAnswerWithin(uint32_t limitMs) {
    return "no answer within " + std::to_string((limitMs + 999) / 1000) + " s";
}

}  // namespace

PlainConnection::PlainConnection(AbortSignal* abort) : abort_(abort), socket_(INVALID_SOCKET) {}

PlainConnection::~PlainConnection() { close(); }

NetOutcome PlainConnection::connect(const std::string& server, int32_t port, uint32_t limitMs) {
    WSADATA data;
    if (WSAStartup(kWinsockVersion, &data) != 0) {
        return NetOutcome::failure(NetStage::Connect, "Windows Sockets did not start");
    }
    winsockStarted_ = true;
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    if (socket_ == INVALID_SOCKET) return NetOutcome::failure(NetStage::Connect, "no socket");
    // Every wait is one of select(), which a time limit and the abort signal
    // can end; a blocking connect or lookup could be ended by neither.
    u_long nonBlocking = 1;
    if (ioctlsocket(socket_, FIONBIO, &nonBlocking) != 0) {
        return NetOutcome::failure(NetStage::Connect, connectFailure(WSAGetLastError()));
    }
    if (abort_) abort_->watch(this);

    sockaddr_in destination;
    std::memset(&destination, 0, sizeof destination);
    destination.sin_family = AF_INET;
    destination.sin_port = htons(static_cast<u_short>(port));
    uint32_t address = 0;
    switch (NameLookup::ipv4Address(server, limitMs, abort_, address)) {
        case NameLookup::Result::Found: break;
        case NameLookup::Result::NotFound:
            return NetOutcome::failure(NetStage::NameLookup, "the server's name was not found");
        case NameLookup::Result::TimedOut:
            timedOut_ = true;
            return NetOutcome::failure(NetStage::NameLookup, noAnswerWithin(limitMs));
        case NameLookup::Result::Stopped: return NetOutcome::failure(NetStage::NameLookup, "stopped");
    }
    destination.sin_addr.s_addr = address;
    limitWaits(limitMs);
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&destination), sizeof destination) != 0) {
        const int error = WSAGetLastError();
        if (error != WSAEWOULDBLOCK) return NetOutcome::failure(NetStage::Connect, connectFailure(error));
        if (!wait(Direction::Connect)) {
            if (timedOut_) return NetOutcome::failure(NetStage::Connect, noAnswerWithin(limitMs));
            return NetOutcome::failure(NetStage::Connect, stopped() ? "stopped" : connectFailure(pendingError()));
        }
    }
    // A shutdown that came while connect was still setting up may not have
    // reached it.
    if (stopped()) return NetOutcome::failure(NetStage::Connect, "stopped");
    return NetOutcome::success(NetStage::Connect);
}

void PlainConnection::limitWaits(uint32_t milliseconds) {
    waitStart_ = GetTickCount();
    waitLimitMs_ = milliseconds;
    timedOut_ = false;
}

bool PlainConnection::stopped() const { return abort_ && abort_->raised(); }

int PlainConnection::pendingError() const {
    int error = 0;
    int size = sizeof error;
    getsockopt(socket_, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size);
    return error;
}

// Until the socket is ready in that direction, the limit runs out or a stop
// comes; in slices, so that the abort signal is looked at often.
bool PlainConnection::wait(Direction direction) {
    for (;;) {
        if (stopped()) return false;
        const DWORD waited = GetTickCount() - waitStart_;
        if (waited >= waitLimitMs_) {
            timedOut_ = true;
            return false;
        }
        const DWORD slice = waitLimitMs_ - waited < kAbortCheckMs ? waitLimitMs_ - waited : kAbortCheckMs;
        fd_set ready;
        fd_set failed;
        FD_ZERO(&ready);
        FD_ZERO(&failed);
        FD_SET(socket_, &ready);
        FD_SET(socket_, &failed);
        timeval timeout{static_cast<long>(slice / 1000), static_cast<long>((slice % 1000) * 1000)};
        const bool reading = direction == Direction::Receive;
        // A connect that failed shows in the third set.
        const bool connecting = direction == Direction::Connect;
        const int count = select(0, reading ? &ready : nullptr, reading ? nullptr : &ready,
                                 connecting ? &failed : nullptr, &timeout);
        if (count == SOCKET_ERROR) return false;
        if (count == 0) continue;
        if (connecting) return !FD_ISSET(socket_, &failed) && pendingError() == 0;
        return true;
    }
}

bool PlainConnection::sendAll(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK || !wait(Direction::Send)) return false;
    }
    return true;
}

bool PlainConnection::receive(std::string& bytes) {
    char chunk[kReceiveChunk];
    for (;;) {
        const int n = recv(socket_, chunk, kReceiveChunk, 0);
        if (n > 0) {
            bytes.append(chunk, static_cast<std::size_t>(n));
            return true;
        }
        if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK || !wait(Direction::Receive)) return false;
    }
}

void PlainConnection::shutDown() {
    if (socket_ != INVALID_SOCKET) shutdown(socket_, SD_BOTH);
}

void PlainConnection::close() {
    if (socket_ != INVALID_SOCKET) {
        if (abort_) abort_->unwatch();
        closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }
    if (winsockStarted_) {
        WSACleanup();
        winsockStarted_ = false;
    }
}
