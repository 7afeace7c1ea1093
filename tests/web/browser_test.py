#!/usr/bin/python3
"""The browser build in headless Chromium, driven over WebDriver.

usage: browser_test.py WEB_DIR BUILD_DIR CASE [--page-screenshot FILE]

WEB_DIR is build/web (the page, the .js/.wasm and the images); BUILD_DIR a
native build with the capture tool and image_compare. CASE is one of:
  start_view  the canvas shows the native capture's start view (mean
              difference <= 2, >= 99% of pixels within 16); prints the
              page's frame rate
  hold_up     holding Up for a second moves the view
  escape      Escape ends the program with exit code 0, and the page says so
  missing_sky a package without pic/sky/top.jpg shows exactly one dialog,
              "Fehler beim Laden der Textur Sky TOP" captioned "Fehler", and
              the program runs on after OK
  decoders    the page's decoders (check/, the D3DX decoders on their own)
              give every image of the page within 2 steps of the native
              decoders' pixels
Exits 77 (skipped) when the browser build or Chromium is missing. Every file
it writes goes under BUILD_DIR/web_test/CASE (or the given screenshot path).
"""
import base64
import functools
import http.server
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77
VIEWPORT = (1024, 768)  # the program's canvas is 200 pixels smaller: 824 x 568
CANVAS = (VIEWPORT[0] - 200, VIEWPORT[1] - 200)


def skip(reason):
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def fail(reason):
    print("FAILED: " + reason)
    sys.exit(1)


try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:
    skip("python3-selenium is not installed")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".js": "text/javascript"})

    def log_message(self, *args):
        pass


def serve(folder):
    """An HTTP server for `folder` on 127.0.0.1 and a free port."""
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def start_chromium(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for arg in ("--headless=new", "--no-sandbox", "--use-angle=swiftshader",
                "--enable-unsafe-swiftshader", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run",
                "--user-data-dir=" + profile,
                "--window-size=%d,%d" % VIEWPORT):
        options.add_argument(arg)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    service = Service(executable_path="/usr/bin/chromedriver")
    driver = webdriver.Chrome(options=options, service=service)
    # The viewport exactly, whatever the window's frame takes.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
        "width": VIEWPORT[0], "height": VIEWPORT[1], "deviceScaleFactor": 1, "mobile": False})
    return driver


def wait_for(what, condition, seconds=60):
    deadline = time.time() + seconds
    while time.time() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    fail("timed out waiting for " + what)


def present_count(driver):
    # The export's wrapper exists before the WebAssembly module does: ask only
    # once the runtime has started the program.
    return driver.execute_script(
        "return Module.calledRun && Module._platform_present_count ?"
        " Module._platform_present_count() : 0;")


def open_page(driver, url):
    driver.get(url)
    wait_for("the first frames", lambda: present_count(driver) >= 3 or exit_code(driver) is not None)
    if exit_code(driver) is not None:
        fail("the program ended at once with exit code %s" % exit_code(driver))


def exit_code(driver):
    return driver.execute_script("return Module.exitCode === undefined ? null : Module.exitCode;")


def canvas_png(driver, path):
    canvas = driver.find_element(By.ID, "canvas")
    size = (canvas.size["width"], canvas.size["height"])
    if size != CANVAS:
        fail("the canvas is %dx%d, not %dx%d" % (size + CANVAS))
    # The canvas's own pixels (the program keeps its drawing buffer): a
    # screenshot would wait for a compositor frame, which a loaded machine
    # can hold back for longer than WebDriver waits.
    data = driver.execute_script("return Module.canvas.toDataURL('image/png');")
    with open(path, "wb") as out:
        out.write(base64.b64decode(data.split(",", 1)[1]))


def compare(build, a, b, max_mean, tolerance, min_share):
    result = subprocess.run([os.path.join(build, "tests/end_to_end/image_compare"), a, b,
                             str(max_mean), str(tolerance), str(min_share)],
                            capture_output=True, text=True)
    print(result.stdout.strip() + result.stderr.strip())
    return result.returncode == 0


def hold(driver, key, seconds):
    ActionChains(driver).key_down(key).perform()
    time.sleep(seconds)
    ActionChains(driver).key_up(key).perform()


def frame_rate(driver, seconds=5.0):
    first, start = present_count(driver), time.time()
    time.sleep(seconds)
    return (present_count(driver) - first) / (time.time() - start)


def case_start_view(driver, url, work, build, screenshot):
    reference = os.path.join(work, "native.png")
    capture = os.path.join(build, "tools/capture/endless-field-capture")
    subprocess.run([capture, "--size", "%dx%d" % CANVAS, "--out", reference], cwd=build,
                   check=True, env=dict(os.environ, SDL_VIDEODRIVER="offscreen"),
                   stdout=subprocess.DEVNULL)
    open_page(driver, url)
    console = [entry["message"] for entry in driver.get_log("browser")]
    for message in console:
        print("console: " + message)
    if not any("the back buffer is the window's own framebuffer" in m for m in console):
        fail("the device does not draw into the canvas")
    page = os.path.join(work, "page.png")
    canvas_png(driver, page)
    if screenshot:
        driver.save_screenshot(screenshot)
    print("frames per second in the page: %.1f" % frame_rate(driver))
    if not compare(build, reference, page, 2, 16, 0.99):
        fail("the page's start view differs from the native capture (see %s)" % work)


