"""The page's end and rest in headless Chromium: a click or a tap ends the
program, a cancelled touch or a press dragged off the page and released
there does not, and a hidden tab rests.

Run by ctest (label web) with PENTAGRAM_WEB_DIR, the web build.
"""

import time
import unittest

from browser import Browser, page_path

ENDED = 'The program has ended. Reload the page to start it again.'


def touch(browser, kind, x=200, y=150):
    points = [] if kind in ('touchEnd', 'touchCancel') else [{'x': x, 'y': y}]
    browser.cdp('Input.dispatchTouchEvent', type=kind, touchPoints=points)


def mouse(browser, kind, x=200, y=150):
    browser.cdp('Input.dispatchMouseEvent', type=kind, x=x, y=y, button='left', clickCount=1)


class EndTest(unittest.TestCase):

    def ended(self, browser):
        return browser.canvas() is None and ENDED in browser.run('return document.body.innerText')

    def test_a_click_or_a_tap_ends_it_and_what_is_none_leaves_the_next_click_to(self):
        cases = [
            ('a click', lambda b: (mouse(b, 'mousePressed'), mouse(b, 'mouseReleased')), True),
            ('a tap', lambda b: (touch(b, 'touchStart'), touch(b, 'touchEnd')), True),
            ('a cancelled touch', lambda b: (touch(b, 'touchStart'), touch(b, 'touchCancel')), False),
            ('a press alone', lambda b: mouse(b, 'mousePressed'), False),
            ('a press dragged off the page and released there',
             lambda b: (mouse(b, 'mousePressed'), mouse(b, 'mouseMoved', x=900), mouse(b, 'mouseReleased', x=900)),
             False),
        ]
        with Browser(width=800, height=500) as browser:
            for what, gesture, ends in cases:
                with self.subTest(what):
                    browser.open('file://' + page_path())
                    browser.wait_for_ratio_title()
                    gesture(browser)
                    if ends:
                        browser.wait_for(lambda: self.ended(browser), 'the end', seconds=2)
                        self.assertEqual(browser.driver.title, 'pentagram', 'the page\'s own name')
                        titles = len(browser.titles())
                        time.sleep(0.2)
                        self.assertEqual(len(browser.titles()), titles, 'a title after the end')
                    else:
                        time.sleep(0.3)
                        self.assertFalse(self.ended(browser))
                        before = browser.ratio_titles()[-1]['at']
                        browser.wait_for(lambda: browser.ratio_titles()[-1]['at'] > before, 'the figure going on')
                        # Nothing is left held: a click then ends it.
                        mouse(browser, 'mousePressed')
                        mouse(browser, 'mouseReleased')
                        browser.wait_for(lambda: self.ended(browser), 'the end after a click', seconds=2)


class HiddenTest(unittest.TestCase):

    def test_a_hidden_tab_rests_and_shown_again_turns_on_with_a_true_ratio(self):
        with Browser(width=800, height=500) as browser:
            browser.open('file://' + page_path())
            browser.wait_for_ratio_title()
            for _ in range(2):
                browser.minimised(True)
                browser.wait_for(lambda: browser.run('return document.hidden'), 'the tab hidden')
                # The last title set may go on its own once the form looks
                # round, after a second at rest.
                time.sleep(1.2)
                titles = len(browser.titles())
                busy = browser.busy_seconds()
                time.sleep(1.5)
                self.assertLess(browser.busy_seconds() - busy, 0.05, 'hidden, it still works')
                self.assertEqual(len(browser.titles()), titles, 'hidden, its title changes')

                browser.minimised(False)
                browser.wait_for(lambda: not browser.run('return document.hidden'), 'the tab shown')
                busy = browser.busy_seconds()
                browser.wait_for(lambda: len(browser.titles()) > titles, 'a title once shown')
                time.sleep(0.5)
                self.assertGreater(browser.busy_seconds() - busy, 0.3, 'shown, it rests on')
            titles = [t['title'] for t in browser.titles()]
            for title in titles[titles.index(browser.ratio_titles()[0]['title']):]:
                self.assertTrue(title.startswith('Fii on suunnilleen 1.618033988749'), title)


if __name__ == '__main__':
    unittest.main()
