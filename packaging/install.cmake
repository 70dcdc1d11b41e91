# cmake --install: the program in a private folder, the launcher on the PATH,
# and what a desktop needs to show it in its menus. The layout, under the
# prefix (GNU install directories):
#   bin/brackora                          the launcher (packaging/brackora.sh.in)
#   libexec/brackora/brackora             the program
#   libexec/brackora/brackora-share.so    its page server, loaded when sharing
#   share/applications/, share/metainfo/  desktop entry, AppStream data
#   share/icons/hicolor/*/apps/           the icon, SVG and PNG
#   share/man/man6/brackora.6.gz          the manual page (French)
include(GNUInstallDirs)

set(BRACKORA_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/brackora)
set(BRACKORA_APP_ID org.brackora.Brackora)

install(TARGETS brackora RUNTIME DESTINATION ${BRACKORA_PROGRAM_DIR})
# The program looks for the module beside itself (src/share/share_module.h).
# It is only ever opened with dlopen, so it needs no executable bit.
install(TARGETS brackora_share_module LIBRARY DESTINATION ${BRACKORA_PROGRAM_DIR}
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# The launcher finds the program relative to its own folder, so a tree
# installed under any prefix (or staged with DESTDIR) works as it lies.
file(RELATIVE_PATH PROGRAM_FROM_BINDIR ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_LIBEXECDIR}/brackora/brackora)
set(FONT ${BRACKORA_FONT_SOURCE})
configure_file(${CMAKE_CURRENT_LIST_DIR}/brackora.sh.in ${CMAKE_BINARY_DIR}/launcher/brackora
               @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
               GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
install(PROGRAMS ${CMAKE_BINARY_DIR}/launcher/brackora DESTINATION ${CMAKE_INSTALL_BINDIR})

# The menu entry runs the launcher by its full path: a desktop session's
# PATH may lack the folder it is installed in (/usr/games, say).
configure_file(${CMAKE_CURRENT_LIST_DIR}/${BRACKORA_APP_ID}.desktop.in
               ${CMAKE_BINARY_DIR}/launcher/${BRACKORA_APP_ID}.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/launcher/${BRACKORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${BRACKORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${BRACKORA_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNGs are rendered once from the SVG and kept in the tree (see
# packaging/icons/README.md), so building needs no SVG renderer.
foreach(size 16 24 32 48 64 128 256)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${BRACKORA_APP_ID}.png)
endforeach()

# Manual pages are installed compressed; -n keeps the result reproducible.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/brackora.6.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${CMAKE_CURRENT_LIST_DIR}/brackora.6
          ${CMAKE_BINARY_DIR}/man/brackora.6.gz
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/brackora.6
  VERBATIM)
add_custom_target(manpage ALL DEPENDS ${CMAKE_BINARY_DIR}/man/brackora.6.gz)
install(FILES ${CMAKE_BINARY_DIR}/man/brackora.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
