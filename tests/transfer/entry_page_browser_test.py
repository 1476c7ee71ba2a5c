#!/usr/bin/env python3
"""The entry page in a real browser: made by the program, filled in by clicks and by keys,
saved, and read back by the program's import.

Usage: entry_page_browser_test.py HOOPFALL OUTPUT_DIR
Exits 77 (skipped) when Chromium, its driver or Selenium is missing. Screenshots of the page at
390 and 1400 pixels wide are left in OUTPUT_DIR.
"""
import csv
import glob
import io
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

SKIP = 77
CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver")
try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:
    webdriver = None
if not (CHROMIUM and DRIVER and webdriver):
    print("skipped: chromium, chromedriver or python3-selenium is missing")
    sys.exit(SKIP)

HOOPFALL, OUTPUT = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
WORK = tempfile.mkdtemp(prefix="entry-page-")
ENV = dict(os.environ)
for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
    ENV.pop(name, None)
for name, folder in (("HOME", ""), ("XDG_CONFIG_HOME", "/config"), ("XDG_DATA_HOME", "/data"),
                     ("TMPDIR", "/tmp"), ("XDG_RUNTIME_DIR", "/run")):
    os.makedirs(WORK + "/home" + folder, mode=0o700, exist_ok=True)
    ENV[name] = WORK + "/home" + folder

NAMES = ("Avalon Ridge,Brookhaven,Cedar Falls,Dunmore,Eastlake,Fairmont,Glenwood,Harborview,Ironwood,"
         "Juniper Bay,Kingsport,Lakeshore,Maplewood,Northgate,Oakridge,Pinecrest,Quarry Hill,Riverside,"
         "Stonebridge,Timberline,Union City,Valley Forge,Westbrook,Yorktown,Ashford,Bellmont,Clearwater,"
         "Driftwood,Elmhurst,Foxborough,Granite Peak,Highland,Indigo State,Jasper Tech,Kestrel,Lancaster,"
         "Meadowlark,Norwood,Orchard Park,Pemberton,Quincy Poly,Redwood,Silverlake,Thornbury,Upland,"
         "Vista Mar,Willowdale,Xavier Hill,Yellowstone,Zephyr,Alderbrook,Bayside,Coldspring,Deerfield,"
         "Emberton,Fernhill,Greystone,Hawthorne,Islington,Juno Coast,Kirkwood,Larchmont,Millbrook,"
         "Newhaven").split(",")
REGIONS = ["East", "West", "South", "Midwest"]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


def hoopfall(pool, *args):
    run = subprocess.run([HOOPFALL, "--pool", pool] + list(args), env=ENV, capture_output=True, text=True,
                         timeout=120)
    return run.returncode, run.stdout, run.stderr


def make_pool(name, names):
    """A pool whose field names the teams region by region, seed by seed; the code of each name."""
    lines = ["Team,Seed,Region,Wins,Losses"]
    codes = {}
    for r, region in enumerate(REGIONS):
        for s in range(1, 17):
            team = names[r * 16 + s - 1]
            lines.append("%s,%d,%s,%d,%d" % (team, s, region, 30 - s, s + 2))
            codes[team] = (r + 1) * 100 + s
    field = os.path.join(WORK, name + "-field.csv")
    with open(field, "w") as f:
        f.write("\n".join(lines) + "\n")
    pool = os.path.join(WORK, name)
    code, out, err = hoopfall(pool, "--import-field", field)
    assert code == 0, err
    return pool, codes


def stored_picks(pool, codes):
    """Every participant's picks as the program stores them: name -> 63 team codes."""
    path = os.path.join(WORK, "export.csv")
    code, out, err = hoopfall(pool, "--export-picks", path)
    assert code == 0, err
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f))
    return {row[0]: [codes.get(cell, 0) for cell in row[3:66]] for row in rows[1:]}


