#!/usr/bin/python3
"""The page's frame rate in headless Chromium (SwiftShader WebGL), at the
tests' 824 x 568 canvas: frames presented over SECONDS after the start view
is up, median of RUNS page loads.

usage: tools/bench/web_frame_rate.py [WEB_DIR] [--seconds S] [--runs N]
WEB_DIR defaults to build/web (cmake --preset web && cmake --build --preset web).
"""
import argparse
import os
import statistics
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tests", "web"))
import browser_test as page  # noqa: E402 (the tests' own way to run the page)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("web", nargs="?", default=os.path.join(ROOT, "build", "web"))
    parser.add_argument("--seconds", type=float, default=5.0)
    parser.add_argument("--runs", type=int, default=3)
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.web, "endless-field.wasm")):
        print("no browser build in %s" % args.web)
        return 1
    server = page.serve(args.web)
    url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    rates = []
    with tempfile.TemporaryDirectory(prefix="chromium-profile-") as profile:
        driver = page.start_chromium(profile)
        try:
            page.emulate(driver)
            for _ in range(args.runs):
                page.open_page(driver, url)
                first, start = page.present_count(driver), time.time()
                time.sleep(args.seconds)
                rates.append((page.present_count(driver) - first) / (time.time() - start))
                driver.get("about:blank")
        finally:
            driver.quit()
            server.shutdown()
    print("page frames per second at %dx%d: median %.1f of %s" % (
        page.CANVAS + (statistics.median(rates), ", ".join("%.1f" % r for r in rates))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
