#pragma once
// The check a site's line asks for, chosen by its scheme: an echo exchange for a line without
// one, exactly as ever; a TCP connection for tcp://; one web request for http:// and https://.
// Every kind takes the same request (its timeout bounds the check) and gives one result code.

#include "engine/EchoNetwork.h"
#include "engine/IcmpEcho.h"

namespace tarnel {

EchoResult RunSiteCheck(EchoNetwork& network, const EchoRequest& request);

}  // namespace tarnel
