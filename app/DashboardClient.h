// The one narrow door through which the dashboard reaches the network: a
// factory that makes the HTTP client of one refresh. Tests put a fake client
// behind the same door.
#pragma once

#include "RtlStream.h"
#include "RtlString.h"
#include "RtlStrings.h"

#include <functional>
#include <memory>

class IDashboardClient {
public:
    virtual ~IDashboardClient();
    // GET `url`; a non-empty body replaces the list's lines (decoded in the
    // response's charset); an empty body leaves the list as it was.
    virtual void Get(const String& url, TStrings& destination) = 0;
    // GET `url`; the raw (decoded) body bytes are written to the stream.
    virtual void Get(const String& url, TStream& destination) = 0;
};

using TDashboardClientFactory = std::function<std::unique_ptr<IDashboardClient>()>;

// Makes the client of one refresh. Until the HTTP engine is built in, the
// default client fails every request with EclSocketError saying that the
// network client is not available.
std::unique_ptr<IDashboardClient> CreateDashboardClient();
// Replaces the factory (an empty function restores the default).
void SetDashboardClientFactory(TDashboardClientFactory factory);

// The service endpoints.
String WeatherUrl();
String StatisticsUrl();