def browser(downloads, width, height):
    options = webdriver.ChromeOptions()
    options.binary_location = CHROMIUM
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                     "--window-size=%d,%d" % (width, height), "--user-data-dir=" + tempfile.mkdtemp(dir=WORK)):
        options.add_argument(argument)
    options.add_experimental_option("prefs", {"download.default_directory": downloads,
                                              "download.prompt_for_download": False})
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service(DRIVER), options=options)
    driver.execute_cdp_cmd("Page.setDownloadBehavior", {"behavior": "allow", "downloadPath": downloads})
    if width < 500:  # narrower than a desktop window can be: a phone's screen
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                               {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": True})
    return driver


def console_errors(driver):
    return [entry["message"] for entry in driver.get_log("browser") if entry["level"] == "SEVERE"]


def teams_of(driver, game):
    return [int(e.get_attribute("data-team") or 0)
            for e in driver.find_elements(By.CSS_SELECTOR, '[data-game="%d"] .team' % game)]


def page_picks(driver):
    return driver.execute_script("return window.hoopfallEntry.picks();")


def count_text(driver):
    return driver.find_element(By.ID, "entry-count").text


def wait_for_file(folder, name):
    path = os.path.join(folder, name)
    for _ in range(100):
        if os.path.exists(path) and not glob.glob(os.path.join(folder, "*.crdownload")):
            return path
        time.sleep(0.1)
    raise AssertionError("no download " + path + " in " + str(os.listdir(folder)))


def fill_by_clicks(driver, rng):
    expected = []
    for game in range(1, 64):
        team = rng.choice(teams_of(driver, game))
        element = driver.find_element(By.CSS_SELECTOR, '[data-game="%d"] [data-team="%d"]' % (game, team))
        driver.execute_script("arguments[0].scrollIntoView({block: 'center'});", element)
        element.click()
        expected.append(team)
    return expected


def main():
    pool, codes = make_pool("pool", NAMES)
    page = os.path.join(WORK, "entry-page.htm")
    code, out, err = hoopfall(pool, "--make-entry-page", page)
    check(code == 0 and os.path.exists(page), "--make-entry-page makes the page: " + err)
    html = open(page, encoding="utf-8").read()
    check(len(html.encode("utf-8")) < 250 * 1024, "the page is under 250 KB")
    check(not re.search(r'<(script|img|link|iframe|object|embed)\b[^>]*\b(src|href|data)=', html, re.I) and
          not re.search(r'url\(|@import', html),
          "the page loads nothing from outside")
    url = "file://" + page
    downloads = os.path.join(WORK, "downloads")
    os.makedirs(downloads)
    rng = random.Random(25)

    # A whole bracket by clicks, at desktop width.
    driver = browser(downloads, 1400, 1000)
    try:
        driver.get(url)
        check(count_text(driver) == "0 of 63 games picked", "the counter starts at 0")
        clicked = fill_by_clicks(driver, rng)
        check(page_picks(driver) == clicked, "each click picks its team")
        check(count_text(driver) == "63 of 63 games picked", "the counter counts 63")
        driver.find_element(By.ID, "entry-name").send_keys("Ann Clicker")
        driver.find_element(By.ID, "entry-tiebreaker").send_keys("141")
        driver.save_screenshot(os.path.join(OUTPUT, "entry-page-1400.png"))
        driver.find_element(By.ID, "entry-save").click()
        ann = wait_for_file(downloads, "Ann Clicker.csv")
        driver.find_element(By.ID, "entry-copy").click()
        copied = driver.find_element(By.ID, "entry-text").get_attribute("value")
        saved = open(ann, encoding="utf-8-sig", newline="").read()
        # A text box holds its line ends as line feeds.
        check(copied == saved.replace("\r\n", "\n"), "Copy as text holds the saved file")

        # Another team for game 1: the later games its old winner was picked in are cleared.
        old = clicked[0]
        later = [g for g in range(33, 64) if clicked[g - 1] == old]
        chain = []
        game = 1
        while True:
            game = (game + 65) // 2 if game % 2 else (game + 64) // 2
            if game > 63 or clicked[game - 1] != old:
                break
            chain.append(game)
        other = [t for t in teams_of(driver, 1) if t != old][0]
        driver.find_element(By.CSS_SELECTOR, '[data-game="1"] [data-team="%d"]' % other).click()
        after = page_picks(driver)
        check(after[0] == other, "game 1 takes the other team")
        check(all(after[g - 1] == 0 for g in chain) and chain == later,
              "the later picks of the replaced team are cleared: %s" % chain)
        check(all(after[g - 1] == clicked[g - 1] for g in range(2, 64) if g not in chain), "other picks stay")
        check(count_text(driver) == "%d of 63 games picked" % (63 - len(chain)), "the counter follows")
        check(not driver.find_elements(By.CSS_SELECTOR, '[data-game="33"] [data-team="%d"]' % old),
              "the replaced team is gone from the next game")
        errors = console_errors(driver)
        check(not errors, "no error in the console: %s" % errors)
    finally:
        driver.quit()

    # A whole bracket by keys alone, at phone width: one region at a time, no sideways scrolling.
    driver = browser(downloads, 390, 844)
    try:
        driver.get(url)
        width = driver.execute_script("return [document.documentElement.scrollWidth, window.innerWidth];")
        check(width[0] <= width[1] and width[1] == 390, "no sideways scrolling at 390 px: %s" % width)
        shown = [p.is_displayed() for p in driver.find_elements(By.CSS_SELECTOR, ".panel")]
        check(shown == [True, False, False, False, False], "one region at a time: %s" % shown)
        driver.save_screenshot(os.path.join(OUTPUT, "entry-page-390.png"))
        body = driver.find_element(By.TAG_NAME, "body")
        active = lambda: driver.switch_to.active_element
        body.send_keys(Keys.TAB)
        active().send_keys("Bo Keys")
        active().send_keys(Keys.TAB)
        active().send_keys("97")
        for _ in range(10):  # past the buttons and the tabs to the first game
            active().send_keys(Keys.TAB)
            if active().get_attribute("data-game"):
                break
        check(active().get_attribute("data-game") == "1", "Tab reaches game 1")
        keyed = []
        for game in range(1, 64):
            check(active().get_attribute("data-game") == str(game), "the focus is on game %d" % game)
            teams = teams_of(driver, game)
            if game == 63:
                active().send_keys(Keys.ENTER)  # Enter picks the upper team, a second one the lower
                active().send_keys(Keys.ENTER)
                keyed.append(teams[1])
                continue
            upper = rng.random() < 0.5
            active().send_keys(Keys.ARROW_UP if upper else Keys.ARROW_DOWN)
            keyed.append(teams[0] if upper else teams[1])
        check(page_picks(driver) == keyed, "the keys pick the teams")
        width = driver.execute_script("return [document.documentElement.scrollWidth, window.innerWidth];")
        check(width[0] <= width[1], "no sideways scrolling with the final games shown: %s" % width)
        for _ in range(120):
            if active().get_attribute("id") == "entry-save":
                break
            active().send_keys(Keys.SHIFT, Keys.TAB)
        active().send_keys(Keys.ENTER)
        bo = wait_for_file(downloads, "Bo Keys.csv")
        errors = console_errors(driver)
        check(not errors, "no error in the console: %s" % errors)
    finally:
        driver.quit()

    # Both files in one import: the stored picks are the ones picked.
    code, out, err = hoopfall(pool, "--import-picks", ann, bo)
    check(code == 0, "both files import: %s %s" % (out, err))
    stored = stored_picks(pool, codes)
    check(stored.get("Ann Clicker") == clicked, "the clicked bracket is stored")
    check(stored.get("Bo Keys") == keyed, "the keyed bracket is stored")

    # Again: already in the pool, passed over, not an error.
    code, out, err = hoopfall(pool, "--import-picks", ann)
    check(code == 0 and '"Ann Clicker" is already in the pool' in out and "0 participants imported" in out,
          "a file imported again is passed over: %d %s %s" % (code, out, err))
    check(len(stored_picks(pool, codes)) == 2, "nobody is stored twice")

    # Ten files in one import, one of them given twice.
    text = open(ann, encoding="utf-8-sig", newline="").read()
    files = []
    for k in range(1, 10):
        path = os.path.join(WORK, "player %d.csv" % k)
        with open(path, "w", encoding="utf-8", newline="") as f:
            f.write(text.replace("Ann Clicker", "Player %d" % k))
        files.append(path)
    code, out, err = hoopfall(pool, "--import-picks", *(files + [files[0]]))
    check(code == 0 and out.count("1 participant imported from") == 9 and "already in the pool" in out,
          "ten files in one import: %d %s %s" % (code, out, err))
    check(len(stored_picks(pool, codes)) == 11, "nine new participants")

    # A page of another field is refused, with its reason.
    other_pool, _ = make_pool("other", NAMES[:5] + ["Brand New"] + NAMES[6:])
    code, out, err = hoopfall(other_pool, "--import-picks", ann)
    check(code == 2 and 'column "Field": the picks were saved from an entry page made for another field' in err,
          "a page of another field is refused: %d %s %s" % (code, out, err))

    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("all checks passed; screenshots in", OUTPUT)
    shutil.rmtree(WORK, ignore_errors=True)
    return 0


sys.exit(main())
