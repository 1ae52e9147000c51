#pragma once
// Addresses as both socket layers handle them: Winsock and POSIX share the BSD socket address
// structures and getaddrinfo, so host texts are read and addresses converted in one place.
// Platform code only; the exchange sees EchoAddress.

#include "engine/EchoNetwork.h"

#if defined(_WIN32)
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netinet/in.h>
#include <sys/socket.h>
#endif

#include <string>

namespace tarnel {

// Fills a socket address for sendto or connect (with the port, in host order); returns its length.
int ToSocketAddress(const EchoAddress& address, sockaddr_storage& storage, std::uint16_t port = 0);
EchoAddress FromSocketAddress(const sockaddr_storage& storage);

// The host text's address in the order EchoNetwork::Resolve gives.
bool ResolveHost(const char* host, EchoAddress& address);

// Dotted IPv4, or the IPv6 text with "%zone" when it has one.
std::string AddressToText(const EchoAddress& address);

}  // namespace tarnel
