// The page around the canvas window: what it says once the program has
// ended, and a run-time error in a box, as the desktops show one. A failure
// of the module itself (a trap, memory the browser would not give) is shown
// the same way.

mergeInto(LibraryManager.library, {
    $WebPage: {
        say: function (heading, lines) {
            var notice = document.createElement('div');
            notice.id = 'pentagram-notice';
            notice.setAttribute('role', heading ? 'alertdialog' : 'status');
            if (heading) {
                var title = document.createElement('h1');
                title.textContent = heading;
                notice.appendChild(title);
            }
            lines.forEach(function (line) {
                var paragraph = document.createElement('p');
                paragraph.textContent = line;
                notice.appendChild(paragraph);
            });
            var earlier = document.getElementById('pentagram-notice');
            if (earlier) {
                earlier.remove();
            }
            document.body.appendChild(notice);
        },
        failed: function (what) {
            var canvas = document.getElementById('pentagram');
            if (canvas) {
                canvas.remove();
            }
            var report = 'pentagram: run-time error: the program failed: ' + what;
            console.error(report);
            WebPage.say('pentagram', [report, 'Reload the page to start it again.']);
        },
    },

    $WebPage__postset: "Module['onAbort'] = function (what) { WebPage.failed(String(what)); };",

    pentagram_page_ended__deps: ['$WebPage'],
    pentagram_page_ended: function () {
        WebPage.say('', ['The program has ended. Reload the page to start it again.']);
    },

    pentagram_page_error__deps: ['$WebPage'],
    pentagram_page_error: function (program, report) {
        WebPage.say(UTF8ToString(program), [UTF8ToString(report), 'Reload the page to start it again.']);
    },
});
