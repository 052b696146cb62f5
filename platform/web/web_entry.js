// The page's entry, as a process entry is the desktops': it asks the
// browser for what the program's module needs before compiling it, starts
// it, and says in the page what became of it: that it ended, its run-time
// error, or that this browser cannot run it and which browsers do. The
// module speaks to the page through `page` (web_page.js).

(() => {
    const browsers = 'The pentagram runs in Chrome, Edge and Opera 91 or later, Firefox 89 or later and Safari 16.4 ' +
        'or later, with WebAssembly allowed.';
    const reload = 'Reload the page to start it again.';

    // What the module uses beyond WebAssembly's first version, each as the
    // smallest module that needs it (in the text format, as commented).
    const features = [
        // (func (result v128) (v128.const i32x4 0 0 0 0))
        ['SIMD (vector instructions)', [0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 123, 3, 2, 1, 0, 10, 22, 1, 20,
            0, 253, 12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 11]],
        // (memory 1) (func (memory.fill (i32.const 0) (i32.const 0) (i32.const 0)))
        ['bulk memory operations', [0, 97, 115, 109, 1, 0, 0, 0, 1, 4, 1, 96, 0, 0, 3, 2, 1, 0, 5, 3, 1, 0, 1, 10, 13,
            1, 11, 0, 65, 0, 65, 0, 65, 0, 252, 11, 0, 11]],
        // (func (result i32) (i32.trunc_sat_f32_s (f32.const 0)))
        ['saturating conversions', [0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 127, 3, 2, 1, 0, 10, 11, 1, 9, 0,
            67, 0, 0, 0, 0, 252, 0, 11]],
        // (func (result i32) (i32.extend8_s (i32.const 0)))
        ['sign extension', [0, 97, 115, 109, 1, 0, 0, 0, 1, 5, 1, 96, 0, 1, 127, 3, 2, 1, 0, 10, 7, 1, 5, 0, 65, 0,
            192, 11]],
    ];

    const say = (heading, lines) => {
        const notice = document.createElement('div');
        notice.id = 'pentagram-notice';
        notice.setAttribute('role', heading ? 'alertdialog' : 'status');
        if (heading) {
            const title = document.createElement('h1');
            title.textContent = heading;
            notice.appendChild(title);
        }
        for (const line of lines) {
            const paragraph = document.createElement('p');
            paragraph.textContent = line;
            notice.appendChild(paragraph);
        }
        const earlier = document.getElementById('pentagram-notice');
        if (earlier) {
            earlier.remove();
        }
        document.body.appendChild(notice);
    };

    // This browser cannot run the program, for this reason.
    const cannot = (why) => {
        console.error(`pentagram: this browser cannot run the program: ${why}`);
        say('This browser cannot run the pentagram', [`${why}.`, browsers]);
    };

    // The first failure of the module is the one that counts; what follows
    // from it (an abort's own exception) is not told again.
    let failed = false;
    const page = {
        ended: () => say('', [`The program has ended. ${reload}`]),
        error: (program, report) => say(program, [report, reload]),
        failed: (failure) => {
            if (failed) {
                return;
            }
            failed = true;
            if (failure instanceof WebAssembly.CompileError) {
                cannot(`It could not compile the program's WebAssembly (${failure.message})`);
                return;
            }
            const report = `pentagram: run-time error: the program failed: ${failure}`;
            console.error(report);
            say('pentagram', [report, reload]);
        },
    };

    if (typeof WebAssembly !== 'object') {
        cannot('It has no WebAssembly, or has it turned off, as some security settings do (Edge\'s enhanced ' +
            'security, Lockdown Mode on an iPhone, a managed browser\'s policy)');
        return;
    }
    const lacking = features.filter(([, module]) => !WebAssembly.validate(new Uint8Array(module)));
    if (lacking.length > 0) {
        cannot(`Its WebAssembly lacks ${lacking.map(([name]) => name).join(' and ')}`);
        return;
    }
    // The module's WebAssembly, which the page carries as base64: compiled
    // from here, where a failure is the page's to tell.
    const base64 = document.getElementById('pentagram-wasm').textContent;
    const binary = Uint8Array.fromBase64 ? Uint8Array.fromBase64(base64) :
        Uint8Array.from(atob(base64), (character) => character.charCodeAt(0));
    const instantiateWasm = (imports, receive) => {
        WebAssembly.instantiate(binary, imports).then(({instance, module}) => receive(instance, module), page.failed);
        return {};
    };
    Pentagram({page, instantiateWasm}).catch(page.failed);
})();
