# What `cmake --install` lays out and what `cpack` packs: the programs, the help
# page and the demo calibration (found by the editor at BIN/../share/tevra), and
# on Linux the desktop entry, icons, AppStream metadata and manual pages.
include(GNUInstallDirs)
set(TEVRA_APP_ID org.tevra.Tevra)
set(tevra_data ${CMAKE_INSTALL_DATADIR}/tevra)

foreach(program tevra tevra-cli tevra-ecm-sim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
install(FILES resources/help/help.html DESTINATION ${tevra_data}/help)
install(FILES resources/demo/demo.bin resources/demo/demo.tbl resources/demo/demo.s19
        DESTINATION ${tevra_data}/demo)

if(UNIX AND NOT APPLE)
  set(pkg_dir ${PROJECT_BINARY_DIR}/packaging)
  install(FILES packaging/${TEVRA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  configure_file(packaging/${TEVRA_APP_ID}.metainfo.xml.in ${pkg_dir}/${TEVRA_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${pkg_dir}/${TEVRA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The icon theme's usual sizes, drawn by the same tool as the committed icon.
  if(TARGET make_icon)
    set(icon_files)
    foreach(size 16 24 32 48 64 128 256)
      set(icon ${pkg_dir}/icons/${size}/${TEVRA_APP_ID}.png)
      add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg_dir}/icons/${size}
        COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:make_icon> ${icon} ${size}
        DEPENDS make_icon VERBATIM)
      list(APPEND icon_files ${icon})
      install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(tevra_icons ALL DEPENDS ${icon_files})
  endif()

  # Manual pages from each program's --help and --version (Debian's help2man).
  find_program(TEVRA_HELP2MAN help2man)
  find_program(TEVRA_GZIP gzip)
  if(TEVRA_HELP2MAN AND TEVRA_GZIP AND NOT CMAKE_CROSSCOMPILING)
    set(man_files)
    set(summary_tevra "editor for 68HC11 engine controller calibrations")
    set(summary_tevra-cli "calibration tool for 68HC11 engine controllers, without a window")
    set(summary_tevra-ecm-sim "emulated 68HC11 engine controller on a pseudo-terminal")
    foreach(program tevra tevra-cli tevra-ecm-sim)
      if(NOT TARGET ${program})
        continue()
      endif()
      set(page ${pkg_dir}/man/${program}.1)
      add_custom_command(OUTPUT ${page}.gz
        COMMAND ${CMAKE_COMMAND} -E make_directory ${pkg_dir}/man
        COMMAND ${TEVRA_HELP2MAN} --no-info --no-discard-stderr --section=1
                --name=${summary_${program}} --output=${page} $<TARGET_FILE:${program}>
        COMMAND ${TEVRA_GZIP} -9nf ${page}
        DEPENDS ${program} VERBATIM)
      list(APPEND man_files ${page}.gz)
      install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
    endforeach()
    add_custom_target(tevra_man ALL DEPENDS ${man_files})
  endif()

  # Debian's documentation files: copyright and the package's changelog.
  configure_file(packaging/changelog.in ${pkg_dir}/changelog @ONLY)
  add_custom_command(OUTPUT ${pkg_dir}/changelog.gz
    COMMAND ${TEVRA_GZIP} -9nc ${pkg_dir}/changelog > ${pkg_dir}/changelog.gz
    DEPENDS ${pkg_dir}/changelog)
  add_custom_target(tevra_changelog ALL DEPENDS ${pkg_dir}/changelog.gz)
  install(FILES packaging/copyright ${pkg_dir}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tevra)
endif()

# cpack: a .deb for Debian 12 and a .tar.gz of the same tree.
set(CPACK_PACKAGE_NAME tevra)
set(CPACK_PACKAGE_VENDOR "The Tevra developers")
set(CPACK_PACKAGE_CONTACT "Tevra developers <tevra@tevra.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for 68HC11 engine controller calibrations")
set(CPACK_PACKAGE_DESCRIPTION
    "Tevra edits the calibrations of 68HC11-based Chrysler engine controllers\n(LM, SMEC, SBEC): it shows and edits their tables in engineering units,\ncompares two calibrations, proposes definitions for unknown images, saves\nimages with a fixed checksum and flashes the controller over a serial cable.\nThe package also holds tevra-cli, the same operations without a window, and\ntevra-ecm-sim, an emulated controller for rehearsing a flash.")
if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB TGZ)
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages come from the programs themselves; what they load at
# run time (Qt's platform plugin) and open (the help page) is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
