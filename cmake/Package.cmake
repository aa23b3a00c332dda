# The Debian package of a system install: the program as /usr/bin/velmora, its data in
# /usr/share/velmora, and what the desktop, man and AppStream look for. tools/package.sh installs
# the built program into CPack's staging folder and packs it; the diary itself lies in each
# user's ~/.local/share/Velmora (src/storage/DiaryPlace).
set(package_data ${PROJECT_SOURCE_DIR}/data/package)
set(package_build ${CMAKE_BINARY_DIR}/package)

install(PROGRAMS $<TARGET_FILE:Velmora> DESTINATION bin RENAME velmora)
install(FILES ${PROJECT_SOURCE_DIR}/data/Velmora.html ${PROJECT_SOURCE_DIR}/data/Velmora.hol
        DESTINATION share/velmora)
install(DIRECTORY ${VELMORA_BIN_DIR}/Velmora-help DESTINATION share/velmora
        FILES_MATCHING PATTERN "*.png")
install(FILES ${PROJECT_SOURCE_DIR}/data/velmora.svg
        DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${package_data}/org.velmora.Velmora.metainfo.xml DESTINATION share/metainfo)
install(FILES ${package_data}/copyright DESTINATION share/doc/velmora)

# The menu entry of every user starts the program on their own diary.
file(READ ${PROJECT_SOURCE_DIR}/data/velmora.desktop.in entry)
string(REPLACE "Exec=\"@VELMORA_HOME@/Velmora\"" "Exec=velmora" entry "${entry}")
string(REGEX REPLACE "Path=[^\n]*\n" "" entry "${entry}")
file(WRITE ${package_build}/velmora.desktop "${entry}")
install(FILES ${package_build}/velmora.desktop DESTINATION share/applications)

# Man pages and the changelog go compressed, without a time stamp, as Debian keeps them.
set(compressed)
foreach(pair "man/velmora.1|share/man/man1|velmora.1.gz"
        "man/ja/velmora.1|share/man/ja/man1|velmora.1.gz"
        "changelog|share/doc/velmora|changelog.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 src)
  list(GET pair 1 destination)
  list(GET pair 2 name)
  set(out ${package_build}/${destination}/${name})
  add_custom_command(
    OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_build}/${destination}
    COMMAND gzip -9nc ${package_data}/${src} > ${out}
    DEPENDS ${package_data}/${src}
    VERBATIM)
  list(APPEND compressed ${out})
  install(FILES ${out} DESTINATION ${destination})
endforeach()
add_custom_target(velmora_package_files ALL DEPENDS ${compressed})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME velmora)
set(CPACK_PACKAGE_VENDOR "Velmora Project")
set(CPACK_PACKAGE_CONTACT "Velmora Project <dev@velmora.invalid>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velmora.org/")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "diary and memo book with Japan's holidays and the old calendar")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Velmora is a diary and memo book made for Japanese-speaking users. One
window shows a month calendar with Japan's public and substitute
holidays, the rokuyo and the date of the old lunisolar calendar beside
the page of the selected day, with reminders and anniversaries.

Each user's diary lies in ~/.local/share/Velmora, in plain year files.")
# Dependencies are those of the program's shared libraries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The program is stripped in the staging folder, before it is packed.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/PackageStrip.cmake)
include(CPack)
