"""The page in headless Chromium: what a person opening it sees.

Run by ctest (label web) with PENTAGRAM_WEB_DIR, the web build, and
PENTAGRAM_SNAPSHOT, the snapshot tool whose captions are the shared
caption code's.
"""

import os
import subprocess
import unittest

from browser import Browser, page_path, served

RATIO = 'Fii on suunnilleen '


# The canvas's picture and the page's title at one moment, the picture as
# the snapshot tool's digest: FNV-1a over each pixel's red, green and blue.
PICTURE_AND_TITLE = """
    const canvas = document.getElementById('pentagram');
    const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let digest = 2166136261;
    for (let at = 0; at < data.length; at += 4) {
        for (let channel = 0; channel < 3; ++channel) {
            digest = Math.imul(digest ^ data[at + channel], 16777619) >>> 0;
        }
    }
    return {digest: digest.toString(16), title: document.title};
"""


def digests(width, height):
    """The titles of the frames of one turn of the figure by their
    pictures' digests, for a client area of this size, as every form draws
    and writes them; and the first frame's title."""
    out = subprocess.run([os.environ['PENTAGRAM_SNAPSHOT'], '--size', '%dx%d' % (width, height), '--frames', '360',
                          '--digests'], check=True, capture_output=True, text=True).stdout
    frames = {}
    lines = [line.split(' ', 1) for line in out.splitlines()]
    for digest, title in lines:
        frames.setdefault(digest, set()).add(title)
    return frames, lines[0][1]


class PageTest(unittest.TestCase):

    def assert_figure_centred(self, browser):
        """A red figure on black, centred, its radius half the shorter side."""
        figure = browser.wait_for(lambda: (f := browser.figure())['right'] >= 0 and f, 'red on the canvas')
        width, height = figure['width'], figure['height']
        radius = min(width, height) / 2
        self.assertTrue(figure['blackCorners'], figure)
        # The circle is 5 pixels wide around the radius: its outer edge lies
        # within a few pixels of the canvas's shorter sides.
        self.assertAlmostEqual((figure['left'] + figure['right']) / 2, width / 2, delta=3, msg=figure)
        self.assertAlmostEqual((figure['top'] + figure['bottom']) / 2, height / 2, delta=3, msg=figure)
        self.assertAlmostEqual((figure['right'] - figure['left']) / 2, radius, delta=4, msg=figure)
        self.assertAlmostEqual((figure['bottom'] - figure['top']) / 2, radius, delta=4, msg=figure)

    def test_opened_from_disk_or_a_web_server_it_shows_a_ratio_title_and_the_figure(self):
        directory = os.path.dirname(page_path())
        with served(directory) as (address, asked), Browser(width=1000, height=600) as browser:
            for where in ['file://' + page_path(), address + 'pentagram.html']:
                with self.subTest(where=where):
                    browser.open(where)
                    self.assertTrue(browser.wait_for_ratio_title()['title'].startswith(RATIO + '1.618033988749'))
                    canvas = browser.canvas()
                    self.assertEqual((canvas['width'], canvas['height']), (1000, 600), 'the viewport, filled')
                    self.assert_figure_centred(browser)
                    self.assertEqual(browser.run('return [document.body.scrollWidth, document.body.scrollHeight]'),
                                     [1000, 600], 'no scroll bars, no margin')
            self.assertEqual(asked, ['/pentagram.html'], 'the page fetched something more')

    def test_each_picture_carries_the_title_of_its_frame_as_every_form_draws_it(self):
        # Each picture on the canvas is identified by its digest among the
        # frames the snapshot tool draws at the canvas's size, and the page's
        # title then is that frame's.
        width, height = 320, 200
        frames, first = digests(width, height)
        with Browser(width=width, height=height) as browser:
            browser.open('file://' + page_path())
            self.assertEqual(browser.wait_for_ratio_title()['title'], first, 'the first picture\'s title')
            samples = [browser.run(PICTURE_AND_TITLE) for _ in range(40)]
        for sample in samples:
            self.assertIn(sample['digest'], frames, 'a picture the form does not draw at this size')
            self.assertIn(sample['title'], frames[sample['digest']], sample['digest'])
        self.assertGreater(len({sample['digest'] for sample in samples}), 10, 'the figure hardly turned')

    def test_at_twice_the_scale_the_canvas_has_twice_the_pixels(self):
        # Started on such a screen, and moved to one while it runs.
        for flags, change in [(['--force-device-scale-factor=2'], False), ([], True)]:
            with self.subTest(change=change), Browser(flags=flags, width=640, height=400) as browser:
                browser.open('file://' + page_path())
                browser.wait_for_ratio_title()
                if change:
                    browser.viewport(640, 400, scale=2)
                canvas = browser.wait_for(lambda: (c := browser.canvas())['width'] == 1280 and c, 'twice the pixels')
                self.assertEqual(canvas['ratio'], 2)
                self.assertEqual((canvas['cssWidth'], canvas['cssHeight']), (640, 400))
                self.assertEqual((canvas['width'], canvas['height']), (1280, 800))
                self.assert_figure_centred(browser)

    def test_the_separator_is_the_browser_languages(self):
        # On Linux, Chromium's --lang names its own interface's language;
        # the pages' is --accept-lang, as a person's settings give it.
        for language, number in [('fi-FI', '1,618033988749'), ('fa-IR', '1\u066b618033988749'),
                                 ('en-US', '1.618033988749')]:
            with self.subTest(language=language), \
                    Browser(flags=['--lang=' + language, '--accept-lang=' + language]) as browser:
                browser.open('file://' + page_path())
                self.assertTrue(browser.wait_for_ratio_title()['title'].startswith(RATIO + number))

    def test_a_resize_lays_the_next_frame_out_for_the_new_size(self):
        with Browser(width=900, height=600) as browser:
            browser.open('file://' + page_path())
            browser.wait_for_ratio_title()
            for width, height in [(500, 700), (1100, 400)]:
                with self.subTest(size=(width, height)):
                    browser.viewport(width, height)
                    browser.wait_for(lambda: (c := browser.canvas())['width'] == width and c['height'] == height,
                                     'the canvas at the new size')
                    browser.wait_for(lambda: abs((f := browser.figure())['bottom'] - f['top'] - min(width, height))
                                     < 8, 'the figure at the new size')
                    self.assert_figure_centred(browser)

    def test_a_run_time_error_shows_in_the_page_and_on_the_console(self):
        no_context = 'HTMLCanvasElement.prototype.getContext = () => null;'
        with Browser(before_page=no_context) as browser:
            browser.open('file://' + page_path())
            notice = browser.wait_for(lambda: browser.run(
                "const n = document.getElementById('pentagram-notice'); return n && n.innerText"), 'the error')
            line = 'pentagram: run-time error: cannot open the window: the browser gives the canvas no 2D context'
            self.assertIn(line, notice)
            self.assertIsNone(browser.canvas())
            self.assertTrue(any(line in message for message in browser.console()), browser.console())
            self.assertEqual(browser.driver.title, 'pentagram')


if __name__ == '__main__':
    unittest.main()
