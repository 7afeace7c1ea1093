#!/usr/bin/python3
"""The browser build in headless Chromium, driven over WebDriver.

usage: browser_test.py WEB_DIR BUILD_DIR [CASE...] [--page-screenshot FILE]
                       [--phone-screenshot FILE]

WEB_DIR is build/web (the page, the .js/.wasm and the images); BUILD_DIR a
native build with the capture tool and image_compare. All CASEs (by default
every one) run in one Chromium, each on a freshly loaded page:
  start_view  the canvas shows the native capture's start view (mean
              difference <= 2, >= 99% of pixels within 16); with ?verbose the
              layer says it draws straight into the canvas
  clean_start a normal start leaves the console without warnings or errors;
              without a touch screen the on-screen keys wait behind their
              toggle, which shows them
  hold_up     holding Up over 60 frames moves the view
  escape      Escape ends the program with exit code 0, and the page says so
  touch_hold  on a touch screen the on-screen keys are shown; a finger on Up
              holds DIK_UP and moves the view, lifting it stops the view, a
              finger sliding off releases the key
  touch_two   fingers on Up and Left hold what the keys Up and Left hold, and
              turn and move the view as the keys do; a cancelled touch
              releases both
  touch_escape  touching Escape ends the program with exit code 0
  context_lost  after WEBGL_lose_context takes the context away, frames are
              still presented without GL errors in the console; once it is
              restored the canvas shows the start view again
  missing_sky a package without pic/sky/top.jpg shows exactly one dialog,
              "Fehler beim Laden der Textur Sky TOP" captioned "Fehler", and
              the program runs on after OK
  decoders    the page's decoders (check/, the D3DX decoders on their own)
              give every image of the page within 2 steps of the native
              decoders' pixels
  sharp_laptop  at 1280 x 800 and 1.5 device pixels per CSS pixel the
              window is the viewport's device pixels less 200, and its
              drawing buffer has one pixel per device pixel (within 1%)
  phone_upright, phone_turned  the same on a phone, 390 x 844 and 844 x 390
              at 3; the picture covers at least 75% of the viewport, and
              all 11 on-screen keys lie inside it, none over another or over
              the page's buttons and text
  turn        turning the phone scales the canvas to fit the new viewport,
              its shape and drawing buffer kept; the keys stay as above
  offline     once the page has loaded (its service worker in charge), it
              starts again with its server gone and shows the start view
  home_screen Chromium finds the manifest without errors and would install
              the page; the home-screen tags are there; "Full screen" fills
              the screen, and is hidden without the Fullscreen API
--page-screenshot saves the page after start_view, --phone-screenshot the
page in Chromium's mobile emulation at 390 x 844 (3 device pixels per CSS
pixel, saved at 1.5) with its on-screen keys.
Exits 77 (skipped) when the browser build or Chromium is missing, or 1 with
EF_REQUIRE_ALL=1. Every file it writes goes under BUILD_DIR/web_test/.
"""
import base64
import functools
import http.server
import itertools
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import traceback
import urllib.request

SKIP = 77
VIEWPORT = (1024, 768)  # the program's canvas is 200 pixels smaller: 824 x 568
CANVAS = (VIEWPORT[0] - 200, VIEWPORT[1] - 200)
PHONE = (390, 844)
# image_compare's profile for the page against the native start view, and
# its old-form limits (mean difference, tolerance per channel, share of pixels
# within it) for the rest. MOVED: two views that differ at most this little
# have not moved. STILL: two frames of a camera that stands still are the same
# picture.
SAME_VIEW = "page"
MOVED = (2, 16, 0.9)
STILL = (0.1, 2, 0.999)
DIK_UP, DIK_LEFT = 0xC8, 0xCB


class CaseFailed(Exception):
    pass


def skip(reason):
    if os.environ.get("EF_REQUIRE_ALL") == "1":
        print("FAILED (EF_REQUIRE_ALL=1, no skips): " + reason)
        sys.exit(1)
    print("SKIPPED: " + reason)
    sys.exit(SKIP)


def fail(reason):
    raise CaseFailed(reason)


try:
    from selenium import webdriver
    from selenium.common.exceptions import WebDriverException
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.action_chains import ActionChains
    from selenium.webdriver.common.by import By
    from selenium.webdriver.common.keys import Keys
