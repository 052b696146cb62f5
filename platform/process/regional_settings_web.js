// The browser's side of its regional settings (regional_settings_web.cpp).

mergeInto(LibraryManager.library, {
    // Writes the decimal separator of the named language (the browser's
    // own where the name is empty) into `out`, as UTF-8; nothing where the
    // language is unknown.
    pentagram_decimal_separator: function (language, out, size) {
        var separator = '';
        try {
            var name = UTF8ToString(language) || navigator.language;
            var parts = new Intl.NumberFormat(name).formatToParts(1.5);
            for (var i = 0; i < parts.length; ++i) {
                if (parts[i].type === 'decimal') {
                    separator = parts[i].value;
                }
            }
        } catch (unknownLanguage) {
            separator = '';
        }
        stringToUTF8(separator, out, size);
    },
});
