"""What the page says when the browser cannot run the program or the module
fails, in headless Chromium: in its text, in words a person understands,
and on the console; and that nothing of the program acts after its end.

Run by ctest (label web) with PENTAGRAM_WEB_DIR, the web build.
"""

import time
import unittest

from browser import Browser, page_path

CANNOT = 'This browser cannot run the pentagram'
BROWSERS = 'Chrome, Edge and Opera 91 or later, Firefox 89 or later and Safari 16.4 or later'

# The canvas's fifth picture fails in the browser's own call, as an error
# thrown by the browser or a trap would, long after the first turn.
FAILING_PICTURE = """
const put = CanvasRenderingContext2D.prototype.putImageData;
let pictures = 0;
CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    pictures += 1;
    if (pictures === 5) {
        throw new Error('the fifth picture failed');
    }
    return put.apply(this, args);
};
"""

# From the click's release on, the animation frames the page asked for are
# held; once the page says the program ended, the device pixel ratio
# changes and the frames held run, as they would on a move to another
# screen just then.
RATIO_AT_THE_END = """
let ratio = 1;
let holding = false;
const held = new Map();
Object.defineProperty(window, 'devicePixelRatio', {get: () => ratio});
const request = window.requestAnimationFrame.bind(window);
const cancel = window.cancelAnimationFrame.bind(window);
window.requestAnimationFrame = (callback) => {
    const id = request((time) => (holding ? held.set(id, callback) : callback(time)));
    return id;
};
window.cancelAnimationFrame = (id) => {
    held.delete(id);
    cancel(id);
};
addEventListener('pointerup', () => { holding = true; }, true);
new MutationObserver(() => {
    if (holding && document.getElementById('pentagram-notice')) {
        holding = false;
        ratio = 2;
        held.forEach((callback) => callback(performance.now()));
        held.clear();
    }
}).observe(document, {subtree: true, childList: true});
"""


def notice(browser):
    return browser.run("const n = document.getElementById('pentagram-notice'); return n && n.innerText")


def new_errors(browser):
    """What the console has had of the program or of errors since it was
    last read."""
    return [line for line in browser.console() if 'pentagram' in line or 'Error' in line]


class FailureTest(unittest.TestCase):

    def test_a_browser_that_cannot_run_it_is_told_what_it_lacks_and_which_browsers_do(self):
        cases = [
            ('WebAssembly removed', 'delete window.WebAssembly;', 'It has no WebAssembly, or has it turned off'),
            ('no SIMD', 'const validate = WebAssembly.validate;'
                        'WebAssembly.validate = (bytes) => !bytes.includes(0xfd) && validate(bytes);',
             'Its WebAssembly lacks SIMD (vector instructions)'),
            ('a module that does not compile',
             "WebAssembly.instantiate = () => Promise.reject(new WebAssembly.CompileError('invalid value type'));",
             'It could not compile the program\'s WebAssembly (invalid value type)'),
        ]
        for what, before_page, lacks in cases:
            with self.subTest(what), Browser(before_page=before_page) as browser:
                browser.open('file://' + page_path())
                said = browser.wait_for(lambda: notice(browser), 'a notice')
                self.assertIn(CANNOT, said)
                self.assertIn(lacks, said)
                self.assertIn(BROWSERS, said)
                self.assertTrue(any(lacks in line for line in browser.console()), browser.console())
                self.assertEqual(browser.driver.title, 'pentagram')

    def test_a_failure_after_the_first_picture_is_shown_and_the_page_lets_go(self):
        with Browser(before_page=FAILING_PICTURE) as browser:
            browser.open('file://' + page_path())
            said = browser.wait_for(lambda: notice(browser), 'a notice')
            self.assertIn('pentagram: run-time error: the program failed: Error: the fifth picture failed', said)
            self.assertTrue(browser.ratio_titles(), 'no picture went before the failure')
            self.assertIsNone(browser.canvas())
            self.assertEqual(browser.driver.title, 'pentagram')
            console = browser.console()
            self.assertTrue(any('the fifth picture failed' in line for line in console), console)
            # Let go: no listener acts on a resize, nothing more is told.
            browser.viewport(700, 400)
            time.sleep(0.3)
            self.assertEqual(new_errors(browser), [])

    def test_nothing_acts_after_the_end(self):
        with Browser(before_page=RATIO_AT_THE_END) as browser:
            browser.open('file://' + page_path())
            browser.wait_for_ratio_title()
            for kind in ('mousePressed', 'mouseReleased'):
                browser.cdp('Input.dispatchMouseEvent', type=kind, x=200, y=150, button='left', clickCount=1)
            browser.wait_for(lambda: notice(browser), 'the end')
            time.sleep(0.3)
            self.assertEqual(new_errors(browser), [])
            self.assertIsNone(browser.canvas())


if __name__ == '__main__':
    unittest.main()