def case_hold_up(driver, url, work, build, screenshot):
    open_page(driver, url)
    before = os.path.join(work, "before.png")
    after = os.path.join(work, "after.png")
    canvas_png(driver, before)
    hold(driver, Keys.ARROW_UP, 1.0)
    time.sleep(0.2)
    canvas_png(driver, after)
    # Moved: the two views differ well beyond rendering noise.
    if compare(build, before, after, 2, 16, 0.9):
        fail("holding Up for a second did not move the view (see %s)" % work)


def case_escape(driver, url, work, build, screenshot):
    open_page(driver, url)
    hold(driver, Keys.ESCAPE, 0.3)
    wait_for("the program to end", lambda: exit_code(driver) is not None, 20)
    code = exit_code(driver)
    if code != 0:
        fail("exit code %s, not 0" % code)
    status = driver.find_element(By.ID, "exit-status")
    if status.get_attribute("data-exit-code") != "0" or "exit code 0" not in status.text:
        fail("the page says '%s'" % status.text)


def case_missing_sky(driver, url, work, build, screenshot):
    dialogs = lambda: driver.find_elements(By.CSS_SELECTOR, "dialog.ef-message-box")
    driver.get(url)
    shown = wait_for("a message box", dialogs)
    time.sleep(1.0)  # room for a wrong second box
    shown = dialogs()
    if len(shown) != 1:
        fail("%d message boxes at once" % len(shown))
    caption = shown[0].find_element(By.TAG_NAME, "h2").text
    text = shown[0].find_element(By.TAG_NAME, "p").text
    if (caption, text) != ("Fehler", "Fehler beim Laden der Textur Sky TOP"):
        fail("the box says '%s': '%s'" % (caption, text))
    shown[0].find_element(By.TAG_NAME, "button").click()
    wait_for("the box to close", lambda: not dialogs(), 10)
    wait_for("frames after OK", lambda: present_count(driver) >= 3, 30)
    before = present_count(driver)
    time.sleep(1.0)
    if dialogs():
        fail("a second message box after OK")
    if exit_code(driver) is not None or present_count(driver) <= before:
        fail("the program did not run on after OK")


def case_decoders(driver, url, work, build, screenshot):
    driver.get(url.replace("index.html", "check/index.html"))
    wait_for("the decoder check", lambda: driver.execute_script(
        "return Module.decodeDone === true;"), 120)
    for path in driver.execute_script("return Object.keys(Module.decoded);"):
        data = driver.execute_script("""
            var pixels = Module.decoded[arguments[0]];
            if (!pixels) return null;
            var text = '';
            for (var i = 0; i < pixels.length; i += 32768)
              text += String.fromCharCode.apply(null, pixels.subarray(i, i + 32768));
            return btoa(text);""", path)
        if data is None:
            fail("the page could not decode " + path)
        out = os.path.join(work, "decoded", path + ".bgra")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        with open(out, "wb") as f:
            f.write(base64.b64decode(data))
    compare_tool = os.path.join(build, "tests/web/decode_compare")
    if subprocess.run([compare_tool, WEB_DIR, os.path.join(work, "decoded")]).returncode != 0:
        fail("the page's decoders differ from the native ones")


CASES = {"start_view": case_start_view, "hold_up": case_hold_up, "escape": case_escape,
         "missing_sky": case_missing_sky, "decoders": case_decoders}
WEB_DIR = None


def main():
    args = sys.argv[1:]
    screenshot = None
    if "--page-screenshot" in args:
        i = args.index("--page-screenshot")
        screenshot = os.path.abspath(args[i + 1])
        del args[i:i + 2]
    if len(args) != 3 or args[2] not in CASES:
        print(__doc__)
        return 2
    global WEB_DIR
    web, build, case = (os.path.abspath(args[0]), os.path.abspath(args[1]), args[2])
    WEB_DIR = web
    if not os.path.exists(os.path.join(web, "endless-field.wasm")):
        skip("no browser build in %s (cmake --preset web && cmake --build --preset web)" % web)
    for tool in ("/usr/bin/chromium", "/usr/bin/chromedriver"):
        if not os.path.exists(tool):
            skip(tool + " is missing")
    work = os.path.join(build, "web_test", case)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    served = web
    if case == "missing_sky":
        served = os.path.join(work, "package")
        shutil.copytree(web, served, ignore=shutil.ignore_patterns("CMakeFiles", "*.ninja", "host"))
        os.remove(os.path.join(served, "pic/sky/top.jpg"))
    server = serve(served)
    profile = tempfile.mkdtemp(prefix="chromium-profile-", dir=work)
    driver = None
    try:
        driver = start_chromium(profile)
        url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
        CASES[case](driver, url, work, build, screenshot)
    finally:
        if driver is not None:
            for entry in driver.get_log("browser"):
                print("console: " + entry["message"])
            driver.quit()
        server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
    print("PASSED: " + case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