except ImportError:
    skip("python3-selenium is not installed")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".js": "text/javascript",
                             ".webmanifest": "application/manifest+json"})

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
    return webdriver.Chrome(options=options, service=service)


def fresh_tab(driver):
    """A new tab in place of the current one: each case starts from a page
    of its own, and from fresh touch emulation (after two fingers, Chromium 156
    ignores the next page's touches in the same tab)."""
    old = driver.current_window_handle
    driver.switch_to.new_window("tab")
    new = driver.current_window_handle
    driver.switch_to.window(old)
    driver.close()
    driver.switch_to.window(new)


def emulate(driver, size=VIEWPORT, touch=False, ratio=1):
    """The viewport exactly, whatever the window's frame takes, at `ratio`
    device pixels per CSS pixel; a phone's (mobile layout, touch screen,
    held as its shape says) or a desktop's."""
    metrics = {"width": size[0], "height": size[1], "deviceScaleFactor": ratio, "mobile": touch}
    if touch:
        metrics["screenOrientation"] = ({"type": "portraitPrimary", "angle": 0}
                                        if size[1] >= size[0] else
                                        {"type": "landscapePrimary", "angle": 90})
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", metrics)
    driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {
        "enabled": touch, "maxTouchPoints": 5})


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


def keys_held(driver):
    """The DIK codes down in the layer's key array."""
    return driver.execute_script("""
        var held = [];
        for (var dik = 0; dik < 256; ++dik)
          if (Module._platform_key_state(dik) & 0x80) held.push(dik);
        return held;""")


def console(driver):
    """The console's entries since the last call, each printed."""
    entries = driver.get_log("browser")
    for entry in entries:
        print("console: %s %s" % (entry["level"], entry["message"]))
    return entries


def quiet_console(driver, when):
    """Fails on a warning or an error in the console since the last call."""
    noisy = [e["message"] for e in console(driver) if e["level"] in ("WARNING", "SEVERE")]
    if noisy:
        fail("%d warnings or errors in the console %s: %s" % (len(noisy), when, noisy[0]))


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


def compare(build, a, b, limits):
    """limits: a profile's name, or the old form's three limits."""
    tool = os.path.join(build, "tests/end_to_end/image_compare")
    if isinstance(limits, str):
        command = [tool, "--profile", limits, a, b]
    else:
        command = [tool, a, b] + [str(limit) for limit in limits]
    result = subprocess.run(command, capture_output=True, text=True)
    print(result.stdout.strip() + result.stderr.strip())
    return result.returncode == 0


def frames(driver, count):
    """Waits for `count` more presented frames, or for the program's end:
    frames, not seconds, so that a slow machine sees the same frames."""
    want = present_count(driver) + count
    wait_for("%d frames" % count,
             lambda: exit_code(driver) is not None or present_count(driver) >= want)


def hold(driver, key, count):
    """Holds `key` over `count` frames."""
    ActionChains(driver).key_down(key).perform()
    frames(driver, count)
    ActionChains(driver).key_up(key).perform()


def key_centre(driver, code):
    """Where a finger touches the on-screen key for `code` (a visible one)."""
    rect = driver.execute_script("""
        var button = document.querySelector('#keys button[data-key="' + arguments[0] + '"]');
        if (!button || button.offsetParent === null) return null;
        var r = button.getBoundingClientRect();
        return [r.left + r.width / 2, r.top + r.height / 2];""", code)
    if rect is None:
        fail("no visible on-screen key " + code)
    return rect


FINGERS = itertools.count(1)


def touch(driver, kind, points):
    """One touch event: `points` are the fingers on the screen after it,
    (id, (x, y)) each; each new finger takes a new id (next(FINGERS))."""
    driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
        "type": kind, "touchPoints": [{"x": at[0], "y": at[1], "id": finger}
                                      for finger, at in points]})


def on_screen_keys_shown(driver):
    return driver.execute_script(
        "return document.getElementById('keys').offsetParent !== null;")


