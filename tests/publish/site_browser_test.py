#!/usr/bin/python3
"""The published site in headless Chromium, at a phone's width and a desktop's.

Usage: site_browser_test.py PUBLISH_SAMPLE WORKDIR

Runs PUBLISH_SAMPLE WORKDIR (a site in WORKDIR/site, the standings export and the round values
beside it), then opens every page. Screenshots of the standings and of one participant's page
are kept in WORKDIR. Exits 77 (skipped) when Chromium, its driver or Selenium is missing.
"""
import csv
import os
import shutil
import subprocess
import sys

SKIP = 77
WIDTHS = (390, 1400)
HOSTILE = "<script>alert(1)</script>"
failures = []


def check(condition, text):
    if not condition:
        failures.append(text)
        print("FAIL:", text)


def main():
    sample, work = sys.argv[1], sys.argv[2]
    try:
        from selenium import webdriver
        from selenium.common.exceptions import NoAlertPresentException, WebDriverException
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        print("selenium is not installed")
        return SKIP
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    driver_path = shutil.which("chromedriver")
    if not browser or not driver_path:
        print("chromium or chromedriver is missing")
        return SKIP

    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    # Twice: the second run replaces the first one's site in the same folder.
    for _ in range(2):
        subprocess.run([sample, work], check=True)
    site = os.path.join(work, "site")
    with open(os.path.join(work, "standings.csv"), encoding="cp1252", newline="") as f:
        rows = [r for r in csv.reader(f)]
    header, standings = rows[0], [r for r in rows[1:] if len(r) == len(rows[0])]
    values = [int(v) for v in open(os.path.join(work, "values.txt")).read().split()]
    pages = sorted(n for n in os.listdir(site) if n.endswith(".html"))
    participant_pages = [n for n in pages if n.startswith("p") and n[1:2].isdigit()]
    check(len(participant_pages) == len(standings), "one page per participant")

    options = webdriver.ChromeOptions()
    options.binary_location = browser
    for arg in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                "--allow-file-access-from-files"):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    try:
        driver = webdriver.Chrome(service=Service(driver_path), options=options)
    except WebDriverException as error:
        print("chromium cannot start:", error)
        return SKIP
    try:
        def open_page(name, width):
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                   {"width": width, "height": 900, "deviceScaleFactor": 1,
                                    "mobile": width < 600})
            driver.get("file://" + os.path.join(site, name))
            try:
                alert = driver.switch_to.alert
                check(False, f"{name}: an alert came up: {alert.text}")
                alert.dismiss()
            except NoAlertPresentException:
                pass
            errors = [e for e in driver.get_log("browser") if e["level"] in ("SEVERE", "ERROR")]
            check(not errors, f"{name} at {width} px: console errors {errors}")

        def screenshot(name, width, shot):
            height = driver.execute_script("return document.documentElement.scrollHeight")
            driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                   {"width": width, "height": min(height, 4000), "deviceScaleFactor": 1,
                                    "mobile": width < 600})
            driver.save_screenshot(os.path.join(work, shot))

        def sideways(width):
            return driver.execute_script("return document.documentElement.scrollWidth") > width

        for width in WIDTHS:
            for name in pages:
                open_page(name, width)
                if name == "index.html" or name == participant_pages[0]:
                    check(not sideways(width), f"{name} scrolls sideways at {width} px")
                    shot = "publish-" + ("index" if name == "index.html" else "participant") + f"-{width}.png"
                    screenshot(name, width, shot)

        # The standings: the export's figures, every participant linked, the hostile name as text.
        open_page("index.html", 1400)
        shown = driver.execute_script("""
            return [...document.querySelectorAll('tbody tr')].map(tr => {
                const cells = [...tr.cells].map(td => td.textContent.trim());
                const link = tr.querySelector('a');
                return {cells: cells, href: link.getAttribute('href'), name: link.textContent};
            });""")
        check(len(shown) == len(standings), "every participant is on the standings")
        check(sorted(r["href"] for r in shown) == sorted(participant_pages), "every participant is linked")
        check(any(r["name"] == HOSTILE for r in shown), "the hostile name shows as text")
        totals = {}
        for row, export in zip(shown, standings):
            cells = row["cells"]  # #, move, name, R1..R6, total, potential
            rounds = [int(c) for c in cells[3:9]]
            pairs = [str(rounds[0] + rounds[1]), str(rounds[2] + rounds[3]), str(rounds[4] + rounds[5])]
            mine = [cells[0], row["name"], cells[9], cells[10]] + pairs
            check(mine == export[0:7], f"standings row {mine} is the export's {export[0:7]}")
            totals[row["href"]] = int(cells[9])

        # Each participant's page: green picks bring the points, and the colours are the classes'.
        colour = {"w": "rgb(205, 236, 205)", "l": "rgb(247, 204, 204)", "o": "rgb(228, 228, 228)"}
        seen = set()
        for name in participant_pages:
            open_page(name, 1400)
            picks = driver.execute_script("""
                return [...document.querySelectorAll('[data-r]')].map(d => ({
                    round: +d.dataset.r, state: ['w','l','o'].find(c => d.classList.contains(c)) || '',
                    background: getComputedStyle(d).backgroundColor}));""")
            check(len(picks) == 63, f"{name}: 63 picks")
            points = sum(values[p["round"] - 1] for p in picks if p["state"] == "w")
            check(points == totals[name], f"{name}: green picks make {points}, the standings say {totals[name]}")
            for p in picks:
                seen.add(p["state"])
                expected = colour.get(p["state"], "rgba(0, 0, 0, 0)")
                check(p["background"] == expected, f"{name}: a {p['state'] or 'open'} pick is {p['background']}")
            link = driver.execute_script("return document.querySelector('a[href=\"index.html\"]') !== null")
            check(link, f"{name} links back")
        check(seen == {"w", "l", "o", ""}, f"the sample shows every kind of pick: {seen}")
    finally:
        driver.quit()
    print("screenshots:", ", ".join(sorted(n for n in os.listdir(work) if n.endswith(".png"))))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
