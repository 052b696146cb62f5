// The page around the canvas window, from the module's side: that the
// program has ended, its run-time error in a box as the desktops show one,
// and any failure of the module itself (an abort, a trap, an error thrown
// in the browser's calls), after which the module's parts let go of the
// page. The words are the page entry's (web_entry.js), handed to the
// module as `page`.

mergeInto(LibraryManager.library, {
    $WebPage: {
        // What lets go of the page when the module fails.
        cleanUps: [],
        whenFailed: (cleanUp) => {
            WebPage.cleanUps.push(cleanUp);
        },
        failed: (failure) => {
            WebPage.cleanUps.splice(0).forEach((cleanUp) => cleanUp());
            Module['page'].failed(failure);
        },
    },

    $WebPage__postset: "Module['onAbort'] = (what) => WebPage.failed(what);",

    pentagram_page_ended__deps: ['$WebPage'],
    pentagram_page_ended: function () {
        Module['page'].ended();
    },

    pentagram_page_error__deps: ['$WebPage'],
    pentagram_page_error: function (program, report) {
        Module['page'].error(UTF8ToString(program), UTF8ToString(report));
    },
});