def case_start_view(driver, url, work, build, options):
    reference = os.path.join(work, "native.png")
    capture = os.path.join(build, "tools/capture/endless-field-capture")
    subprocess.run([capture, "--size", "%dx%d" % CANVAS, "--out", reference], cwd=build,
                   check=True, env=dict(os.environ, SDL_VIDEODRIVER="offscreen"),
                   stdout=subprocess.DEVNULL)
    open_page(driver, url + "?verbose")
    messages = [entry["message"] for entry in console(driver)]
    if not any("the back buffer is the window's own framebuffer" in m for m in messages):
        fail("the device does not draw into the canvas")
    page = os.path.join(work, "page.png")
    canvas_png(driver, page)
    if options.get("page_screenshot"):
        driver.save_screenshot(options["page_screenshot"])
    if not compare(build, reference, page, SAME_VIEW):
        fail("the page's start view differs from the native capture (see %s)" % work)


def case_clean_start(driver, url, work, build, options):
    open_page(driver, url)
    wait_for("a second of frames", lambda: present_count(driver) >= 30, 30)
    frames(driver, 30)
    quiet_console(driver, "on a normal start")
    if on_screen_keys_shown(driver):
        fail("the on-screen keys are shown without a touch screen")
    driver.find_element(By.ID, "keys-toggle").click()
    if not on_screen_keys_shown(driver):
        fail("the toggle does not show the on-screen keys")


def case_hold_up(driver, url, work, build, options):
    open_page(driver, url)
    before = os.path.join(work, "before.png")
    after = os.path.join(work, "after.png")
    canvas_png(driver, before)
    hold(driver, Keys.ARROW_UP, 60)
    frames(driver, 3)
    canvas_png(driver, after)
    # Moved: the two views differ well beyond rendering noise.
    if compare(build, before, after, MOVED):
        fail("holding Up over 60 frames did not move the view (see %s)" % work)


def end_by(driver, press):
    press()
    wait_for("the program to end", lambda: exit_code(driver) is not None, 20)
    code = exit_code(driver)
    if code != 0:
        fail("exit code %s, not 0" % code)
    status = driver.find_element(By.ID, "exit-status")
    if status.get_attribute("data-exit-code") != "0" or "exit code 0" not in status.text:
        fail("the page says '%s'" % status.text)


def case_escape(driver, url, work, build, options):
    open_page(driver, url)
    end_by(driver, lambda: hold(driver, Keys.ESCAPE, 10))


def case_touch_hold(driver, url, work, build, options):
    open_page(driver, url)
    if not on_screen_keys_shown(driver):
        fail("the on-screen keys are not shown on a touch screen")
    up = key_centre(driver, "ArrowUp")
    shot = lambda name: os.path.join(work, name + ".png")
    canvas_png(driver, shot("before"))
    finger = next(FINGERS)
    touch(driver, "touchStart", [(finger, up)])
    frames(driver, 30)
    if keys_held(driver) != [DIK_UP]:
        fail("a finger on Up holds %s, not DIK_UP" % keys_held(driver))
    frames(driver, 30)
    touch(driver, "touchEnd", [])
    if keys_held(driver):
        fail("lifting the finger leaves %s held" % keys_held(driver))
    frames(driver, 3)
    canvas_png(driver, shot("after"))
    if compare(build, shot("before"), shot("after"), MOVED):
        fail("60 frames on the on-screen Up did not move the view (see %s)" % work)
    frames(driver, 30)
    canvas_png(driver, shot("later"))
    if not compare(build, shot("after"), shot("later"), STILL):
        fail("the view moves on after the finger lifted (see %s)" % work)
    # A finger that slides off the key lets go of it.
    finger = next(FINGERS)
    touch(driver, "touchStart", [(finger, up)])
    wait_for("DIK_UP held", lambda: keys_held(driver) == [DIK_UP], 5)
    touch(driver, "touchMove", [(finger, (up[0], up[1] - 200))])
    wait_for("the key released by sliding off", lambda: not keys_held(driver), 5)
    touch(driver, "touchEnd", [])


