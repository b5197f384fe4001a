// The dashboard: decides between cache file and service for each view,
// fetches, caches and shows the documents.
//
// A refresh owns everything it makes (list, stream, client, documents), so a
// nested refresh started from inside a network wait shares nothing with it.
// Nothing half-done ever reaches the screen or the disk: a fetched document
// is parsed and checked before it is saved, cache files are replaced
// atomically, and the labels change only once every value was read.
#include "unitMain.h"

#include "DashboardClient.h"
#include "RtlDateTime.h"
#include "RtlException.h"
#include "RtlFileStream.h"
#include "RtlFormat.h"
#include "RtlStrings.h"
#include "qjson.h"
#include "uZuSkinPanel.h"

#include <array>
#include <cstdlib>

namespace {

constexpr const char16_t* kWeatherCache = u"W.Json";
constexpr const char16_t* kStatisticsCache = u"V.Json";
constexpr std::int64_t kStatisticsLifetimeHours = 4;

[[noreturn]] void RaiseMissingMember(StringView name) {
    throw Exception(Format(u"The data has no member \"%s\".", {name}));
}

// The member of an object node, or an error naming it (a root that is not an
// object has no members at all).
TQJson& Member(TQJson& node, StringView name) {
    const String key(name);
    if (!node.IsObject()) RaiseMissingMember(key);
    TQJson* child = node.ItemByName(key);
    if (!child) RaiseMissingMember(key);
    return *child;
}

// Parses a cache file; false when it cannot be read or is no JSON.
bool LoadCache(const String& fileName, TStringList& list, TQJson& doc) {
    try {
        list.LoadFromFile(fileName);
        doc.Parse(list.GetText());
        return true;
    } catch (const Exception&) {
        return false;
    }
}

void RequireBody(bool empty) {
    if (empty) throw Exception(u"The service returned an empty response.");
}

} // namespace

void TMainFrm::ShowWeather() {
    TStringList list;
    auto doc = std::make_unique<TQJson>();
    bool fetch = true;
    const String cacheFile = AppPath + kWeatherCache;
    if (FileExists(cacheFile) && LoadCache(cacheFile, list, *doc) && doc->IsObject()) {
        TQJson* date = doc->ItemByName(u"date");
        if (date && date->GetAsString() == FormatDateTime(u"yyyy-mm-dd", Date())) fetch = false;
    }
    if (fetch) {
        auto client = CreateDashboardClient();
        // The list keeps the encoding it was read in; its lines are replaced.
        list.Clear();
        client->Get(WeatherUrl(), list);
        RequireBody(list.Count() == 0);
        auto fetched = std::make_unique<TQJson>();
        fetched->Parse(list.GetText()); // a body that is no JSON never replaces the cache
        for (const char16_t* name :
             {u"city", u"wea", u"win", u"win_speed", u"tem2", u"tem1", u"air_pm25"})
            Member(*fetched, name);
        list.SaveToFile(cacheFile);
        doc = std::move(fetched);
    }
    // Read every value before anything on screen changes.
    const String city = Member(*doc, u"city").GetAsString();
    const String wea = Member(*doc, u"wea").GetAsString();
    const String win = Member(*doc, u"win").GetAsString();
    const String winSpeed = Member(*doc, u"win_speed").GetAsString();
    const String low = Member(*doc, u"tem2").GetAsString();
    const String high = Member(*doc, u"tem1").GetAsString();
    const String pm25 = Member(*doc, u"air_pm25").GetAsString();
    ZuSkinPanel1->Show();
    ZuSkinPanel2->Hide();
    Label1->SetCaption(city + u" " + wea + u" " + win + winSpeed);
    lblLow->SetCaption(low);
    lblHigh->SetCaption(high);
    lblPM25->SetCaption(pm25);
}

void TMainFrm::ShowStatistics() {
    const std::unique_ptr<TQJson> doc = LoadStatistics();
    TQJson& statistics = Member(Member(*doc, u"data"), u"statistics");
    const String confirmed = Member(statistics, u"confirmedCount").GetAsString();
    const String suspected = Member(statistics, u"suspectedCount").GetAsString();
    const String cured = Member(statistics, u"curedCount").GetAsString();
    const String dead = Member(statistics, u"deadCount").GetAsString();
    ZuSkinPanel1->Hide();
    ZuSkinPanel2->Show();
    lblConfirmed->SetCaption(confirmed);
    lblSuspected->SetCaption(suspected);
    lblCured->SetCaption(cured);
    lblDead->SetCaption(dead);
}

std::unique_ptr<TQJson> TMainFrm::LoadStatistics() {
    TStringList list;
    TStringStream stream(new TUTF8Encoding(), true);
    auto doc = std::make_unique<TQJson>();
    bool fetch = true;
    const String cacheFile = AppPath + kStatisticsCache;
    if (FileExists(cacheFile) && LoadCache(cacheFile, list, *doc) && doc->IsObject() &&
        doc->IndexOf(u"updateTime") != -1) {
        TFormatSettings settings = TFormatSettings::Create(LOCALE_USER_DEFAULT);
        settings.DateSeparator = u'-';
        settings.ShortDateFormat = u"yyyy-MM-dd";
        TDateTime stamp = 0;
        // A time stamp that does not convert makes the cache stale.
        if (TryStrToDateTime(doc->ItemByName(u"updateTime")->GetAsString(), stamp, settings) &&
            HoursBetween(Now(), stamp) < kStatisticsLifetimeHours)
            fetch = false;
    }
    if (!fetch) return doc;

    auto client = CreateDashboardClient();
    client->Get(StatisticsUrl(), stream);
    RequireBody(stream.GetSize() == 0);
    list.SetText(stream.DataString());
    auto fetched = std::make_unique<TQJson>();
    fetched->Parse(list.GetText());
    TQJson& statistics = Member(Member(*fetched, u"data"), u"statistics");
    for (const char16_t* name : {u"confirmedCount", u"suspectedCount", u"curedCount", u"deadCount"})
        Member(statistics, name);
    // Exactly one time stamp, and it is the last member.
    while (fetched->IndexOf(u"updateTime") != -1)
        fetched->Delete(fetched->IndexOf(u"updateTime"));
    fetched->AddVariant(u"updateTime", Variant(FormatDateTime(u"yyyy-mm-dd hh:nn:ss", Now())));
    fetched->SaveToFile(cacheFile, teUTF8, true, true);
    return fetched;
}
