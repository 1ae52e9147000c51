// The routing table through IP Helper. IP Helper is not one of the system's known DLLs, so it
// is loaded from the system folder when the table is read, never imported.

#include "monitor/DefaultRoute.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <iphlpapi.h>
#include <netioapi.h>

#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "engine/SystemLibrary.h"

namespace corvale {
namespace {

struct IpHelper {
    decltype(&::GetIpForwardTable2) getForwardTable = nullptr;
    decltype(&::FreeMibTable) freeTable = nullptr;
    decltype(&::GetAdaptersAddresses) getAdapters = nullptr;

    explicit IpHelper(const tarnel::SystemLibrary& library)
        : getForwardTable(library.Find<decltype(getForwardTable)>("GetIpForwardTable2")),
          freeTable(library.Find<decltype(freeTable)>("FreeMibTable")),
          getAdapters(library.Find<decltype(getAdapters)>("GetAdaptersAddresses")) {}
    bool Complete() const { return getForwardTable && freeTable && getAdapters; }
};

struct InterfaceFacts {
    bool up = false;
    ULONG ipv4Metric = 0, ipv6Metric = 0;
};

// The interfaces by LUID; nothing when they cannot be listed.
std::optional<std::map<ULONG64, InterfaceFacts>> ReadInterfaces(const IpHelper& ipHelper) {
    constexpr ULONG kFlags = GAA_FLAG_SKIP_UNICAST | GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST |
                             GAA_FLAG_SKIP_DNS_SERVER | GAA_FLAG_SKIP_FRIENDLY_NAME;
    ULONG size = 16 * 1024;
    std::vector<ULONG64> buffer;  // 8-byte aligned, as the list's records need
    ULONG error = ERROR_BUFFER_OVERFLOW;
    // The list can grow between the call that sizes it and the one that fills it.
    for (int attempt = 0; attempt < 3 && error == ERROR_BUFFER_OVERFLOW; ++attempt) {
        buffer.assign(size / sizeof(ULONG64) + 1, 0);
        error = ipHelper.getAdapters(AF_UNSPEC, kFlags, nullptr,
                                     reinterpret_cast<IP_ADAPTER_ADDRESSES*>(buffer.data()), &size);
    }
    std::map<ULONG64, InterfaceFacts> interfaces;
    if (error == ERROR_NO_DATA) return interfaces;
    if (error != NO_ERROR) return std::nullopt;
    for (auto* adapter = reinterpret_cast<const IP_ADAPTER_ADDRESSES*>(buffer.data()); adapter != nullptr;
         adapter = adapter->Next)
        interfaces[adapter->Luid.Value] = {adapter->OperStatus == IfOperStatusUp, adapter->Ipv4Metric,
                                           adapter->Ipv6Metric};
    return interfaces;
}

RouteEntry EntryOf(const MIB_IPFORWARD_ROW2& row, const std::map<ULONG64, InterfaceFacts>& interfaces) {
    RouteEntry entry;
    entry.family = row.DestinationPrefix.Prefix.si_family == AF_INET6 ? RouteFamily::Ipv6 : RouteFamily::Ipv4;
    entry.prefixLength = row.DestinationPrefix.PrefixLength;
    if (row.NextHop.si_family == AF_INET6)
        std::memcpy(entry.nextHop.data(), &row.NextHop.Ipv6.sin6_addr, 16);
    else
        std::memcpy(entry.nextHop.data(), &row.NextHop.Ipv4.sin_addr, 4);
    entry.interfaceIndex = row.InterfaceIndex;
    entry.routeMetric = row.Metric;
    entry.loopback = row.Loopback || row.InterfaceLuid.Info.IfType == IF_TYPE_SOFTWARE_LOOPBACK;
    // An interface the list leaves out is taken as up: a route that exists is not denied.
    const auto found = interfaces.find(row.InterfaceLuid.Value);
    entry.interfaceUp = found == interfaces.end() || found->second.up;
    if (found != interfaces.end())
        entry.interfaceMetric = entry.family == RouteFamily::Ipv6 ? found->second.ipv6Metric : found->second.ipv4Metric;
    return entry;
}

// The routes of one family. A family the computer does not run has none.
bool ReadRoutes(const IpHelper& ipHelper, ADDRESS_FAMILY family, const std::map<ULONG64, InterfaceFacts>& interfaces,
                std::vector<RouteEntry>& routes) {
    MIB_IPFORWARD_TABLE2* table = nullptr;
    const DWORD error = ipHelper.getForwardTable(family, &table);
    const std::unique_ptr<MIB_IPFORWARD_TABLE2, decltype(ipHelper.freeTable)> owner(table, ipHelper.freeTable);
    if (error == ERROR_NOT_FOUND || error == ERROR_NOT_SUPPORTED) return true;
    if (error != NO_ERROR || table == nullptr) return false;
    for (ULONG i = 0; i < table->NumEntries; ++i) routes.push_back(EntryOf(table->Table[i], interfaces));
    return true;
}

}  // namespace

DefaultRoute ReadDefaultRoute(RouteFamily family) {
    const tarnel::SystemLibrary library(L"iphlpapi.dll");
    const IpHelper ipHelper(library);
    if (!ipHelper.Complete()) return {};
    const auto interfaces = ReadInterfaces(ipHelper);
    if (!interfaces) return {};
    std::vector<RouteEntry> routes;
    if (!ReadRoutes(ipHelper, AF_INET, *interfaces, routes) || !ReadRoutes(ipHelper, AF_INET6, *interfaces, routes))
        return {};
    return ChooseDefaultRoute(routes, family);
}

}  // namespace corvale