def case_touch_two(driver, url, work, build, options):
    open_page(driver, url)
    shot = lambda name: os.path.join(work, name + ".png")
    ActionChains(driver).key_down(Keys.ARROW_UP).key_down(Keys.ARROW_LEFT).perform()
    by_keys = keys_held(driver)
    frames(driver, 30)
    ActionChains(driver).key_up(Keys.ARROW_UP).key_up(Keys.ARROW_LEFT).perform()
    if by_keys != [DIK_UP, DIK_LEFT]:
        fail("the keys Up and Left hold %s" % by_keys)
    driver.get("about:blank")
    open_page(driver, url)
    canvas_png(driver, shot("before"))
    up, left = key_centre(driver, "ArrowUp"), key_centre(driver, "ArrowLeft")
    first, second = next(FINGERS), next(FINGERS)
    touch(driver, "touchStart", [(first, up)])
    touch(driver, "touchStart", [(first, up), (second, left)])
    by_fingers = keys_held(driver)
    # The program reads the same key array, so it moves and turns as with the
    # keys. How far a number of frames takes it depends on the frame rate (at
    # most a step in 3 ms), so the fingers stay until the view has moved.
    moved = False
    deadline = time.time() + 60
    while not moved and time.time() < deadline:
        frames(driver, 30)
        canvas_png(driver, shot("after_fingers"))
        moved = not compare(build, shot("before"), shot("after_fingers"), MOVED)
    touch(driver, "touchCancel", [])
    if by_fingers != by_keys:
        fail("fingers on Up and Left hold %s, the keys %s" % (by_fingers, by_keys))
    if keys_held(driver):
        fail("a cancelled touch leaves %s held" % keys_held(driver))
    if not moved:
        fail("two fingers did not move the view in 60 s (see %s)" % work)


def case_touch_escape(driver, url, work, build, options):
    open_page(driver, url)
    escape = key_centre(driver, "Escape")

    def tap():
        touch(driver, "touchStart", [(next(FINGERS), escape)])
        frames(driver, 3)
        touch(driver, "touchEnd", [])
    end_by(driver, tap)


# WEBGL_lose_context on the page's own context (getContext hands back the one
# the program made), with listeners that count the canvas's events.
LOSE_CONTEXT = """
    var canvas = Module.canvas;
    window.efContext = {lost: 0, prevented: false, restored: 0,
                        ext: canvas.getContext('webgl2').getExtension('WEBGL_lose_context')};
    canvas.addEventListener('webglcontextlost', function (e) {
      efContext.lost++; efContext.prevented = e.defaultPrevented; });
    canvas.addEventListener('webglcontextrestored', function () { efContext.restored++; });
    efContext.ext.loseContext();"""


def case_context_lost(driver, url, work, build, options):
    open_page(driver, url)
    frames(driver, 10)
    start = os.path.join(work, "start.png")
    canvas_png(driver, start)
    console(driver)
    driver.execute_script(LOSE_CONTEXT)
    context = lambda key: driver.execute_script("return efContext.%s;" % key)
    wait_for("webglcontextlost", lambda: context("lost") == 1, 10)
    if not context("prevented"):
        fail("nothing prevented webglcontextlost's default: the browser will not restore it")
    # The loop runs on: Present still yields, and nothing calls GL.
    frames(driver, 60)
    if exit_code(driver) is not None:
        fail("the program ended with exit code %s on a lost context" % exit_code(driver))
    quiet_console(driver, "while the context was lost")
    driver.execute_script("efContext.ext.restoreContext();")
    wait_for("webglcontextrestored", lambda: context("restored") == 1, 10)
    frames(driver, 10)
    page = os.path.join(work, "restored.png")
    canvas_png(driver, page)
    # No key is held: the program draws the start view again.
    if not compare(build, start, page, SAME_VIEW):
        fail("the restored canvas differs from the start view (see %s)" % work)
    quiet_console(driver, "after the restore")


def case_missing_sky(driver, url, work, build, options):
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
    frames(driver, 30)
    if dialogs():
        fail("a second message box after OK")
    if exit_code(driver) is not None:
        fail("the program did not run on after OK")


def case_decoders(driver, url, work, build, options):
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
    if subprocess.run([compare_tool, options["web"], os.path.join(work, "decoded")]).returncode:
        fail("the page's decoders differ from the native ones")


