#include "net/PlainConnection.h"

#include <winsock2.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "net/AbortSignal.h"

namespace {

const WORD kWinsockVersion = 0x0101;
const int kReceiveChunk = 4096;

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

// A dotted address is taken as it is; anything else is looked up by name.
// An empty name is no server at all, not the local machine.
bool resolve(const std::string& name, in_addr& address) {
    if (name.empty()) return false;
    const unsigned long dotted = inet_addr(name.c_str());
    if (dotted != INADDR_NONE) {
        address.s_addr = dotted;
        return true;
    }
    const hostent* host = gethostbyname(name.c_str());
    if (!host || host->h_addrtype != AF_INET || !host->h_addr_list || !host->h_addr_list[0]) {
        return false;
    }
    std::memcpy(&address, host->h_addr_list[0], sizeof address);
    return true;
}

}  // namespace

PlainConnection::PlainConnection(AbortSignal* abort) : abort_(abort), socket_(INVALID_SOCKET) {}

PlainConnection::~PlainConnection() { close(); }

NetOutcome PlainConnection::connect(const std::string& server, int32_t port) {
    WSADATA data;
    if (WSAStartup(kWinsockVersion, &data) != 0) {
        return NetOutcome::failure(NetStage::Connect, "Windows Sockets did not start");
    }
    winsockStarted_ = true;
    socket_ = socket(AF_INET, SOCK_STREAM, 0);
    if (socket_ == INVALID_SOCKET) return NetOutcome::failure(NetStage::Connect, "no socket");
    if (abort_) abort_->watch(this);

    sockaddr_in destination;
    std::memset(&destination, 0, sizeof destination);
    destination.sin_family = AF_INET;
    destination.sin_port = htons(static_cast<u_short>(port));
    if (!resolve(server, destination.sin_addr)) {
        return NetOutcome::failure(NetStage::NameLookup, "the server's name was not found");
    }
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&destination), sizeof destination) != 0) {
        return NetOutcome::failure(NetStage::Connect, connectFailure(WSAGetLastError()));
    }
    // A shutdown that came while connect was still setting up may not have
    // reached it, and the greeting would be waited for without end.
    if (abort_ && abort_->raised()) return NetOutcome::failure(NetStage::Connect, "stopped");
    return NetOutcome::success(NetStage::Connect);
}

bool PlainConnection::sendAll(const std::string& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

bool PlainConnection::receive(std::string& bytes) {
    char chunk[kReceiveChunk];
    const int n = recv(socket_, chunk, kReceiveChunk, 0);
    if (n <= 0) return false;
    bytes.append(chunk, static_cast<std::size_t>(n));
    return true;
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
