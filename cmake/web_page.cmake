# Makes the browser's one self-contained page: the program's script, its
# WebAssembly, the page's entry that starts it, and the icon, written into
# the page's shell.
#   cmake -DSHELL=<shell.html> -DSCRIPT=<program.js> -DWASM=<program.wasm> -DENTRY=<entry.js> -DICON=<icon.svg>
#         -DPAGE=<page.html> -P web_page.cmake
file(READ ${SCRIPT} script)
file(READ ${ENTRY} entry)
# Inside a script element, "</script" would end it early.
string(REPLACE "</script" "<\\/script" script "${script}")
string(REPLACE "</script" "<\\/script" entry "${entry}")
# The module's WebAssembly and the icon as base64, read by the page's entry
# and as a data: address: the page fetches nothing.
function(base64_of file variable)
    execute_process(COMMAND base64 -w0 ${file} OUTPUT_VARIABLE encoded COMMAND_ERROR_IS_FATAL ANY)
    set(${variable} "${encoded}" PARENT_SCOPE)
endfunction()
base64_of(${WASM} wasm)
base64_of(${ICON} icon)
file(READ ${SHELL} page)
# Placed by hand, not by configure_file: the script's own @ and ${} stay as they are.
string(REPLACE "@PENTAGRAM_ICON@" "${icon}" page "${page}")
string(REPLACE "@PENTAGRAM_WASM@" "${wasm}" page "${page}")
string(REPLACE "@PENTAGRAM_SCRIPT@" "${script}" page "${page}")
string(REPLACE "@PENTAGRAM_ENTRY@" "${entry}" page "${page}")
file(WRITE ${PAGE} "${page}")
