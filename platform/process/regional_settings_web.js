// The browser's side of its regional settings (regional_settings_web.cpp).

mergeInto(LibraryManager.library, {
    $WebLanguage: {
        // The browser's own separator, found while the module compiles: the
        // browser's number formatting takes a good part of the time to the
        // first picture the first time it is asked.
        browsers: null,
        separatorOf: (language) => {
            try {
                const parts = new Intl.NumberFormat(language).formatToParts(1.5);
                const decimal = parts.find((part) => part.type === 'decimal');
                return decimal ? decimal.value : '';
            } catch (unknownLanguage) {
                return '';
            }
        },
        browsersSeparator: () => {
            if (WebLanguage.browsers === null) {
                WebLanguage.browsers = WebLanguage.separatorOf(navigator.language);
            }
            return WebLanguage.browsers;
        },
    },
    $WebLanguage__postset: 'Promise.resolve().then(WebLanguage.browsersSeparator);',

    // Writes the decimal separator of the named language (the browser's
    // own where the name is empty) into `out`, as UTF-8; nothing where the
    // language is unknown.
    pentagram_decimal_separator__deps: ['$WebLanguage'],
    pentagram_decimal_separator: function (language, out, size) {
        const name = UTF8ToString(language);
        stringToUTF8(name ? WebLanguage.separatorOf(name) : WebLanguage.browsersSeparator(), out, size);
    },
});
