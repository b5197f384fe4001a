// The dashboard through a fake network client, on the headless window system.
#include "DashboardClient.h"
#include "FrmApplication.h"
#include "RtlDateTime.h"
#include "RtlDateTimeFormat.h"
#include "RtlException.h"
#include "RtlFileStream.h"
#include "TestSupport.h"
#include "WinHeadless.h"
#include "clSocketUtils.h"
#include "uZuSkinButton.h"
#include "uZuSkinPanel.h"
#include "unitMain.h"

#include <gtest/gtest.h>

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// What the fake service answers, and what it was asked.
struct FakeService {
    std::string WeatherBody;    // UTF-8 text, split into lines like a real client
    std::string StatisticsBody; // raw bytes
    bool Fail = false;
    std::function<void()> DuringWait; // runs inside Get, as a network wait would
    int Requests = 0;
    std::vector<String> Urls;
};

class FakeClient : public IDashboardClient {
public:
    explicit FakeClient(FakeService& service) : FService(service) {}
    void Get(const String& url, TStrings& destination) override {
        Begin(url);
        if (!FService.WeatherBody.empty()) destination.SetText(Utf8ToString(FService.WeatherBody));
    }
    void Get(const String& url, TStream& destination) override {
        Begin(url);
        destination.WriteBuffer(FService.StatisticsBody.data(),
                                static_cast<std::int64_t>(FService.StatisticsBody.size()));
    }

private:
    void Begin(const String& url) {
        ++FService.Requests;
        FService.Urls.push_back(url);
        if (FService.DuringWait) FService.DuringWait();
        if (FService.Fail) throw EclSocketError(u"Connection refused", 10061);
    }
    FakeService& FService;
};

std::string Today() {
    return StringToUtf8(FormatDateTime(u"yyyy-mm-dd", Date()));
}

std::string WeatherJson(const std::string& date, const std::string& city = "北京") {
    return "{\"date\":\"" + date + "\",\"city\":\"" + city +
           "\",\"wea\":\"晴\",\"win\":\"北风\",\"win_speed\":\"3级\",\"tem1\":12,\"tem2\":\"-3\","
           "\"air_pm25\":\"35\"}";
}

std::string StatisticsJson(const std::string& extra = "") {
    return "{\"data\":{\"statistics\":{\"confirmedCount\":81999,\"suspectedCount\":104,"
           "\"curedCount\":76200,\"deadCount\":3300}}" +
           extra + "}";
}

std::string StampHoursAgo(double hours) {
    return StringToUtf8(FormatDateTime(u"yyyy-mm-dd hh:nn:ss", Now() - hours / 24.0));
}

std::string StatisticsCache(const std::string& stamp) {
    return "\xEF\xBB\xBF{\"data\":{\"statistics\":{\"confirmedCount\":1,\"suspectedCount\":2,"
           "\"curedCount\":3,\"deadCount\":4}},\"updateTime\":\"" +
           stamp + "\"}";
}

