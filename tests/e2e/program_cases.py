"""The panel program run as a user runs it, in its own folder, under a
private display, with stand-in services that refuse every fetch (503).

Whether a label shows what a cache file holds is seen in pictures: a label's
area must change when the file's value changes and come back pixel for pixel
when the first value comes back. Fresh caches must never reach the network.

Without --live the program has no network client yet, so no request may
reach the services; with --live every fetch must arrive there as expected.
"""

import datetime
import time

from harness import samples
from harness.panel import (
    FONT_BOX_TITLE,
    MAIN_WINDOW,
    PANEL,
    STATISTICS_LABELS,
    WEATHER_LABELS,
    Panel,
    ProgramFolder,
)
from harness.standin import response, route

WEATHER_TARGET = "/api?version=v6&appid=73905182&appsecret=Kq2VnX5d"
STATISTICS_TARGET = "/release/pneumonia"
W, V = samples.WEATHER_CACHE, samples.STATISTICS_CACHE


def refuse_fetches(session):
    unavailable = response("service unavailable\n", status=503)
    session.standin.script(
        [
            route(session.weather_host, responses=[unavailable]),
            route(session.statistics_host, responses=[unavailable]),
        ]
    )


def expect_fetches(session, env, *kinds):
    """kinds: "weather" / "statistics" in the order the program fetched."""
    got = [(r["host"], r["request_line"]) for r in session.standin.requests()]
    if not env.live:
        assert not got, f"requests reached the stand-in services: {got}. The program fetches now: " \
            "build with -DIP_E2E_LIVE=ON"
        return
    want = {
        "weather": (session.weather_host, f"GET {WEATHER_TARGET} HTTP/1.1"),
        "statistics": (session.statistics_host, f"GET {STATISTICS_TARGET} HTTP/1.1"),
    }
    assert got == [want[k] for k in kinds], got


def fresh_folder(session, env, with_font=True, name="program"):
    folder = ProgramFolder(session, env.exe, with_font=with_font, name=name)
    folder.write_weather(samples.weather(samples.today()))
    folder.write_statistics(samples.statistics())
    return folder


def close(panel):
    panel.click("close")
    status = panel.exit_status()
    assert status == 0, f"exit status {status}; output:\n{panel.log()}"


def box_picture(panel, label):
    """Waits for a message box, pictures it and dismisses it."""
    box = panel.wait_box()
    picture = Panel.window_image(panel.screenshot(label), box)
    panel.dismiss(box)
    return box, picture


def unchanged_labels(panel, before, after, labels):
    return [name for name, rect in labels.items() if panel.area(before, rect) == panel.area(after, rect)]


def after_change(panel, label, before, labels):
    """The picture once every label differs from before (or time is up)."""
    after = panel.screenshot(label, until=lambda shot: not unchanged_labels(panel, before, shot, labels))
    same = unchanged_labels(panel, before, after, labels)
    assert not same, f"labels that did not follow the cache file: {same}"
    return after


def picture_like(panel, label, reference, message):
    """The picture once its client area equals reference's (or time is up)."""
    shot = panel.screenshot(label, until=lambda shot: same_client_area(panel, shot, reference))
    assert same_client_area(panel, shot, reference), message
    return shot


def assert_labels_follow(panel, button, write, docs, shown, labels, view):
    """With docs[0] shown: after writing docs[1] and clicking, every label
    changes; after writing docs[0] back, the view draws as before."""
    write(docs[1])
    panel.click(button)
    after_change(panel, f"{view}-second", shown, labels)
    write(docs[0])
    panel.click(button)
    picture_like(panel, f"{view}-first-again", shown, f"the first {view} file draws differently now")


def same_client_area(panel, a, b):
    return panel.client_area(a) == panel.client_area(b)


def panel_area_changed(panel, before):
    return lambda shot: panel.area(shot, PANEL) != panel.area(before, PANEL)


def test_missing_font_shows_its_box_before_the_window(env):
    with env.session() as s:
        refuse_fetches(s)
        panel = Panel(s, fresh_folder(s, env, with_font=False))
        box = panel.wait(lambda: next(iter(s.display.windows()), None), 30, "the first window")
        assert box.name == FONT_BOX_TITLE, f"the first window is {box}, not the font box"
        time.sleep(1)  # the window must not come up behind the open box
        assert panel.find(MAIN_WINDOW) is None, "the main window appeared before the font box was closed"
        panel.screenshot("font-box")
        panel.dismiss(box)
        panel.main_window()
        panel.screenshot("window")
        assert not panel.boxes(), panel.boxes()
        close(panel)
        expect_fetches(s, env)


