#!/usr/bin/python3
"""Sample weather and statistics documents, and the cache files the panel reads.

The files are written the way the program writes them itself: W.Json holds
the weather body's lines, each ended with CR LF, in UTF-8 without a byte-order
mark; V.Json is the statistics document indented by two spaces with CR LF
line breaks after the UTF-8 byte-order mark, its "updateTime" member last.

Run as a script, `samples.py demo FOLDER` writes fresh caches into FOLDER.
"""

import datetime
import json
import os
import sys
import time

WEATHER_CACHE = "W.Json"
STATISTICS_CACHE = "V.Json"
UTF8_BOM = b"\xef\xbb\xbf"


def weather(date, city="北京", wea="晴", win="西北风", win_speed="3级", tem1="26", tem2="-12", air_pm25="35"):
    """A weather document as the weather service returns it."""
    return {
        "cityid": "101010100",
        "date": date,
        "week": "星期二",
        "update_time": "08:00",
        "city": city,
        "cityEn": "beijing",
        "country": "中国",
        "wea": wea,
        "wea_img": "qing",
        "tem": tem1,
        "tem1": tem1,
        "tem2": tem2,
        "win": win,
        "win_speed": win_speed,
        "win_meter": "9km/h",
        "humidity": "31%",
        "air": "46",
        "air_pm25": air_pm25,
        "air_level": "优",
    }


def statistics(confirmed=84406, suspected=7, cured=79584, dead=4642):
    """A statistics document as the statistics service returns it."""
    return {
        "code": 0,
        "data": {
            "statistics": {
                "confirmedCount": confirmed,
                "suspectedCount": suspected,
                "curedCount": cured,
                "deadCount": dead,
                "seriousCount": 99,
            }
        },
    }


def today():
    """Today's local date, "yyyy-mm-dd"; waits out the last seconds of a day
    so a file written as today's is still today's when the program reads it."""
    now = datetime.datetime.now()
    midnight = datetime.datetime.combine(now.date() + datetime.timedelta(days=1), datetime.time())
    if (midnight - now).total_seconds() < 15:
        time.sleep((midnight - now).total_seconds() + 1)
    return datetime.date.today().strftime("%Y-%m-%d")


def yesterday():
    return (datetime.date.fromisoformat(today()) - datetime.timedelta(days=1)).strftime("%Y-%m-%d")


def update_time(moment):
    return moment.strftime("%Y-%m-%d %H:%M:%S")


def weather_body(doc):
    """The weather service's body: one line of compact JSON."""
    return json.dumps(doc, ensure_ascii=False, separators=(",", ":"))


def weather_cache_bytes(doc):
    return (weather_body(doc) + "\r\n").encode("utf-8")


def statistics_cache_bytes(doc, fetched):
    """V.Json for doc fetched at the local moment `fetched` (a datetime)."""
    doc = dict(doc)
    doc.pop("updateTime", None)
    doc["updateTime"] = update_time(fetched)
    text = json.dumps(doc, ensure_ascii=False, indent=2, separators=(",", ":"))
    return UTF8_BOM + text.replace("\n", "\r\n").encode("utf-8")


def write_file(path, data):
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def write_demo(folder):
    """Fresh caches, so the panel shows data without the network."""
    write_file(os.path.join(folder, WEATHER_CACHE), weather_cache_bytes(weather(today())))
    write_file(os.path.join(folder, STATISTICS_CACHE), statistics_cache_bytes(statistics(), datetime.datetime.now()))


def main(argv):
    if len(argv) != 3 or argv[1] != "demo":
        sys.stderr.write("usage: samples.py demo FOLDER\n")
        return 2
    write_demo(argv[2])
    print(f"wrote {WEATHER_CACHE} and {STATISTICS_CACHE} in {argv[2]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