class Dashboard : public ::testing::Test {
protected:
    void SetUp() override {
        platform::headless::Install();
        CreateApplication();
        Application()->OnException = [this](TPersistent*, const std::exception& e) {
            Errors.push_back(TApplication::ExceptionBoxText(e));
        };
        Application()->MessageBoxHook = [this](StringView text, StringView, UINT) {
            Boxes.emplace_back(text);
            return IDOK;
        };
        AppPath = Utf8ToString(Dir.Path() + "/");
        SetDashboardClientFactory([this] { return std::make_unique<FakeClient>(Service); });
    }
    void TearDown() override {
        DestroyApplication();
        SetDashboardClientFactory(nullptr);
        AppPath.clear();
    }
    TMainFrm& Open() {
        Application()->CreateForm(MainFrm);
        MainFrm->ShowForm();
        platform::headless::PumpMessages();
        return *MainFrm;
    }
    void ClickButton(TZuSkinImageButton* button) {
        RECT rc;
        GetWindowRect(button->Handle(), &rc);
        platform::headless::Click((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    std::string Weather() { return ReadFileBytes(Dir.File("W.Json")); }
    std::string Statistics() { return ReadFileBytes(Dir.File("V.Json")); }

    TempDir Dir;
    FakeService Service;
    std::vector<String> Errors;
    std::vector<String> Boxes;
};

} // namespace

TEST_F(Dashboard, FreshWeatherCacheFillsTheViewWithoutFetching) {
    WriteFileBytes(Dir.File("W.Json"), WeatherJson(Today()) + "\r\n");
    TMainFrm& form = Open();
    EXPECT_EQ(Service.Requests, 0);
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(form.Label1->GetCaption(), u"北京 晴 北风3级");
    EXPECT_EQ(form.lblLow->GetCaption(), u"-3");
    EXPECT_EQ(form.lblHigh->GetCaption(), u"12");
    EXPECT_EQ(form.lblPM25->GetCaption(), u"35");
    EXPECT_TRUE(form.ZuSkinPanel1->GetVisible());
    EXPECT_FALSE(form.ZuSkinPanel2->GetVisible());
    // Creation adjusted the number labels and stacked the panels.
    EXPECT_EQ(form.lblDead->Font().GetName(), u"HP15C Simulator Font");
    EXPECT_EQ(form.lblPM25->Font().GetCharset(), ANSI_CHARSET);
    EXPECT_EQ(form.ZuSkinPanel2->GetLeft(), 43);
    EXPECT_EQ(form.ZuSkinPanel2->GetTop(), 32);
    EXPECT_EQ(form.ClientWidth(), 645);
    EXPECT_EQ(form.ClientHeight(), 349);
}

TEST_F(Dashboard, StaleWeatherIsFetchedAndSavedWithLineEnds) {
    WriteFileBytes(Dir.File("W.Json"), WeatherJson("2001-01-01", "旧") + "\r\n");
    Service.WeatherBody = WeatherJson(Today(), "上海") + "\n";
    TMainFrm& form = Open();
    ASSERT_EQ(Service.Requests, 1);
    EXPECT_EQ(Service.Urls[0], WeatherUrl());
    EXPECT_EQ(form.Label1->GetCaption(), u"上海 晴 北风3级");
    EXPECT_EQ(Weather(), WeatherJson(Today(), "上海") + "\r\n");
    // Now fresh: a second refresh does not fetch.
    form.btnResetClick(nullptr);
    EXPECT_EQ(Service.Requests, 1);
}

TEST_F(Dashboard, WeatherBodyThatIsNoJsonNeverReplacesTheCache) {
    const std::string old = WeatherJson("2001-01-01", "旧") + "\r\n";
    WriteFileBytes(Dir.File("W.Json"), old);
    Service.WeatherBody = "<html>busy</html>";
    TMainFrm& form = Open();
    EXPECT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Weather(), old);
    EXPECT_EQ(form.Label1->GetCaption(), u"乌鲁木齐 多云转小雨 空气优"); // placeholder kept
}

TEST_F(Dashboard, CorruptCachesAreStaleAndOnlyTheFetchErrorIsReported) {
    WriteFileBytes(Dir.File("W.Json"), "{\"date\": \"" + Today() + "\",");
    WriteFileBytes(Dir.File("V.Json"), StatisticsCache("not a time"));
    Service.Fail = true;
    TMainFrm& form = Open();
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], u"Connection refused.");
    // Called directly (not through a message) the failure reaches the caller.
    EXPECT_THROW(form.btnPrevClick(nullptr), EclSocketError);
}

TEST_F(Dashboard, CorruptCacheRecoversOnTheNextSuccessfulFetch) {
    WriteFileBytes(Dir.File("V.Json"), "\xEF\xBB\xBF{broken");
    WriteFileBytes(Dir.File("W.Json"), WeatherJson(Today()));
    Service.StatisticsBody = StatisticsJson();
    TMainFrm& form = Open();
    form.btnPrevClick(nullptr);
    EXPECT_EQ(Service.Requests, 1);
    EXPECT_EQ(form.lblConfirmed->GetCaption(), u"81999");
    EXPECT_EQ(form.lblDead->GetCaption(), u"3300");
    EXPECT_FALSE(form.ZuSkinPanel1->GetVisible());
    EXPECT_TRUE(form.ZuSkinPanel2->GetVisible());
}

TEST_F(Dashboard, EmptyBodiesAreErrorsAndSaveNothing) {
    const std::string oldWeather = WeatherJson("2001-01-01") + "\r\n";
    const std::string oldStatistics = StatisticsCache(StampHoursAgo(5));
    WriteFileBytes(Dir.File("W.Json"), oldWeather);
    WriteFileBytes(Dir.File("V.Json"), oldStatistics);
    TMainFrm& form = Open();
    EXPECT_THROW(form.ShowStatistics(), Exception);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_EQ(Errors[0], u"The service returned an empty response.");
    EXPECT_EQ(Weather(), oldWeather);
    EXPECT_EQ(Statistics(), oldStatistics); // no second "updateTime"
}