# The page's screen in device pixels, its keys over the picture, offline
# starts and the home screen. Screens: (CSS size, devicePixelRatio, phone).
LAPTOP = ((1280, 800), 1.5, False)
PHONE_UPRIGHT = ((390, 844), 3, True)
PHONE_TURNED = ((844, 390), 3, True)
ON_SCREEN_KEYS = 11


def emulate_screen(driver, screen):
    size, ratio, phone = screen
    emulate(driver, size, touch=phone, ratio=ratio)


def page_layout(driver):
    """The viewport, devicePixelRatio, the drawing buffer's size and the CSS
    boxes (left, top, right, bottom) of the canvas, the on-screen keys and
    the page's own buttons and text."""
    return driver.execute_script("""
        function box(e) { var r = e.getBoundingClientRect(); return [r.left, r.top, r.right, r.bottom]; }
        function boxes(selector) {
          return Array.prototype.map.call(document.querySelectorAll(selector), box); }
        return {viewport: [innerWidth, innerHeight], ratio: devicePixelRatio,
                buffer: [Module.canvas.width, Module.canvas.height], canvas: box(Module.canvas),
                keys: boxes('#keys button[data-key]'),
                others: boxes('#controls button:not([hidden]), #status')};""")


def area(box):
    return max(0, box[2] - box[0]) * max(0, box[3] - box[1])


def meet(a, b):
    return [max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])]


def check_sharp(layout, size):
    ratio = layout["ratio"]
    if layout["viewport"] != list(size):
        fail("the viewport is %s CSS pixels, not %s" % (layout["viewport"], size))
    for axis in (0, 1):
        want = round(size[axis] * ratio) - 200
        if layout["buffer"][axis] != want:
            fail("the drawing buffer is %s, not %d on axis %d" % (layout["buffer"], want, axis))
        shown = (layout["canvas"][axis + 2] - layout["canvas"][axis]) * ratio
        if abs(layout["buffer"][axis] / shown - 1) > 0.01:
            fail("%.3f buffer pixels per device pixel on axis %d"
                 % (layout["buffer"][axis] / shown, axis))


def check_keys(layout):
    viewport = [0, 0] + layout["viewport"]
    keys = layout["keys"]
    if len(keys) != ON_SCREEN_KEYS or not all(area(key) for key in keys):
        fail("%d of %d on-screen keys shown" % (sum(1 for k in keys if area(k)), ON_SCREEN_KEYS))
    if any(area(meet(key, viewport)) < area(key) for key in keys):
        fail("an on-screen key lies outside the viewport: %s" % keys)
    for a, b in itertools.combinations(keys + layout["others"], 2):
        if area(meet(a, b)) > 0:
            fail("%s lies over %s" % (a, b))


def check_phone(driver, url, screen):
    emulate_screen(driver, screen)
    open_page(driver, url)
    layout = page_layout(driver)
    check_sharp(layout, screen[0])
    viewport = [0, 0] + layout["viewport"]
    covered = area(meet(layout["canvas"], viewport)) / area(viewport)
    if covered < 0.75:
        fail("the picture covers %.3f of the viewport" % covered)
    check_keys(layout)
    return layout


def case_sharp_laptop(driver, url, work, build, options):
    emulate_screen(driver, LAPTOP)
    open_page(driver, url)
    check_sharp(page_layout(driver), LAPTOP[0])


def case_phone_upright(driver, url, work, build, options):
    check_phone(driver, url, PHONE_UPRIGHT)


def case_phone_turned(driver, url, work, build, options):
    check_phone(driver, url, PHONE_TURNED)


def case_turn(driver, url, work, build, options):
    before = check_phone(driver, url, PHONE_UPRIGHT)
    emulate_screen(driver, PHONE_TURNED)
    wait_for("the canvas scaled to the turned viewport", lambda: (
        page_layout(driver)["canvas"] != before["canvas"]), 20)
    frames(driver, 3)
    after = page_layout(driver)
    if after["buffer"] != before["buffer"]:
        fail("the drawing buffer went from %s to %s" % (before["buffer"], after["buffer"]))
    box, viewport = after["canvas"], [0, 0] + after["viewport"]
    if area(meet(box, viewport)) < area(box) * 0.999:
        fail("the canvas %s does not fit the viewport %s" % (box, after["viewport"]))
    # The screen it was made on, fitted into the turned one.
    scale = min(a / b for a, b in zip(after["viewport"], before["viewport"]))
    for axis in (0, 1):
        want = (before["canvas"][axis + 2] - before["canvas"][axis]) * scale
        shown = box[axis + 2] - box[axis]
        if abs(shown / want - 1) > 0.01:
            fail("the canvas is %.1f CSS pixels on axis %d, not %.1f" % (shown, axis, want))
    check_keys(after)