def test_fresh_caches_fill_both_views(env):
    today = samples.today()
    weather = [
        samples.weather(today, "北京", "晴", "西北风", "3级", tem1="26", tem2="-12", air_pm25="35"),
        samples.weather(today, "上海", "小雨", "东风", "1级", tem1="9", tem2="4", air_pm25="108"),
    ]
    statistics = [samples.statistics(84406, 7, 79584, 4642), samples.statistics(1, 23, 456, 7890)]
    with env.session() as s:
        refuse_fetches(s)
        folder = ProgramFolder(s, env.exe)
        folder.write_weather(weather[0])
        folder.write_statistics(statistics[0])
        panel = Panel(s, folder)
        panel.main_window()
        assert not panel.boxes(), panel.boxes()
        first = panel.screenshot("weather")

        # btnReset reads W.Json again, btnPrev reads V.Json.
        assert_labels_follow(panel, "btnReset", folder.write_weather, weather, first, WEATHER_LABELS, "weather")
        panel.click("btnPrev")
        numbers = panel.screenshot("statistics", until=panel_area_changed(panel, first))
        assert panel_area_changed(panel, first)(numbers), "btnPrev did not switch the view"
        write = folder.write_statistics
        assert_labels_follow(panel, "btnPrev", write, statistics, numbers, STATISTICS_LABELS, "statistics")

        panel.click("btnReset")
        picture_like(panel, "weather-back", first, "switching back does not restore the weather view")
        assert not panel.boxes(), panel.boxes()
        close(panel)
        expect_fetches(s, env)


def assert_buttons_change_nothing(panel, view, before):
    for button in ("btnNext", "btnAbout"):
        panel.click(button)
        after = panel.screenshot(f"{view}-after-{button}")
        assert same_client_area(panel, after, before), f"{button} changed the {view} view"
        assert not panel.boxes(), f"{button} opened {panel.boxes()}"


def test_next_and_about_change_nothing(env):
    with env.session() as s:
        refuse_fetches(s)
        folder = fresh_folder(s, env)
        caches = folder.read(W), folder.read(V)
        panel = Panel(s, folder)
        panel.main_window()
        # In both views, so a button wired to either view's refresh shows.
        weather = panel.screenshot("weather")
        assert_buttons_change_nothing(panel, "weather", weather)
        panel.click("btnPrev")
        numbers = panel.screenshot("statistics", until=panel_area_changed(panel, weather))
        assert panel_area_changed(panel, weather)(numbers), "btnPrev did not switch the view"
        assert_buttons_change_nothing(panel, "statistics", numbers)
        assert (folder.read(W), folder.read(V)) == caches, "a cache file was rewritten"
        close(panel)
        expect_fetches(s, env)


def test_close_button_exits_with_status_zero(env):
    with env.session() as s:
        refuse_fetches(s)
        panel = Panel(s, fresh_folder(s, env))
        window = panel.main_window()
        close(panel)
        assert not s.display.windows(), f"left behind: {s.display.windows()} (main window was {window})"


def test_stale_cache_shows_the_error_box_and_the_window_stays_usable(env):
    with env.session() as s:
        refuse_fetches(s)
        folder = ProgramFolder(s, env.exe)
        folder.write_weather(samples.weather(samples.yesterday()))
        folder.write_statistics(samples.statistics())
        stale_weather = folder.read(W)

        panel = Panel(s, folder)
        box_picture(panel, "weather-fetch-failed")
        panel.main_window()
        assert not panel.boxes(), panel.boxes()
        assert folder.read(W) == stale_weather, "a failed fetch changed W.Json"
        weather = panel.screenshot("after-box")

        # Still usable: the fresh statistics show.
        panel.click("btnPrev")
        numbers = panel.screenshot("statistics", until=panel_area_changed(panel, weather))
        assert not panel.boxes(), panel.boxes()
        assert panel_area_changed(panel, weather)(numbers), "btnPrev did not switch the view"

        # Four hours old is stale: another box, and the view stays as it was.
        folder.write_statistics(samples.statistics(1, 2, 3, 4), age=datetime.timedelta(hours=4))
        stale_statistics = folder.read(V)
        panel.click("btnPrev")
        box_picture(panel, "statistics-fetch-failed")
        assert same_client_area(panel, panel.screenshot("statistics-kept"), numbers), "the view changed"
        assert folder.read(V) == stale_statistics, "a failed fetch changed V.Json"
        close(panel)
        expect_fetches(s, env, "weather", "statistics")


def test_corrupt_cache_is_treated_as_stale(env):
    # A corrupt file must lead to a fetch like a stale one, so it fails with
    # the same box (the fetch's error, not the parser's).
    with env.session() as s:
        refuse_fetches(s)
        stale = ProgramFolder(s, env.exe, name="stale")
        stale.write_weather(samples.weather(samples.yesterday()))
        stale.write_statistics(samples.statistics(), age=datetime.timedelta(hours=5))
        panel = Panel(s, stale, name="stale-caches")
        _, stale_weather_box = box_picture(panel, "weather")
        panel.main_window()
        panel.click("btnPrev")
        _, stale_statistics_box = box_picture(panel, "statistics")
        close(panel)

        corrupt = ProgramFolder(s, env.exe, name="corrupt")
        corrupt.write(W, '{"date":"2020-01-0')
        corrupt.write(V, samples.UTF8_BOM + b'{\r\n  "data":{\r\n    "statistics":[1,2,')
        files = corrupt.read(W), corrupt.read(V)
        panel = Panel(s, corrupt, name="corrupt-caches")
        _, weather_box = box_picture(panel, "weather")
        assert weather_box == stale_weather_box, "a corrupt W.Json was not handled like a stale one"
        panel.main_window()
        panel.click("btnPrev")
        _, statistics_box = box_picture(panel, "statistics")
        assert statistics_box == stale_statistics_box, "a corrupt V.Json was not handled like a stale one"
        assert (corrupt.read(W), corrupt.read(V)) == files, "a failed fetch changed a cache file"
        close(panel)
        expect_fetches(s, env, "weather", "statistics", "weather", "statistics")
