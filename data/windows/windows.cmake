# The Windows program's resources and its installer. The icon is drawn by
# the Linux build's pentagram-icon (make windows does that first) and given
# here as PENTAGRAM_ICON.
if(NOT PENTAGRAM_ICON OR NOT EXISTS "${PENTAGRAM_ICON}")
    message(FATAL_ERROR "PENTAGRAM_ICON names no icon: make windows draws it with the Linux build's pentagram-icon")
endif()
enable_language(RC)
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/data/windows/pentagram.rc.in ${CMAKE_BINARY_DIR}/pentagram.rc @ONLY)
target_sources(pentagram PRIVATE ${CMAKE_BINARY_DIR}/pentagram.rc)
# Windows needs nothing of the C and C++ runtimes but what is in the program.
target_link_options(pentagram PRIVATE -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)

# The installer: NSIS, 64-bit (Debian's makensis makes a 32-bit one unless
# told), for the user alone, with a Start-menu entry and an uninstaller.
find_program(MAKENSIS makensis REQUIRED)
set(PENTAGRAM_SETUP ${CMAKE_BINARY_DIR}/pentagram-setup.exe)
add_custom_command(OUTPUT ${PENTAGRAM_SETUP}
    COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DPROGRAM=$<TARGET_FILE:pentagram>
            -DICON=${PENTAGRAM_ICON} -DOUTFILE=${PENTAGRAM_SETUP} ${CMAKE_CURRENT_SOURCE_DIR}/data/windows/pentagram.nsi
    DEPENDS pentagram ${CMAKE_CURRENT_SOURCE_DIR}/data/windows/pentagram.nsi
    COMMENT "Making the installer")
add_custom_target(pentagram_installer ALL DEPENDS ${PENTAGRAM_SETUP})
