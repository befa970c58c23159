#!/usr/bin/python3
"""Has Debian's chromium and firefox-esr write real profiles: each browser, headless, with its HOME and
profile inside OUT, visits a few pages of a local server whose addresses hold words found nowhere else,
types into a form and submits it, then quits as a user would. The words are printed, one a line, so that
a search of the profiles' bytes afterwards tells which files name a visited page.

    /usr/bin/python3 tools/make_browser_profiles.py OUT [--archives DIR]
                                                   (needs chromium, firefox-esr, python3-websocket)

OUT/chromium is a Chromium "User Data" folder, OUT/firefox a Firefox profile folder. With --archives, DIR
gets them as the tests take them (tests/data/profiles): chromium-profile.tar.gz the whole User Data folder,
firefox-profile.tar.gz the profile without the parts that name no page and only make it large (the startup
cache, the certificate revocation data, the browser's own storage), firefox-local.tar.gz its disk cache,
which Windows keeps in the local application data."""

import argparse
import http.server
import json
import os
import shutil
import signal
import socket
import subprocess
import tarfile
import threading
import time

import websocket

# Each visited page's address carries one word; the form's text is a word of its own.
PAGES = ["quokkameadow", "wombatharbour", "pangolinridge"]
TYPED = "marmaladeowl"
WORDS = PAGES + [TYPED]

PAGE = """<!DOCTYPE html><html><head><title>%(word)s title</title>
<link rel="icon" href="/%(word)s-icon.png"></head><body><h1>%(word)s</h1>
<form action="/%(word)s-sent.html" method="get"><input id="field" name="nickname" autocomplete="on">
<input type="submit" value="Send"></form><a href="/%(next)s.html">next</a>%(script)s</body></html>"""

# A 1x1 PNG, so that the browsers keep an icon for each page.
ICON = bytes.fromhex("89504e470d0a1a0a0000000d4948445200000001000000010806000000"
                     "1f15c4890000000d49444154789c6360f8cf000000030101005f0d0a8a0000000049454e44ae426082")


class Pages(http.server.BaseHTTPRequestHandler):
    script = ""

    def do_GET(self):
        path = self.path.split("?")[0].strip("/")
        if path.endswith(".png"):
            body, kind = ICON, "image/png"
        else:
            word = path.split("-")[0].split(".")[0] or PAGES[0]
            following = PAGES[(PAGES.index(word) + 1) % len(PAGES)] if word in PAGES else PAGES[0]
            body, kind = (PAGE % {"word": word, "next": following, "script": self.script}).encode(), "text/html"
        self.send_response(200)
        self.send_header("Content-Type", kind)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def serve():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Pages)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d" % server.server_address[1]


def wait_for(test, seconds):
    end = time.time() + seconds
    while time.time() < end:
        try:
            value = test()
            if value:
                return value
        except OSError:
            pass
        time.sleep(0.3)
    raise SystemExit("timed out waiting for the browser")


class Cdp:
    """The few DevTools protocol calls that visiting and typing need."""

    def __init__(self, url):
        self.socket = websocket.create_connection(url, timeout=30, suppress_origin=True)
        self.next_id = 0

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise SystemExit("%s: %s" % (method, reply["error"]))
                return reply.get("result", {})


