#include "DashboardClient.h"

#include "clSocketUtils.h"

#ifndef IP_WEATHER_HOST
#define IP_WEATHER_HOST "weather.example.net"
#endif
#ifndef IP_STATISTICS_HOST
#define IP_STATISTICS_HOST "statistics.example.net"
#endif

IDashboardClient::~IDashboardClient() = default;

namespace {

// Transport code for "no client": negative like the transport's own codes.
constexpr std::int32_t kClientUnavailable = -1000;

class TUnavailableClient : public IDashboardClient {
public:
    void Get(const String&, TStrings&) override { Fail(); }
    void Get(const String&, TStream&) override { Fail(); }

private:
    [[noreturn]] static void Fail() {
        throw EclSocketError(u"The network client is not available in this build",
                             kClientUnavailable);
    }
};

TDashboardClientFactory& Factory() {
    static TDashboardClientFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<IDashboardClient> CreateDashboardClient() {
    if (Factory()) return Factory()();
    return std::make_unique<TUnavailableClient>();
}

void SetDashboardClientFactory(TDashboardClientFactory factory) {
    Factory() = std::move(factory);
}

String WeatherUrl() {
    return u"https://" + AsciiToString(IP_WEATHER_HOST) +
           u"/api?version=v6&appid=73905182&appsecret=Kq2VnX5d";
}

String StatisticsUrl() {
    return u"https://" + AsciiToString(IP_STATISTICS_HOST) + u"/release/pneumonia";
}
