# What a distribution expects beside the program (icons in the usual sizes,
# the manual page, AppStream metadata, copyright and changelog) and
# `make package`: a Debian package built by CPack from the install rules.

set(package_source ${CMAKE_CURRENT_LIST_DIR})
set(package_build ${CMAKE_BINARY_DIR}/package-files)
file(MAKE_DIRECTORY ${package_build})

# The PNG icons are drawn from the one SVG at build time.
find_program(RSVG_CONVERT rsvg-convert)
if(NOT RSVG_CONVERT)
    message(FATAL_ERROR "rsvg-convert (Debian package librsvg2-bin) is needed to draw the icons")
endif()
set(icon_svg ${CMAKE_SOURCE_DIR}/resources/icons/snaplorn.svg)
set(icon_sizes 48 64 128 256)
set(generated)
foreach(size ${icon_sizes})
    set(png ${package_build}/icons/${size}x${size}/snaplorn.png)
    add_custom_command(OUTPUT ${png}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${package_build}/icons/${size}x${size}
        COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --keep-aspect-ratio
                --output ${png} ${icon_svg}
        DEPENDS ${icon_svg} VERBATIM)
    list(APPEND generated ${png})
    install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Manual page and changelog go compressed, as Debian keeps them; -n leaves
# the time stamp out so that two builds give the same bytes.
configure_file(${package_source}/snaplorn.1.in ${package_build}/snaplorn.1 @ONLY)
foreach(input ${package_build}/snaplorn.1 ${package_source}/changelog)
    get_filename_component(name ${input} NAME)
    add_custom_command(OUTPUT ${package_build}/${name}.gz
        COMMAND gzip -9n -c ${input} > ${package_build}/${name}.gz
        DEPENDS ${input} VERBATIM)
    list(APPEND generated ${package_build}/${name}.gz)
endforeach()
add_custom_target(snaplorn_desktop_files ALL DEPENDS ${generated})

install(FILES ${package_build}/snaplorn.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${package_source}/example.quorvex.snaplorn.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${package_source}/copyright ${package_build}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DOCDIR})

# CPack installs what is built; `make package` builds only what the package
# holds instead of every test program first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME snaplorn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quorvex Systems")
set(CPACK_PACKAGE_CONTACT "Quorvex Systems <snaplorn@quorvex.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "screen capture tool with a small image editor")
set(CPACK_PACKAGE_DESCRIPTION [[
Snaplorn captures the whole desktop, a rectangle dragged out with the mouse
or the active window, from its menu, its toolbar, global hot keys or the
system tray, and opens the picture in a small editor: lines, arrows, boxes,
ellipses and text, crop, flip, invert, zoom and undo. Pictures are saved as
JPEG or BMP, copied to the clipboard, printed, sent by e-mail or set as the
desktop wallpaper. A timed series and a command-line capture serve scripts.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quorvex.example/snaplorn/")
# The libraries it links are found by dpkg-shlibdeps; the tools it runs are
# named here: xdg-open and xdg-email always, lp for printing, sendmail for
# sending mail directly and wl-copy for the clipboard on Wayland when present.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS 
    "cups-client, default-mta | mail-transport-agent, wl-clipboard")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
