#!/usr/bin/env python3
"""The help and support pages as a browser shows them: each page is opened in headless Chromium
at two window widths, and what a reader would meet is checked inside the page itself — the
style sheet loaded and applied, every link to a place in a page leading to an element, no text
running out of the page sideways, the Japanese text drawn in an installed Japanese face, and
nothing reported on the console.

    check_pages_in_chromium.py PAGES_DIR

Exits 0 when every page passes, 1 with the faults listed, 77 (a skipped test) when Chromium is
not installed. Chromium is driven over its DevTools pipe (--remote-debugging-pipe), so nothing
listens on the network.
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile

PAGES = ["help.html", "index.html"]
WIDTHS = [1024, 480]

# Evaluated in the page once it has loaded; returns a list of faults.
CHECKS = r"""
(() => {
  const faults = [];
  // A file:// page may not read its sheet's rules; that they apply shows it loaded.
  if (document.styleSheets.length === 0 || getComputedStyle(document.body).maxWidth === "none")
    faults.push("the style sheet did not load or its rules are not applied");
  for (const a of document.querySelectorAll('a[href^="#"]')) {
    const id = decodeURIComponent(a.getAttribute("href").slice(1));
    if (id && !document.getElementById(id))
      faults.push("link to #" + id + " leads nowhere");
  }
  const width = document.documentElement.clientWidth;
  for (const el of document.body.querySelectorAll("*")) {
    const box = el.getBoundingClientRect();
    if (box.width > 0 && box.right > width + 1 && getComputedStyle(el).overflowX === "visible"
        && !el.closest("pre, table, .scroll"))
      faults.push("<" + el.tagName.toLowerCase() + "> runs out of the page: right edge " + Math.round(box.right) + " > " + width);
  }
  return faults.slice(0, 20);
})()
"""


class Chromium:
    def __init__(self, binary, profile):
        self.write_r, self.write_w = os.pipe()  # our commands -> Chromium's fd 3
        self.read_r, self.read_w = os.pipe()    # Chromium's fd 4 -> our replies
        self.process = subprocess.Popen(
            [binary, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile, "--remote-debugging-pipe", "about:blank"],
            pass_fds=(3, 4), preexec_fn=self._place_pipes, start_new_session=True,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(self.write_r)
        os.close(self.read_w)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def _place_pipes(self):
        os.dup2(self.write_r, 3)
        os.dup2(self.read_w, 4)

    def send(self, method, params=None, session=None):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session:
            message["sessionId"] = session
        os.write(self.write_w, json.dumps(message).encode() + b"\0")
        while True:
            reply = self._receive()
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise RuntimeError(method + ": " + reply["error"]["message"])
                return reply["result"]
            self.events.append(reply)

    def wait_for(self, method):
        while True:
            for i, event in enumerate(self.events):
                if event.get("method") == method:
                    return self.events.pop(i)
            self.events.append(self._receive())

    def _receive(self):
        while b"\0" not in self.buffer:
            chunk = os.read(self.read_r, 65536)
            if not chunk:
                raise RuntimeError("Chromium ended")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def close(self):
        # Asked to end, Chromium stops its helper processes too; whatever is left goes with its
        # session, so that nothing writes into the profile while it is removed.
        try:
            os.write(self.write_w, json.dumps({"id": self.next_id + 1, "method": "Browser.close"}).encode() + b"\0")
            self.process.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            pass
        try:
            os.killpg(self.process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        self.process.wait()


def check_page(browser, path, width):
    target = browser.send("Target.createTarget", {"url": "about:blank"})["targetId"]
    session = browser.send("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
    browser.send("Emulation.setDeviceMetricsOverride",
                 {"width": width, "height": 800, "deviceScaleFactor": 1, "mobile": False}, session)
    browser.send("Page.enable", {}, session)
    browser.send("Runtime.enable", {}, session)
    browser.send("Log.enable", {}, session)
    browser.send("Page.navigate", {"url": "file://" + path}, session)
    browser.wait_for("Page.loadEventFired")
    faults = browser.send("Runtime.evaluate", {"expression": CHECKS, "returnByValue": True}, session)["result"]["value"]
    # Whether the body text is drawn in a Japanese face that is installed, not a fallback box face.
    browser.send("DOM.enable", {}, session)
    browser.send("CSS.enable", {}, session)
    body = browser.send("DOM.querySelector", {"nodeId": browser.send("DOM.getDocument", {}, session)["root"]["nodeId"],
                                              "selector": "main, body"}, session)["nodeId"]
    fonts = browser.send("CSS.getPlatformFontsForNode", {"nodeId": body}, session)["fonts"]
    if not any("IPA" in font["familyName"] or "Noto" in font["familyName"] for font in fonts):
        faults.append("the text is drawn in " + ", ".join(f["familyName"] for f in fonts) + ", not a Japanese face")
    for event in browser.events:
        if event.get("method") in ("Log.entryAdded", "Runtime.consoleAPICalled", "Runtime.exceptionThrown"):
            faults.append("console: " + json.dumps(event.get("params"), ensure_ascii=False)[:200])
    browser.events.clear()
    browser.send("Target.closeTarget", {"targetId": target})
    return faults


def main():
    pages_dir = os.path.abspath(sys.argv[1])
    binary = shutil.which("chromium") or shutil.which("chromium-browser")
    if not binary:
        print("Chromium is not installed: the pages were not checked")
        return 77
    failed = False
    with tempfile.TemporaryDirectory(ignore_cleanup_errors=True) as profile:
        browser = Chromium(binary, profile)
        try:
            for page in PAGES:
                for width in WIDTHS:
                    faults = check_page(browser, os.path.join(pages_dir, page), width)
                    print(f"{page} at {width} px: {'ok' if not faults else 'FAULTS'}")
                    for fault in faults:
                        print("  " + fault)
                    failed = failed or bool(faults)
        finally:
            browser.close()
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
