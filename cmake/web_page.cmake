# Makes the browser's one self-contained page: the program's script (its
# WebAssembly inside it), the page's entry that starts it, and the icon,
# written into the page's shell.
#   cmake -DSHELL=<shell.html> -DSCRIPT=<program.js> -DENTRY=<entry.js> -DICON=<icon.svg> -DPAGE=<page.html>
#         -P web_page.cmake
file(READ ${SCRIPT} script)
file(READ ${ENTRY} entry)
# Inside a script element, "</script" would end it early.
string(REPLACE "</script" "<\\/script" script "${script}")
string(REPLACE "</script" "<\\/script" entry "${entry}")
file(READ ${ICON} icon HEX)
# The icon as base64, for a data: address: the page fetches nothing.
set(alphabet "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
string(LENGTH "${icon}" hexLength)
set(base64 "")
set(at 0)
while(at LESS hexLength)
    math(EXPR remaining "${hexLength} - ${at}")
    set(take 6)
    if(remaining LESS 6)
        set(take ${remaining})
    endif()
    string(SUBSTRING "${icon}" ${at} ${take} group)
    math(EXPR bytes "${take} / 2")
    # Pad the group to three bytes and read it as 24 bits.
    while(take LESS 6)
        string(APPEND group "00")
        math(EXPR take "${take} + 2")
    endwhile()
    math(EXPR bits "0x${group}")
    foreach(shift 18 12 6 0)
        math(EXPR index "(${bits} >> ${shift}) & 63")
        string(SUBSTRING "${alphabet}" ${index} 1 letter)
        string(APPEND base64 "${letter}")
    endforeach()
    if(bytes EQUAL 1)
        string(REGEX REPLACE "..$" "==" base64 "${base64}")
    elseif(bytes EQUAL 2)
        string(REGEX REPLACE ".$" "=" base64 "${base64}")
    endif()
    math(EXPR at "${at} + 6")
endwhile()
file(READ ${SHELL} page)
# Placed by hand, not by configure_file: the script's own @ and ${} stay as they are.
string(REPLACE "@PENTAGRAM_ICON@" "${base64}" page "${page}")
string(REPLACE "@PENTAGRAM_SCRIPT@" "${script}" page "${page}")
string(REPLACE "@PENTAGRAM_ENTRY@" "${entry}" page "${page}")
file(WRITE ${PAGE} "${page}")
