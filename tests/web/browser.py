"""Headless Chromium for the page's tests and benchmark, started one way.

Chromium runs as a person's browser does, driven through chromedriver and
Selenium, with what this machine's closed network needs (no background
connections) and a profile of its own. Every title the page shows is
recorded as it is set, with its time since navigation began.
"""

import contextlib
import functools
import http.server
import os
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM = '/usr/bin/chromium'
CHROMEDRIVER = '/usr/bin/chromedriver'
FLAGS = ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync']

# Set before the page's own script runs: each title, as it is set.
TITLE_RECORDER = """
window.pentagramTitles = [];
new MutationObserver(() => {
    const titles = window.pentagramTitles;
    if (titles.length === 0 || titles[titles.length - 1].title !== document.title) {
        titles.push({title: document.title, at: performance.now()});
    }
}).observe(document, {subtree: true, childList: true, characterData: true});
"""


def page_path():
    """The page as make web leaves it."""
    return os.path.join(os.environ['PENTAGRAM_WEB_DIR'], 'pentagram.html')


class Browser:
    """One headless Chromium with one tab; closed with the context."""

    def __init__(self, flags=(), width=1280, height=720, before_page=''):
        self.profile = tempfile.TemporaryDirectory(prefix='pentagram-chromium-')
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in FLAGS + list(flags) + ['--user-data-dir=' + self.profile.name]:
            options.add_argument(flag)
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.viewport(width, height)
        self.cdp('Page.addScriptToEvaluateOnNewDocument', source=TITLE_RECORDER + before_page)
        self.cdp('Performance.enable')

    def __enter__(self):
        return self

    def __exit__(self, *failure):
        self.driver.quit()
        self.profile.cleanup()

    def cdp(self, command, **parameters):
        return self.driver.execute_cdp_cmd(command, parameters)

    def run(self, script, *arguments):
        return self.driver.execute_script(script, *arguments)

    def viewport(self, width, height, scale=0):
        """The tab's viewport in CSS pixels; a scale of 0 keeps the screen's."""
        self.cdp('Emulation.setDeviceMetricsOverride', width=width, height=height, deviceScaleFactor=scale,
                 mobile=False)

    def open(self, address):
        self.driver.get(address)

    def titles(self):
        return self.run('return window.pentagramTitles')

    def wait_for(self, condition, what, seconds=10):
        """Waits until condition() gives something true, and gives it."""
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            value = condition()
            if value:
                return value
            time.sleep(0.02)
        raise AssertionError('waited %g s in vain for %s' % (seconds, what))

    def ratio_titles(self):
        return [t for t in self.titles() if t['title'].startswith('Fii on suunnilleen ')]

    def wait_for_ratio_title(self):
        return self.wait_for(self.ratio_titles, 'a ratio title')[0]

    def canvas(self):
        """The canvas's backing store and CSS size, or None once it is gone."""
        return self.run("""
            const canvas = document.getElementById('pentagram');
            if (!canvas) return null;
            const area = canvas.getBoundingClientRect();
            return {width: canvas.width, height: canvas.height, cssWidth: area.width, cssHeight: area.height,
                    ratio: window.devicePixelRatio};""")

    def figure(self):
        """Where the canvas is red: the bounds of its reddest pixels, and
        whether its middle and corners are black."""
        return self.run("""
            const canvas = document.getElementById('pentagram');
            const {width, height} = canvas;
            const data = canvas.getContext('2d').getImageData(0, 0, width, height).data;
            let left = width, right = -1, top = height, bottom = -1;
            for (let y = 0; y < height; ++y) {
                for (let x = 0; x < width; ++x) {
                    const at = 4 * (y * width + x);
                    if (data[at] > 200 && data[at + 1] < 60 && data[at + 2] < 60) {
                        left = Math.min(left, x); right = Math.max(right, x);
                        top = Math.min(top, y); bottom = Math.max(bottom, y);
                    }
                }
            }
            const black = (x, y) => {
                const at = 4 * (y * width + x);
                return data[at] + data[at + 1] + data[at + 2] === 0;
            };
            return {width, height, left, right, top, bottom,
                    blackCorners: black(0, 0) && black(width - 1, height - 1)};""")

    def busy_seconds(self):
        """The tab's main thread's time spent on tasks so far."""
        metrics = self.cdp('Performance.getMetrics')['metrics']
        return next(metric['value'] for metric in metrics if metric['name'] == 'TaskDuration')

    def minimised(self, minimised):
        """Minimises the browser's window, which hides the tab, or restores it."""
        window = self.cdp('Browser.getWindowForTarget')['windowId']
        self.cdp('Browser.setWindowBounds', windowId=window,
                 bounds={'windowState': 'minimized' if minimised else 'normal'})

    def console(self):
        return [entry['message'] for entry in self.driver.get_log('browser')]


@contextlib.contextmanager
def served(directory):
    """The directory on a static web server on loopback, as any would serve
    it: gives the server's address and the paths asked of it so far."""
    asked = []

    class Handler(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *arguments):
            asked.append(self.path)

    server = http.server.ThreadingHTTPServer(('127.0.0.1', 0), functools.partial(Handler, directory=directory))
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield 'http://127.0.0.1:%d/' % server.server_address[1], asked
    finally:
        server.shutdown()
        server.server_close()
