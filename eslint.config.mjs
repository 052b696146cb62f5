// ESLint over the browser page's JavaScript (make lint-web): the page's
// entry, and the libraries emscripten links into the program's module,
// which see emscripten's runtime as globals.

import js from '@eslint/js';
import globals from 'globals';

const emscriptenLibrary = {
    mergeInto: 'readonly',
    LibraryManager: 'readonly',
    Module: 'readonly',
    Asyncify: 'readonly',
    HEAP32: 'readonly',
    HEAPF64: 'readonly',
    HEAPU8: 'readonly',
    UTF8ToString: 'readonly',
    stringToUTF8: 'readonly',
    // The libraries' own objects, each named in its $ entry.
    WebCanvas: 'readonly',
    WebPage: 'readonly',
    WebLanguage: 'readonly',
};

export default [
    {ignores: ['build/', 'build-*/']},
    js.configs.recommended,
    {
        files: ['**/*.js'],
        languageOptions: {
            ecmaVersion: 2022,
            sourceType: 'script',
            globals: {...globals.browser},
        },
        rules: {
            'no-var': 'error',
            'prefer-const': 'error',
            'prefer-arrow-callback': 'error',
            'eqeqeq': 'error',
            'no-shadow': 'error',
            'no-unused-vars': ['error', {caughtErrors: 'none'}],
            'max-len': ['error', {code: 120}],
        },
    },
    {
        files: ['platform/web/web_canvas.js', 'platform/web/web_page.js', 'platform/process/regional_settings_web.js'],
        languageOptions: {globals: emscriptenLibrary},
    },
    {
        // The page's entry starts the module's factory, made by the build.
        files: ['platform/web/web_entry.js'],
        languageOptions: {globals: {Pentagram: 'readonly'}},
    },
];
