#!/usr/bin/python3
"""The page's frame rate in headless Chromium (SwiftShader WebGL) in the
tests' 1024 x 768 CSS-pixel viewport: frames presented over SECONDS after the
start view is up, median of RUNS page loads, at each device pixel ratio
asked for (--dpr 1 2 3: the same viewport with 1, 4 and 9 times the device
pixels; the canvas's drawing buffer is the viewport's device pixels less 200
each way, 824 x 568 at 1). The ratios take turns within each round, so that
a change in the machine's load touches them alike, and each is also given
against the first: the median of the rounds' ratios of their rates.

usage: tools/bench/web_frame_rate.py [WEB_DIR] [--seconds S] [--runs N] [--dpr R...]
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


def measure(driver, url, ratio, seconds):
    """One page load at `ratio`: the drawing buffer's size and frames per second."""
    page.emulate(driver, ratio=ratio)
    page.open_page(driver, url)
    size = tuple(driver.execute_script("return [Module.canvas.width, Module.canvas.height];"))
    first, start = page.present_count(driver), time.time()
    time.sleep(seconds)
    rate = (page.present_count(driver) - first) / (time.time() - start)
    driver.get("about:blank")
    return size, rate


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("web", nargs="?", default=os.path.join(ROOT, "build", "web"))
    parser.add_argument("--seconds", type=float, default=5.0)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--dpr", type=float, nargs="+", default=[1.0],
                        help="device pixels per CSS pixel (several: one row each)")
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.web, "endless-field.wasm")):
        print("no browser build in %s" % args.web)
        return 1
    server = page.serve(args.web)
    url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    rates = {ratio: [] for ratio in args.dpr}
    sizes = {}
    with tempfile.TemporaryDirectory(prefix="chromium-profile-") as profile:
        driver = page.start_chromium(profile)
        try:
            for _ in range(args.runs):
                for ratio in args.dpr:
                    sizes[ratio], rate = measure(driver, url, ratio, args.seconds)
                    rates[ratio].append(rate)
        finally:
            driver.quit()
            server.shutdown()
    first = rates[args.dpr[0]]
    for ratio in args.dpr:
        width, height = sizes[ratio]
        against = statistics.median(r / f for r, f in zip(rates[ratio], first))
        print("page frames per second at device pixel ratio %g (%dx%d, %.2f MP): median %.1f of %s;"
              " %.2f of the rate at %g" % (
                  ratio, width, height, width * height / 1e6, statistics.median(rates[ratio]),
                  ", ".join("%.1f" % r for r in rates[ratio]), against, args.dpr[0]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