def native_start_view(work, build):
    reference = os.path.join(work, "native.png")
    subprocess.run([os.path.join(build, "tools/capture/endless-field-capture"), "--size",
                    "%dx%d" % CANVAS, "--out", reference], cwd=build, check=True,
                   env=dict(os.environ, SDL_VIDEODRIVER="offscreen"), stdout=subprocess.DEVNULL)
    return reference


def case_offline(driver, url, work, build, options):
    reference = native_start_view(work, build)
    open_page(driver, url)
    wait_for("the service worker to keep the page", lambda: driver.execute_script(
        "return navigator.serviceWorker.controller !== null;"))
    server = options["servers"]["offline"]
    server.shutdown()
    server.server_close()
    try:
        urllib.request.urlopen(url, timeout=10)
        fail("the page's server still answers")
    except OSError:
        pass
    # Nothing from the browser's HTTP cache either, which would answer for
    # files the server marked fresh: only the service worker's cache is left.
    driver.execute_cdp_cmd("Network.clearBrowserCache", {})
    driver.get("about:blank")
    try:
        open_page(driver, url)
    except WebDriverException as error:
        fail("no page without the network: %s" % error.msg)
    page = os.path.join(work, "page.png")
    canvas_png(driver, page)
    if not compare(build, reference, page, SAME_VIEW):
        fail("the start view without the network differs from the native one (see %s)" % work)


def fullscreen(driver):
    return driver.execute_script("return document.fullscreenElement === document.documentElement;")