TEST_F(Dashboard, MissingMembersAreNamedAndLeaveTheViewAlone) {
    WriteFileBytes(Dir.File("W.Json"), WeatherJson(Today()));
    TMainFrm& form = Open();
    WriteFileBytes(Dir.File("V.Json"),
                   "\xEF\xBB\xBF{\"dat\":{},\"updateTime\":\"" + StampHoursAgo(1) + "\"}");
    try {
        form.ShowStatistics();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find(u"\"data\""), String::npos) << StringToUtf8(e.Message());
    }
    EXPECT_TRUE(form.ZuSkinPanel1->GetVisible());
    EXPECT_EQ(form.lblConfirmed->GetCaption(), u"12345");

    // A weather root that is no object names the first member the view reads.
    WriteFileBytes(Dir.File("W.Json"), "[1,2]");
    Service.WeatherBody = "[1,2]";
    try {
        form.ShowWeather();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_NE(e.Message().find(u"\"city\""), String::npos);
    }
    EXPECT_EQ(form.Label1->GetCaption(), u"北京 晴 北风3级");
    EXPECT_EQ(Weather(), "[1,2]"); // the bad body was not saved
}

TEST_F(Dashboard, StatisticsFreshnessBoundaries) {
    WriteFileBytes(Dir.File("W.Json"), WeatherJson(Today()));
    Service.StatisticsBody = StatisticsJson();
    TMainFrm& form = Open();
    struct Case {
        double HoursAgo;
        bool Fetch;
    };
    for (const Case c : {Case{3 + 59 / 60.0, false}, Case{4, true}, Case{-(3 + 59 / 60.0), false},
                         Case{-4 - 1 / 3600.0, true}, Case{0, false}}) {
        WriteFileBytes(Dir.File("V.Json"), StatisticsCache(StampHoursAgo(c.HoursAgo)));
        const int before = Service.Requests;
        form.ShowStatistics();
        EXPECT_EQ(Service.Requests - before, c.Fetch ? 1 : 0) << c.HoursAgo << " hours ago";
    }
}

TEST_F(Dashboard, SavedStatisticsAreIndentedUtf8WithTheStampLast) {
    WriteFileBytes(Dir.File("W.Json"), WeatherJson(Today()));
    // A body that carries its own stamp still ends up with exactly one.
    Service.StatisticsBody = StatisticsJson(",\"updateTime\":\"x\",\"other\":true");
    TMainFrm& form = Open();
    const TDateTime before = Now();
    form.ShowStatistics();
    const std::string saved = Statistics();
    ASSERT_GE(saved.size(), 3u);
    EXPECT_EQ(saved.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_NE(saved.find("{\r\n  \"data\":{\r\n    \"statistics\":{"), std::string::npos) << saved;
    const std::size_t stamp = saved.find("\"updateTime\":\"");
    ASSERT_NE(stamp, std::string::npos);
    EXPECT_EQ(saved.find("updateTime", stamp + 5), std::string::npos);
    EXPECT_EQ(saved.substr(saved.size() - 4), "\"\r\n}") << "the stamp is the last member";
    const String text = Utf8ToString(saved.substr(stamp + 14, 19));
    TFormatSettings settings = TFormatSettings::Create(LOCALE_USER_DEFAULT);
    settings.ShortDateFormat = u"yyyy-MM-dd";
    const TDateTime written = StrToDateTime(text, settings);
    EXPECT_LE(SecondsBetween(written, before), 2);
}

TEST_F(Dashboard, DeadButtonsDoNothingAndCloseEndsTheProgram) {
    WriteFileBytes(Dir.File("W.Json"), WeatherJson(Today()));
    TMainFrm& form = Open();
    ClickButton(form.btnNext);
    ClickButton(form.btnAbout);
    EXPECT_EQ(Service.Requests, 0);
    EXPECT_TRUE(form.ZuSkinPanel1->GetVisible());
    EXPECT_FALSE(Application()->Terminating());
    ClickButton(form.ZuSkinImageButton1);
    EXPECT_TRUE(Application()->Terminating());
    Application()->Run(); // takes the quit request and returns
    EXPECT_TRUE(Application()->Terminated());
}

TEST_F(Dashboard, ClosingWhileAFetchWaitsExitsWithoutAnErrorBox) {
    WriteFileBytes(Dir.File("W.Json"), WeatherJson(Today()));
    TMainFrm& form = Open();
    Service.Fail = true; // the interrupted request fails once the window is gone
    Service.DuringWait = [&] { ClickButton(form.ZuSkinImageButton1); };
    ClickButton(form.btnPrev);
    EXPECT_EQ(Service.Requests, 1);
    EXPECT_TRUE(Errors.empty());
    Application()->Run();
    EXPECT_TRUE(Application()->Terminated());
}

TEST_F(Dashboard, MissingFontFileIsReportedAtStartUp) {
    // The test program's folder has no font file.
    UnitMainInitialization();
    EXPECT_EQ(AppPath, ExtractFilePath(Application()->ExeName()));
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes.back(), u"找不到字体文件 HP-15C_Simulator_Font_2.TTF，无法正常显示字体");
    UnitMainFinalization();
    EXPECT_TRUE(AppPath.empty());
}