def chromium_profile(out, base):
    port = free_port()
    data = os.path.join(out, "chromium")
    env = dict(os.environ, HOME=os.path.join(out, "home"))
    browser = subprocess.Popen(
        ["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
         "--disable-background-networking", "--disable-component-update", "--disable-sync",
         "--remote-debugging-port=%d" % port, "--user-data-dir=" + data, "about:blank"],
        env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    info = wait_for(lambda: json.load(__import__("urllib.request").request.urlopen(
        "http://127.0.0.1:%d/json/version" % port)), 30)
    cdp = Cdp(info["webSocketDebuggerUrl"])
    target = cdp.call("Target.createTarget", url="about:blank")["targetId"]
    session = cdp.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
    cdp.call("Page.enable", session)
    for word in PAGES:
        cdp.call("Page.navigate", session, url="%s/%s.html" % (base, word))
        time.sleep(2)
    # Typed as a user types: focus the field, insert the text, press Enter to submit.
    cdp.call("Runtime.evaluate", session, expression="document.getElementById('field').focus()")
    cdp.call("Input.insertText", session, text=TYPED)
    for kind in ("rawKeyDown", "char", "keyUp"):
        cdp.call("Input.dispatchKeyEvent", session, type=kind, key="Enter", code="Enter",
                 windowsVirtualKeyCode=13, text="\r" if kind == "char" else "")
    time.sleep(3)
    cdp.call("Page.navigate", session, url="%s/%s.html" % (base, PAGES[0]))
    time.sleep(5)  # the history and the session are written on a timer
    cdp.call("Browser.close")
    browser.wait(60)


FIREFOX_PREFS = {
    "browser.shell.checkDefaultBrowser": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.update.auto": False,
    "browser.sessionstore.interval": 1000,
    "browser.startup.homepage_override.mstone": "ignore",
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "extensions.update.enabled": False,
    "browser.safebrowsing.update.enabled": False,
    "places.database.growthIncrementKiB": 0,  # no room made ahead: small files
    "dom.allow_scripts_to_close_windows": True,  # the last page closes the window, and Firefox quits
}

# Each page fills in its form and submits it once loaded, then goes on to the next page; after the last
# page's form the window closes.
FIREFOX_SCRIPT = """<script>
onload = () => { const f = document.getElementById('field'); f.value = '%s';
  if (!location.pathname.includes('-sent')) setTimeout(() => f.form.submit(), 1500);
  else if (location.pathname.includes('%s')) setTimeout(() => window.close(), 3000);
  else setTimeout(() => location.href = document.querySelector('a').href, 1500); };
</script>""" % (TYPED, PAGES[-1])


def firefox_profile(out, base):
    profile = os.path.join(out, "firefox")
    os.makedirs(profile, exist_ok=True)
    with open(os.path.join(profile, "user.js"), "w") as prefs:
        for name, value in FIREFOX_PREFS.items():
            prefs.write("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value)))
    env = dict(os.environ, HOME=os.path.join(out, "home"), MOZ_HEADLESS="1")
    browser = subprocess.Popen(["firefox-esr", "--headless", "--no-remote", "--profile", profile,
                                "%s/%s.html" % (base, PAGES[0])],
                               env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        browser.wait(90)
    except subprocess.TimeoutExpired:
        browser.send_signal(signal.SIGTERM)
        browser.wait(60)


FIREFOX_LEFT_OUT = ("startupCache", "security_state", os.path.join("storage", "permanent"), "cache2")


def archive(folder, path, left_out=(), only=None):
    """Regular files and folders only: the browsers' lock links and sockets are no data."""
    def kept(entry):
        name = os.path.normpath(entry.name)
        if not (entry.isfile() or entry.isdir()) or any(name == x or name.startswith(x + os.sep) for x in left_out):
            return None
        if only and name != "." and not any(name == x or name.startswith(x + os.sep) or x.startswith(name + os.sep)
                                            for x in only):
            return None
        entry.uid = entry.gid = 0
        entry.uname = entry.gname = ""
        return entry
    with tarfile.open(path, "w:gz") as out:
        out.add(folder, arcname=".", filter=kept)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("out")
    parser.add_argument("--archives", metavar="DIR")
    args = parser.parse_args()
    out = os.path.abspath(args.out)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(os.path.join(out, "home"))
    server, base = serve()
    chromium_profile(out, base)
    Pages.script = FIREFOX_SCRIPT
    firefox_profile(out, base)
    server.shutdown()
    if args.archives:
        os.makedirs(args.archives, exist_ok=True)
        archive(os.path.join(out, "chromium"), os.path.join(args.archives, "chromium-profile.tar.gz"))
        firefox = os.path.join(out, "firefox")
        archive(firefox, os.path.join(args.archives, "firefox-profile.tar.gz"), FIREFOX_LEFT_OUT + ("lock", ".parentlock"))
        archive(firefox, os.path.join(args.archives, "firefox-local.tar.gz"), only=("cache2",))
    print("\n".join(WORDS))


if __name__ == "__main__":
    main()
