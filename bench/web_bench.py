"""The page in headless Chromium, measured side by side in one run.

    web_bench.py WEB_BUILD SNAPSHOT

In interleaved rounds: the benchmark page's frames per second at a
1920 x 1080 viewport beside the native offscreen frame's (the snapshot
tool) and the same offscreen frame as WebAssembly under Node.js at the same
size, with and without the page's Asyncify; the pictures a second the page
puts on its canvas meanwhile against the browser's animation frames; then
the program's own page and the straightforward canvas page
(web_plain_page.html) from navigation start to their first ratio title, in
a browser already running (warm) and as the first page of a browser just
started (cold); a click to the program's end; and the page's size. Medians
of ROUNDS (5) rounds, the starts STARTS (3) times a round.
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from browser import Browser  # noqa: E402  (the tests' one way to start the browser)

ROUNDS = int(os.environ.get('ROUNDS', '5'))
STARTS = int(os.environ.get('STARTS', '3'))
WIDTH, HEIGHT = 1920, 1080
NATIVE_FRAMES = 30000
PLAIN_PAGE = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'web_plain_page.html')

# Counts what reaches the canvas, and the animation frames the browser runs,
# each with the time of the last.
PICTURE_COUNTER = """
window.pentagramPictures = [0, 0, 0];
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function (...args) {
    const pictures = window.pentagramPictures;
    pictures[0] += 1;
    pictures[1] = pictures[1] || performance.now();
    pictures[2] = performance.now();
    return put.apply(this, args);
};
window.pentagramAnimationFrames = [0, 0, 0];
const frame = (time) => {
    const frames = window.pentagramAnimationFrames;
    frames[0] += 1;
    frames[1] = frames[1] || time;
    frames[2] = time;
    requestAnimationFrame(frame);
};
requestAnimationFrame(frame);
"""

# When the click's release came, and when the page said the program ended.
END_CLOCK = """
addEventListener('pointerup', (event) => { window.pentagramReleased = event.timeStamp; }, true);
new MutationObserver(() => {
    if (!window.pentagramEnded && document.getElementById('pentagram-notice')) {
        window.pentagramEnded = performance.now();
    }
}).observe(document, {subtree: true, childList: true});
"""

# The start's steps as the page's script sees them, each when it began and
# ended (ms from navigation start): the entry reached, the WebAssembly
# decoded, compiled and instantiated, the number format made (the first
# decimal separator asked for), the canvas's context, the first picture put.
START_CLOCK = """
window.pentagramStart = {};
const clock = (name, call) => function (...args) {
    const times = window.pentagramStart;
    const begun = performance.now();
    const result = new.target ? Reflect.construct(call, args) : call.apply(this, args);
    if (!(name in times)) {
        times[name] = [begun, performance.now()];
        if (result instanceof Promise) {
            result.then(() => times[name].push(performance.now()));
        }
    }
    return result;
};
WebAssembly.validate = clock('entry', WebAssembly.validate);
if (Uint8Array.fromBase64) {
    Uint8Array.fromBase64 = clock('base64', Uint8Array.fromBase64);
}
WebAssembly.instantiate = clock('instantiate', WebAssembly.instantiate);
Intl.NumberFormat = clock('number format', Intl.NumberFormat);
HTMLCanvasElement.prototype.getContext = clock('canvas', HTMLCanvasElement.prototype.getContext);
CanvasRenderingContext2D.prototype.putImageData = clock('put', CanvasRenderingContext2D.prototype.putImageData);
"""


def webassembly_rate(web_build, name):
    """The same frame as WebAssembly on the offscreen form, under Node.js."""
    bench = os.path.join(web_build, name + '.js')
    return float(subprocess.run(['node', bench], check=True, capture_output=True, text=True).stdout)


def native_rate(snapshot):
    start = time.monotonic()
    subprocess.run([snapshot, '--size', '%dx%d' % (WIDTH, HEIGHT), '--frames', str(NATIVE_FRAMES)], check=True,
                   stdout=subprocess.DEVNULL)
    return NATIVE_FRAMES / (time.monotonic() - start)


def per_second(counted):
    """A count, from its first to its last, a second."""
    count, first, last = counted
    return (count - 1) / ((last - first) / 1000)


def frame_rate(browser, lines):
    """The benchmark page's figure, once it has written it."""
    lines.extend(browser.console())
    return next((float(line.split('frames/s')[1].strip(' "')) for line in lines if 'frames/s' in line), None)


def web_rate(page):
    """The benchmark page's frames a second, and its pictures a second
    against the browser's animation frames while it ran."""
    with Browser(width=WIDTH, height=HEIGHT, before_page=PICTURE_COUNTER) as browser:
        browser.open('file://' + page)
        lines = []
        rate = browser.wait_for(lambda: frame_rate(browser, lines), 'the frame rate', seconds=60)
        frames = browser.run('return pentagramAnimationFrames')
        pictures = browser.run('return pentagramPictures')
        return rate, per_second(pictures), per_second(frames)


