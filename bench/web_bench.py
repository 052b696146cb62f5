"""The page in headless Chromium, measured side by side in one run.

    web_bench.py WEB_BUILD SNAPSHOT

In interleaved rounds: the benchmark page's frames per second at a
1920 x 1080 viewport beside the native offscreen frame's (the snapshot
tool) and the same offscreen frame as WebAssembly under Node.js, at the same
size; the pictures a second the page puts on its canvas meanwhile against
the browser's animation frames; then the program's own page: from
navigation start to its first ratio title, and from a click to its end; and
the page's size. Medians of ROUNDS (5) rounds.
"""

import os
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'web'))
from browser import Browser  # noqa: E402  (the tests' one way to start the browser)

ROUNDS = int(os.environ.get('ROUNDS', '5'))
WIDTH, HEIGHT = 1920, 1080
NATIVE_FRAMES = 30000

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


def webassembly_rate(web_build):
    """The same frame as WebAssembly on the offscreen form, under Node.js."""
    bench = os.path.join(web_build, 'pentagram_web_offscreen_bench.js')
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


def start_and_end(page):
    """Navigation start to the first ratio title, and click to the end, in ms."""
    with Browser(width=WIDTH, height=HEIGHT, before_page=END_CLOCK) as browser:
        # As a person opens it: in a browser already running.
        browser.open('about:blank')
        browser.open('file://' + page)
        first = browser.wait_for_ratio_title()['at']
        time.sleep(0.3)
        for kind in ('mousePressed', 'mouseReleased'):
            browser.cdp('Input.dispatchMouseEvent', type=kind, x=300, y=300, button='left', clickCount=1)
        ended = browser.wait_for(lambda: browser.run('return window.pentagramEnded'), 'the end')
        return first, ended - browser.run('return window.pentagramReleased')


def main():
    web_build, snapshot = sys.argv[1], sys.argv[2]
    page = os.path.abspath(os.path.join(web_build, 'pentagram.html'))
    bench_page = os.path.abspath(os.path.join(web_build, 'pentagram_web_bench.html'))
    rows = []
    for _ in range(ROUNDS):
        web, pictures, frames = web_rate(bench_page)
        native = native_rate(snapshot)
        webassembly = webassembly_rate(web_build)
        first, end = start_and_end(page)
        rows.append((web, native, web / native, webassembly, webassembly / native, web / webassembly, pictures, frames,
                     first, end))
    median = [statistics.median(column) for column in zip(*rows)]
    print('the page in headless Chromium at %dx%d, %d interleaved rounds; medians' % (WIDTH, HEIGHT, ROUNDS))
    print('%-40s %10s' % ('', 'median'))
    print('%-40s %10.0f' % ('page frames/s', median[0]))
    print('%-40s %10.0f' % ('native offscreen frames/s', median[1]))
    print('%-40s %9.2fx' % ('page / native', median[2]))
    print('%-40s %10.0f' % ('WebAssembly offscreen frames/s (Node.js)', median[3]))
    print('%-40s %9.2fx' % ('WebAssembly / native', median[4]))
    print('%-40s %9.2fx' % ('page / WebAssembly', median[5]))
    print('%-40s %10.1f' % ('pictures/s (putImageData)', median[6]))
    print('%-40s %10.1f' % ('animation frames/s', median[7]))
    print('%-40s %10.1f' % ('start to first ratio title, ms', median[8]))
    print('%-40s %10.1f' % ('click to end, ms', median[9]))
    print('%-40s %10.0f' % ('page size, KB', os.path.getsize(page) / 1024))
    print('rounds (page, native, ratio, WebAssembly, ratio, ratio, pictures/s, frames/s, start ms, end ms):')
    for row in rows:
        print('  ' + '  '.join('%.2f' % value for value in row))


if __name__ == '__main__':
    main()