def case_home_screen(driver, url, work, build, options):
    open_page(driver, url)
    manifest = driver.execute_cdp_cmd("Page.getAppManifest", {})
    if manifest["errors"] or not manifest.get("manifest", {}).get("icons"):
        fail("the manifest: %s" % manifest)
    refusals = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
    if refusals:
        fail("Chromium would not install the page: %s" % [e["errorId"] for e in refusals])
    tags = driver.execute_async_script("""
        var done = arguments[arguments.length - 1];
        var meta = function(name) {
          var tag = document.querySelector('meta[name="' + name + '"]');
          return tag ? tag.content : ''; };
        var icon = document.querySelector('link[rel="apple-touch-icon"]');
        fetch(icon.href).then(function(response) {
          done([meta('apple-mobile-web-app-capable'), meta('mobile-web-app-capable'),
                /^#/.test(meta('theme-color')), /viewport-fit=cover/.test(meta('viewport')),
                response.ok && response.headers.get('Content-Type')]);
        }, function() { done(null); });""")
    if tags != ["yes", "yes", True, True, "image/png"]:
        fail("the home-screen tags and icon: %s" % tags)
    driver.find_element(By.ID, "fullscreen").click()
    wait_for("full screen", lambda: fullscreen(driver), 20)
    frames(driver, 3)
    driver.find_element(By.ID, "fullscreen").click()
    wait_for("the end of full screen", lambda: not fullscreen(driver), 20)
    # A browser without the Fullscreen API (an iPhone's) gets no button.
    driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
        delete Element.prototype.requestFullscreen;
        delete Element.prototype.webkitRequestFullscreen;
        Object.defineProperty(Document.prototype, 'fullscreenEnabled', {get: () => false});"""})
    open_page(driver, url)
    if driver.find_element(By.ID, "fullscreen").is_displayed():
        fail("a full-screen button without the Fullscreen API")


def phone_screenshot(driver, url, path):
    """The page on a phone (390 x 844 at 3, touch) with its on-screen keys,
    saved at 1.5 device pixels per CSS pixel."""
    emulate_screen(driver, PHONE_UPRIGHT)
    open_page(driver, url)
    wait_for("a second of frames", lambda: present_count(driver) >= 60, 30)
    if not on_screen_keys_shown(driver):
        fail("the on-screen keys are not shown on a phone")
    shot = driver.execute_cdp_cmd("Page.captureScreenshot", {"format": "png", "clip": {
        "x": 0, "y": 0, "width": PHONE[0], "height": PHONE[1], "scale": 0.5}})
    with open(path, "wb") as out:
        out.write(base64.b64decode(shot["data"]))


# Each case: its function and whether it runs on a touch screen.
CASES = {"start_view": (case_start_view, False), "clean_start": (case_clean_start, False),
         "hold_up": (case_hold_up, False), "escape": (case_escape, False),
         "touch_hold": (case_touch_hold, True), "touch_two": (case_touch_two, True),
         "touch_escape": (case_touch_escape, True), "context_lost": (case_context_lost, False),
         "missing_sky": (case_missing_sky, False),
         "decoders": (case_decoders, False)}
CASES.update({"sharp_laptop": (case_sharp_laptop, False),
              "phone_upright": (case_phone_upright, True),
              "phone_turned": (case_phone_turned, True), "turn": (case_turn, True),
              "offline": (case_offline, False), "home_screen": (case_home_screen, False)})


def main():
    args = sys.argv[1:]
    options = {}
    for flag in ("--page-screenshot", "--phone-screenshot"):
        if flag in args:
            i = args.index(flag)
            options[flag[2:].replace("-", "_")] = os.path.abspath(args[i + 1])
            del args[i:i + 2]
    if len(args) < 2 or any(case not in CASES for case in args[2:]):
        print(__doc__)
        return 2
    web, build = os.path.abspath(args[0]), os.path.abspath(args[1])
    cases = args[2:] or list(CASES)
    options["web"] = web
    if not os.path.exists(os.path.join(web, "endless-field.wasm")):
        skip("no browser build in %s (cmake --preset web && cmake --build --preset web)" % web)
    for tool in ("/usr/bin/chromium", "/usr/bin/chromedriver"):
        if not os.path.exists(tool):
            skip(tool + " is missing")
    root = os.path.join(build, "web_test")
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(root)
    # The package without the sky's top face, served beside the whole one.
    package = os.path.join(root, "missing_sky_package")
    shutil.copytree(web, package, ignore=shutil.ignore_patterns("CMakeFiles", "*.ninja", "host"))
    os.remove(os.path.join(package, "pic/sky/top.jpg"))
    # The offline case stops a server of its own.
    servers = {"whole": serve(web), "missing_sky": serve(package), "offline": serve(web)}
    options["servers"] = servers
    urls = {name: "http://127.0.0.1:%d/index.html" % server.server_address[1]
            for name, server in servers.items()}
    profile = tempfile.mkdtemp(prefix="chromium-profile-", dir=root)
    driver = None
    failed = []
    try:
        driver = start_chromium(profile)
        for case in cases:
            function, on_touch_screen = CASES[case]
            work = os.path.join(root, case)
            os.makedirs(work)
            print("--- " + case)
            started = time.time()
            try:
                fresh_tab(driver)
                emulate(driver, touch=on_touch_screen)
                console(driver)  # what the last case left
                function(driver, urls.get(case, urls["whole"]), work, build, options)
                print("passed: %s (%.1f s)" % (case, time.time() - started))
            except CaseFailed as error:
                console(driver)
                print("FAILED: %s: %s" % (case, error))
                failed.append(case)
            except Exception:  # WebDriver's own errors: this case fails, the next runs
                traceback.print_exc()
                print("FAILED: %s: an error in the browser session" % case)
                failed.append(case)
        if options.get("phone_screenshot"):
            fresh_tab(driver)
            phone_screenshot(driver, urls["whole"], options["phone_screenshot"])
    except CaseFailed as error:
        print("FAILED: " + str(error))
        failed.append("phone screenshot")
    finally:
        if driver is not None:
            driver.quit()
        for server in servers.values():
            server.shutdown()
        shutil.rmtree(profile, ignore_errors=True)
    if failed:
        print("FAILED: " + " ".join(failed))
        return 1
    print("PASSED: " + " ".join(cases))
    return 0


if __name__ == "__main__":
    sys.exit(main())
