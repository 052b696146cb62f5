// The browser's side of the canvas window (web_window.h): the page's canvas,
// what the browser tells of it, and the turns the program's thread takes
// with the browser, which runs the page on that same thread. Each function
// is one step the window asks for; the state they share is WebCanvas. What
// the browser tells goes to the program as it is, by the browser's own
// names: what it makes of it (a click, the display's pace) is the program's.
//
// The program's loop never returns to the browser on its own: it gives the
// browser a turn (pentagram_canvas_turn) and rests (pentagram_canvas_rest)
// through Asyncify, which unwinds the program's stack and winds it again
// once the browser hands control back.

mergeInto(LibraryManager.library, {
    $WebCanvas__deps: ['$WebPage'],
    $WebCanvas: {
        canvas: null,
        context: null,
        pageTitle: '',
        // What the browser told, until the program's next dispatch, and the
        // names the program numbers it by.
        events: [],
        kinds: null,
        cleanUp: [],
        // The backing store's size in device pixels: the CSS size times the
        // device pixel ratio, as the browser measures it.
        width: 0,
        height: 0,
        ratio: 1,
        // The image's rows as the canvas takes them, made again where the
        // module's memory grew (which detaches the old view).
        picture: null,
        rows: 0,
        // A picture is pending until the animation frame after it.
        pending: false,
        frameRequest: 0,
        // The program, while it waits for the browser: it goes on when the
        // channel's message with its number comes, which hands control back
        // without a timer's clamping and outside the browser's own handlers.
        resume: null,
        resting: false,
        turns: 0,
        channel: null,
        // Shown by the program, and the tab hidden.
        shown: false,
        hidden: false,

        tell: (type, details = {}) => {
            WebCanvas.events.push(Object.assign({kind: WebCanvas.kinds.get(type)}, details));
            WebCanvas.wake();
        },
        // Ends a rest (a turn ends with its own message).
        wake: () => {
            if (WebCanvas.resting) {
                WebCanvas.resting = false;
                WebCanvas.channel.port2.postMessage(WebCanvas.turns);
            }
        },
        wait: (wakeUp) => {
            WebCanvas.turns += 1;
            WebCanvas.resume = wakeUp;
        },
        // The program goes on; whatever it throws on the way (a trap, an
        // error of the browser's) ends it, shown in the page.
        message: (event) => {
            const resume = WebCanvas.resume;
            if (resume && event.data === WebCanvas.turns) {
                WebCanvas.resume = null;
                try {
                    resume();
                } catch (failure) {
                    WebPage.failed(failure);
                }
            }
        },
        listen: (target, type, handler) => {
            target.addEventListener(type, handler);
            WebCanvas.cleanUp.push(() => target.removeEventListener(type, handler));
        },
        // A pointer, where it is from the canvas's corner in CSS pixels.
        point: (event) => {
            const area = WebCanvas.canvas.getBoundingClientRect();
            return {
                pointer: event.pointerId,
                finger: event.pointerType === 'touch',
                x: event.clientX - area.left,
                y: event.clientY - area.top,
            };
        },
        measure: (entry) => {
            const ratio = window.devicePixelRatio || 1;
            WebCanvas.ratio = ratio;
            const area = WebCanvas.canvas.getBoundingClientRect();
            let width = Math.round(area.width * ratio);
            let height = Math.round(area.height * ratio);
            // The CSS size times the ratio, as near as whole pixels go, or the
            // exact device pixels where the browser says them and they are
            // of this ratio (an emulated ratio leaves them at the screen's).
            const exact = entry && entry.devicePixelContentBoxSize && entry.devicePixelContentBoxSize[0];
            if (exact && Math.abs(exact.inlineSize - width) <= 1 && Math.abs(exact.blockSize - height) <= 1) {
                width = exact.inlineSize;
                height = exact.blockSize;
            }
            if (width !== WebCanvas.width || height !== WebCanvas.height) {
                WebCanvas.width = width;
                WebCanvas.height = height;
                WebCanvas.tell('resize');
            }
        },
        frame: (time) => {
            WebCanvas.frameRequest = 0;
            WebCanvas.pending = false;
            // A change of the device pixel ratio alone (another screen) may
            // come with no resize to tell of it: looked for at every frame.
            if ((window.devicePixelRatio || 1) !== WebCanvas.ratio) {
                WebCanvas.measure(null);
            }
            WebCanvas.tell('animationframe', {time});
        },
        // Every listener, the observer, the animation frame asked for and
        // the channel let go, the canvas removed and the page's title back:
        // at the program's end, and when the module fails.
        close: () => {
            WebCanvas.cleanUp.forEach((undo) => undo());
            WebCanvas.cleanUp = [];
            if (WebCanvas.frameRequest) {
                cancelAnimationFrame(WebCanvas.frameRequest);
                WebCanvas.frameRequest = 0;
            }
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
            WebCanvas.events = [];
            WebCanvas.resume = null;
            WebCanvas.resting = false;
        },
    },

    pentagram_canvas_open__deps: ['$WebCanvas', '$WebPage'],
    pentagram_canvas_open: function (kinds, kindCount) {
        const canvas = document.createElement('canvas');
        // Opaque: the picture's pixels are all there is to see.
        const context = canvas.getContext('2d', {alpha: false});
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
        WebCanvas.kinds = new Map();
        for (let kind = 0; kind < kindCount; ++kind) {
            WebCanvas.kinds.set(UTF8ToString(HEAP32[(kinds >> 2) + kind]), kind);
        }
        WebPage.whenFailed(WebCanvas.close);

        const channel = new MessageChannel();
        channel.port1.onmessage = WebCanvas.message;
        WebCanvas.channel = channel;

        // Every pointer as the browser tells it. A pointer pressed on the
        // canvas is captured, so that its release comes here wherever it
        // is; a capture lost is told too.
        WebCanvas.listen(canvas, 'pointerdown', (event) => {
            canvas.setPointerCapture(event.pointerId);
            WebCanvas.tell(event.type, WebCanvas.point(event));
        });
        for (const type of ['pointerup', 'pointercancel', 'lostpointercapture']) {
            WebCanvas.listen(window, type, (event) => WebCanvas.tell(event.type, WebCanvas.point(event)));
        }
        // A click ends the program: no menu for the right button meanwhile.
        WebCanvas.listen(canvas, 'contextmenu', (event) => event.preventDefault());
        WebCanvas.hidden = document.hidden;
        WebCanvas.listen(document, 'visibilitychange', (event) => {
            WebCanvas.hidden = document.hidden;
            WebCanvas.tell(event.type);
        });

        // The canvas fills the viewport; its backing store follows its size
        // in device pixels through resizing, zoom and a move to a screen of
        // another ratio.
        WebCanvas.measure(null);
        const observer = new ResizeObserver((entries) => WebCanvas.measure(entries[entries.length - 1]));
        try {
            observer.observe(canvas, {box: 'device-pixel-content-box'});
        } catch (notThatBox) {
            observer.observe(canvas);
        }
        WebCanvas.cleanUp.push(() => observer.disconnect());
        WebCanvas.listen(window, 'resize', () => WebCanvas.measure(null));
        return 1;
    },

    pentagram_canvas_close__deps: ['$WebCanvas'],
    pentagram_canvas_close: function () {
        WebCanvas.close();
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

    // The image's rows, which the canvas's backing store takes at their size.
    pentagram_canvas_rows__deps: ['$WebCanvas'],
    pentagram_canvas_rows: function (rows, width, height) {
        WebCanvas.rows = rows;
        WebCanvas.picture = null;
        WebCanvas.canvas.width = width;
        WebCanvas.canvas.height = height;
    },

    // Puts the region of the image on the canvas, straight from the module's
    // memory, and asks for the animation frame that shows it.
    pentagram_canvas_put__deps: ['$WebCanvas'],
    pentagram_canvas_put: function (x, y, width, height) {
        const canvas = WebCanvas.canvas;
        let picture = WebCanvas.picture;
        if (picture === null || picture.data.buffer !== HEAPU8.buffer) {
            const pixels = new Uint8ClampedArray(HEAPU8.buffer, WebCanvas.rows, canvas.width * canvas.height * 4);
            picture = new ImageData(pixels, canvas.width, canvas.height);
            WebCanvas.picture = picture;
        }
        WebCanvas.context.putImageData(picture, 0, 0, x, y, width, height);
        WebCanvas.pending = true;
        WebCanvas.frameRequest = requestAnimationFrame(WebCanvas.frame);
    },

    // The next thing the browser told, written where the program reads it
    // (web_window.cpp's CanvasEvent); 0 when there is none.
    pentagram_canvas_next_event__deps: ['$WebCanvas'],
    pentagram_canvas_next_event: function (event) {
        const told = WebCanvas.events.shift();
        if (told === undefined) {
            return 0;
        }
        HEAP32[event >> 2] = told.kind;
        HEAP32[(event >> 2) + 1] = told.pointer || 0;
        HEAP32[(event >> 2) + 2] = told.finger ? 1 : 0;
        HEAPF64[(event >> 3) + 2] = told.x || 0;
        HEAPF64[(event >> 3) + 3] = told.y || 0;
        HEAPF64[(event >> 3) + 4] = told.time || 0;
        return 1;
    },

    // Hands control to the browser for one turn of its own: what it has to
    // do now (input, an animation frame and its painting) runs, then the
    // program goes on. A message, not a timer, which browsers clamp to 4 ms.
    pentagram_canvas_turn__deps: ['$WebCanvas'],
    pentagram_canvas_turn: function () {
        return Asyncify.handleSleep((wakeUp) => {
            WebCanvas.wait(wakeUp);
            WebCanvas.channel.port2.postMessage(WebCanvas.turns);
        });
    },

    // Rests until the browser tells of something (a pointer, a size, the tab
    // shown or hidden, an animation frame) or the time is up.
    pentagram_canvas_rest__deps: ['$WebCanvas'],
    pentagram_canvas_rest: function (milliseconds) {
        return Asyncify.handleSleep((wakeUp) => {
            const timer = setTimeout(WebCanvas.wake, milliseconds);
            WebCanvas.wait(() => {
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
