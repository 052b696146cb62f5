// The browser's side of the canvas window (web_window.h): the page's canvas,
// what the browser tells of it, and the turns the program's thread takes
// with the browser, which runs the page on that same thread. Each function
// is one step the window asks for; the state they share is WebCanvas.
//
// The program's loop never returns to the browser on its own: it gives the
// browser a turn (pentagram_canvas_turn) and rests (pentagram_canvas_rest)
// through Asyncify, which unwinds the program's stack and winds it again
// once the browser hands control back.

mergeInto(LibraryManager.library, {
    $WebCanvas: {
        canvas: null,
        context: null,
        pageTitle: '',
        // Pointers and sizes, told to the program at its next dispatch.
        events: [],
        cleanUp: [],
        // The backing store's size in device pixels: the CSS size times the
        // device pixel ratio, as the browser measures it.
        width: 0,
        height: 0,
        ratio: 1,
        // The window's memory as the canvas takes it, made again where the
        // module's memory grew (which detaches the old view).
        picture: null,
        memory: 0,
        // The pace: a picture is pending until the animation frame after
        // it; the animation frames' times give the refreshes to come.
        pending: false,
        lastFrame: 0,
        period: 1000 / 60,
        // The program, while it waits for the browser: it goes on when the
        // channel's message with its number comes, which hands control back
        // without a timer's clamping and outside the browser's own handlers.
        resume: null,
        resting: false,
        turns: 0,
        turnedAt: 0,
        channel: null,
        // The first pointer of a press, while it is down.
        pointer: null,
        // Shown by the program, and the tab hidden.
        shown: false,
        hidden: false,

        // Kinds of event, as web_window.cpp reads them.
        kPressed: 1,
        kReleased: 2,
        kResized: 3,
        kExposed: 4,

        tell: function (kind, inside) {
            WebCanvas.events.push(kind * 2 + (inside ? 1 : 0));
            WebCanvas.wake();
        },
        // Ends a rest (a turn ends with its own message).
        wake: function () {
            if (WebCanvas.resting) {
                WebCanvas.resting = false;
                WebCanvas.channel.port2.postMessage(WebCanvas.turns);
            }
        },
        wait: function (wakeUp) {
            WebCanvas.turns += 1;
            WebCanvas.resume = wakeUp;
        },
        message: function (event) {
            var resume = WebCanvas.resume;
            if (resume && event.data === WebCanvas.turns) {
                WebCanvas.resume = null;
                resume();
            }
        },
        listen: function (target, type, handler, options) {
            target.addEventListener(type, handler, options);
            WebCanvas.cleanUp.push(function () {
                target.removeEventListener(type, handler, options);
            });
        },
        inside: function (event) {
            var area = WebCanvas.canvas.getBoundingClientRect();
            return event.clientX >= area.left && event.clientX < area.right && event.clientY >= area.top &&
                event.clientY < area.bottom;
        },
        measure: function (entry) {
            var dpr = window.devicePixelRatio || 1;
            WebCanvas.ratio = dpr;
            var area = WebCanvas.canvas.getBoundingClientRect();
            var width = Math.round(area.width * dpr);
            var height = Math.round(area.height * dpr);
            // The CSS size times the ratio, as near as whole pixels go, or the
            // exact device pixels where the browser says them and they are
            // of this ratio (an emulated ratio leaves them at the screen's).
            var exact = entry && entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
            if (exact && Math.abs(exact.inlineSize - width) <= 1 && Math.abs(exact.blockSize - height) <= 1) {
                width = exact.inlineSize;
                height = exact.blockSize;
            }
            if (width !== WebCanvas.width || height !== WebCanvas.height) {
                WebCanvas.width = width;
                WebCanvas.height = height;
                WebCanvas.tell(WebCanvas.kResized, false);
            }
        },
        frame: function (time) {
            var since = time - WebCanvas.lastFrame;
            // The shortest time between two frames is the display's period;
            // a frame skipped while the program drew takes two.
            if (WebCanvas.lastFrame > 0 && since > 2 && since < WebCanvas.period * 1.5) {
                WebCanvas.period = since;
            }
            WebCanvas.lastFrame = time;
            WebCanvas.pending = false;
            // A change of the device pixel ratio alone (another screen) may
            // come with no resize to tell of it: looked for at every frame.
            if ((window.devicePixelRatio || 1) !== WebCanvas.ratio) {
                WebCanvas.measure(null);
            }
            WebCanvas.wake();
        },
    },

    pentagram_canvas_open__deps: ['$WebCanvas'],
    pentagram_canvas_open: function () {
        var canvas = document.createElement('canvas');
        // Opaque: the picture's pixels are all there is to see.
        var context = canvas.getContext('2d', {alpha: false});
        if (!context) {
            return 0;
        }
        canvas.id = 'pentagram';
        canvas.style.visibility = 'hidden';
        document.body.appendChild(canvas);
        WebCanvas.canvas = canvas;
        WebCanvas.context = context;
        WebCanvas.pageTitle = document.title;
        WebCanvas.events = [];

        var channel = new MessageChannel();
        channel.port1.onmessage = WebCanvas.message;
        WebCanvas.channel = channel;

        // A press is the first pointer's, of any button; its release counts
        // where it is lifted, also once it has left the canvas. A cancelled
        // touch is a release outside.
        WebCanvas.listen(canvas, 'pointerdown', function (event) {
            if (event.isPrimary && WebCanvas.pointer === null) {
                WebCanvas.pointer = event.pointerId;
                WebCanvas.tell(WebCanvas.kPressed, true);
            }
        });
        var released = function (event) {
            if (event.pointerId === WebCanvas.pointer) {
                WebCanvas.pointer = null;
                WebCanvas.tell(WebCanvas.kReleased, event.type === 'pointerup' && WebCanvas.inside(event));
            }
        };
        WebCanvas.listen(window, 'pointerup', released);
        WebCanvas.listen(window, 'pointercancel', released);
        // A click ends the program: no menu for the right button meanwhile.
        WebCanvas.listen(canvas, 'contextmenu', function (event) {
            event.preventDefault();
        });
        WebCanvas.hidden = document.hidden;
        WebCanvas.listen(document, 'visibilitychange', function () {
            WebCanvas.hidden = document.hidden;
            WebCanvas.tell(WebCanvas.kExposed, false);
        });

        // The canvas fills the viewport; its backing store follows its size
        // in device pixels through resizing, zoom and a move to a screen of
        // another ratio.
        WebCanvas.measure(null);
        if (typeof ResizeObserver !== 'undefined') {
            var observer = new ResizeObserver(function (entries) {
                WebCanvas.measure(entries[entries.length - 1]);
            });
            try {
                observer.observe(canvas, {box: 'device-pixel-content-box'});
            } catch (notThatBox) {
                observer.observe(canvas);
            }
            WebCanvas.cleanUp.push(function () {
                observer.disconnect();
            });
        }
        WebCanvas.listen(window, 'resize', function () {
            WebCanvas.measure(null);
        });
        return 1;
    },

    pentagram_canvas_close__deps: ['$WebCanvas'],
    pentagram_canvas_close: function () {
        WebCanvas.cleanUp.forEach(function (undo) {
            undo();
        });
        WebCanvas.cleanUp = [];
        if (WebCanvas.channel) {
            WebCanvas.channel.port1.close();
            WebCanvas.channel = null;
        }
        if (WebCanvas.canvas) {
            WebCanvas.canvas.remove();
            WebCanvas.canvas = null;
            document.title = WebCanvas.pageTitle;
        }
        WebCanvas.context = null;
        WebCanvas.shown = false;
        WebCanvas.picture = null;
        WebCanvas.resume = null;
        WebCanvas.resting = false;
    },

    pentagram_canvas_device_pixel_ratio: function () {
        return window.devicePixelRatio || 1;
    },

    pentagram_canvas_size__deps: ['$WebCanvas'],
    pentagram_canvas_size: function (size) {
        HEAP32[size >> 2] = WebCanvas.width;
        HEAP32[(size >> 2) + 1] = WebCanvas.height;
    },

    pentagram_canvas_title: function (title) {
        document.title = UTF8ToString(title);
    },

    pentagram_canvas_show__deps: ['$WebCanvas'],
    pentagram_canvas_show: function () {
        WebCanvas.canvas.style.visibility = 'visible';
        WebCanvas.shown = true;
    },

    // Asked several times a frame: the page's state as the events left it.
    pentagram_canvas_visible__deps: ['$WebCanvas'],
    pentagram_canvas_visible: function () {
        return WebCanvas.shown && !WebCanvas.hidden;
    },

    pentagram_canvas_ready__deps: ['$WebCanvas'],
    pentagram_canvas_ready: function () {
        return !WebCanvas.pending;
    },

    // The time to the next refresh the browser is expected to draw, in
    // milliseconds; below zero once it is due. A refresh that a turn did not
    // find yet is looked for again a millisecond after that turn.
    pentagram_canvas_refresh_in__deps: ['$WebCanvas'],
    pentagram_canvas_refresh_in: function () {
        var expected = WebCanvas.lastFrame + WebCanvas.period;
        if (WebCanvas.turnedAt >= expected) {
            expected = WebCanvas.turnedAt + 1;
        }
        return expected - performance.now();
    },

    // The window's memory for pictures of this size, which the canvas's
    // backing store takes at its size.
    pentagram_canvas_memory__deps: ['$WebCanvas'],
    pentagram_canvas_memory: function (memory, width, height) {
        WebCanvas.memory = memory;
        WebCanvas.picture = null;
        WebCanvas.canvas.width = width;
        WebCanvas.canvas.height = height;
    },

    // Puts the region of the window's memory on the canvas, straight from the
    // module's memory, and asks for the animation frame that shows it.
    pentagram_canvas_put__deps: ['$WebCanvas'],
    pentagram_canvas_put: function (x, y, width, height) {
        var canvas = WebCanvas.canvas;
        var picture = WebCanvas.picture;
        if (picture === null || picture.data.buffer !== HEAPU8.buffer) {
            var pixels = new Uint8ClampedArray(HEAPU8.buffer, WebCanvas.memory, canvas.width * canvas.height * 4);
            picture = new ImageData(pixels, canvas.width, canvas.height);
            WebCanvas.picture = picture;
        }
        WebCanvas.context.putImageData(picture, 0, 0, x, y, width, height);
        WebCanvas.pending = true;
        requestAnimationFrame(WebCanvas.frame);
    },

    pentagram_canvas_next_event__deps: ['$WebCanvas'],
    pentagram_canvas_next_event: function () {
        return WebCanvas.events.length > 0 ? WebCanvas.events.shift() : 0;
    },

    // Hands control to the browser for one turn of its own: what it has to
    // do now (input, an animation frame and its painting) runs, then the
    // program goes on. A message, not a timer, which browsers clamp to 4 ms.
    pentagram_canvas_turn__deps: ['$WebCanvas'],
    pentagram_canvas_turn: function () {
        return Asyncify.handleSleep(function (wakeUp) {
            WebCanvas.wait(wakeUp);
            WebCanvas.turnedAt = performance.now();
            WebCanvas.channel.port2.postMessage(WebCanvas.turns);
        });
    },

    // Rests until the browser tells of something (a pointer, a size, the tab
    // shown or hidden, an animation frame) or the time is up.
    pentagram_canvas_rest__deps: ['$WebCanvas'],
    pentagram_canvas_rest: function (milliseconds) {
        return Asyncify.handleSleep(function (wakeUp) {
            var timer = setTimeout(WebCanvas.wake, milliseconds);
            WebCanvas.wait(function () {
                clearTimeout(timer);
                wakeUp();
            });
            WebCanvas.resting = true;
            if (WebCanvas.events.length > 0) {
                WebCanvas.wake();
            }
        });
    },
});