def first_title(page, warm):
    """Navigation start to the page's first ratio title, in ms: in a browser
    already running, or as the first page of one just started."""
    with Browser(width=WIDTH, height=HEIGHT) as browser:
        if warm:
            browser.open('about:blank')
        browser.open('file://' + page)
        return browser.wait_for_ratio_title()['at']


def click_to_end(page):
    """From a click's release to the program's end, in ms."""
    with Browser(width=WIDTH, height=HEIGHT, before_page=END_CLOCK) as browser:
        browser.open('file://' + page)
        browser.wait_for_ratio_title()
        time.sleep(0.3)
        for kind in ('mousePressed', 'mouseReleased'):
            browser.cdp('Input.dispatchMouseEvent', type=kind, x=300, y=300, button='left', clickCount=1)
        ended = browser.wait_for(lambda: browser.run('return window.pentagramEnded'), 'the end')
        return ended - browser.run('return window.pentagramReleased')


def start_steps(page):
    """How long each step of one warm start of the page took, in ms."""
    with Browser(width=WIDTH, height=HEIGHT, before_page=START_CLOCK) as browser:
        browser.open('about:blank')
        browser.open('file://' + page)
        title = browser.wait_for_ratio_title()['at']
        times = browser.run('return pentagramStart')
    instantiate = times['instantiate']
    steps = {
        'to the entry (the page read)': times['entry'][0],
        'number format made': times['number format'][1] - times['number format'][0],
        'compiled and instantiated (meanwhile)': instantiate[2] - instantiate[0],
        'instance to the canvas': times['canvas'][0] - instantiate[2],
        'canvas to the first picture (first frame)': times['put'][0] - times['canvas'][0],
        'first putImageData at full size': times['put'][1] - times['put'][0],
        'to the title': title - times['put'][1],
    }
    if 'base64' in times:
        steps['base64 decoded'] = times['base64'][1] - times['base64'][0]
    return steps


def starts(page):
    """The page's and the straightforward page's first ratio titles, warm and
    cold, STARTS times each, interleaved."""
    times = {(which, warm): [] for which in ('page', 'plain') for warm in (True, False)}
    for _ in range(STARTS):
        for warm in (True, False):
            times[('page', warm)].append(first_title(page, warm))
            times[('plain', warm)].append(first_title(PLAIN_PAGE, warm))
    return times


def main():
    web_build, snapshot = sys.argv[1], sys.argv[2]
    page = os.path.abspath(os.path.join(web_build, 'pentagram.html'))
    bench_page = os.path.abspath(os.path.join(web_build, 'pentagram_web_bench.html'))
    columns = ['page frames/s', 'native offscreen frames/s', 'page / native', 'WebAssembly frames/s (Node.js)',
               'WebAssembly with Asyncify frames/s', 'WebAssembly / native', 'page / WebAssembly',
               'pictures/s (putImageData)', 'animation frames/s', 'click to end, ms']
    rows = []
    start_times = {}
    steps = {}
    for _ in range(ROUNDS):
        web, pictures, frames = web_rate(bench_page)
        native = native_rate(snapshot)
        webassembly = webassembly_rate(web_build, 'pentagram_web_offscreen_bench')
        asyncify = webassembly_rate(web_build, 'pentagram_web_offscreen_bench_asyncify')
        end = click_to_end(page)
        rows.append((web, native, web / native, webassembly, asyncify, webassembly / native, web / webassembly,
                     pictures, frames, end))
        for key, values in starts(page).items():
            start_times.setdefault(key, []).extend(values)
        for _ in range(STARTS):
            for step, took in start_steps(page).items():
                steps.setdefault(step, []).append(took)
    median = [statistics.median(column) for column in zip(*rows)]
    print('the page in headless Chromium at %dx%d, %d interleaved rounds; medians' % (WIDTH, HEIGHT, ROUNDS))
    for name, value in zip(columns, median):
        print('%-42s %10.2f%s' % (name, value, 'x' if ' / ' in name else ''))
    print('first ratio title, ms (navigation start; %d starts each)' % (ROUNDS * STARTS))
    print('%-42s %10s %10s %10s' % ('', 'page', 'plain', 'ratio'))
    for warm in (True, False):
        ours = statistics.median(start_times[('page', warm)])
        plain = statistics.median(start_times[('plain', warm)])
        print('%-42s %10.1f %10.1f %9.2fx' % ('warm (browser running)' if warm else 'cold (browser just started)',
                                              ours, plain, ours / plain))
    print('the page\'s warm start step by step, ms (medians of %d; "meanwhile": beside the steps before it)' %
          (ROUNDS * STARTS))
    for step, took in steps.items():
        print('  %-40s %10.1f' % (step, statistics.median(took)))
    print('%-42s %10.0f' % ('page size, KB', os.path.getsize(page) / 1024))
    print('rounds (' + ', '.join(columns) + '):')
    for row in rows:
        print('  ' + '  '.join('%.2f' % value for value in row))
    for (which, warm), values in sorted(start_times.items()):
        print('  %s %s starts: %s' % (which, 'warm' if warm else 'cold', ' '.join('%.0f' % v for v in values)))


if __name__ == '__main__':
    main()
