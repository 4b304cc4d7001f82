# Installation on Linux and the Debian package (cpack -G DEB):
#   bin/kbconf, bin/kbconf-cli         the application and its command line
#   share/kbconf/{uires,config.xml}     resources and the shipped settings
#   libexec/kbconf/kbconf-helper        the key service, run by systemd as root
#   libexec/kbconf/kbconf-setup         its set-up step, run through pkexec
#   lib/systemd/system/kbconf-helper.{socket,service}
#   lib/udev/rules.d/70-kbconf.rules    hidraw access for the seat's user
#   share/applications, share/icons, /etc/xdg/autostart, share/polkit-1/actions
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT OR CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  # Where systemd, udev and polkit look for what the package brings (the unit
  # names the helper by its full path, so the package and the files agree).
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "Install prefix" FORCE)
endif()
include(GNUInstallDirs)

set(KBCONF_PACKAGING ${CMAKE_SOURCE_DIR}/packaging)
set(KBCONF_HELPER ${CMAKE_INSTALL_FULL_LIBEXECDIR}/kbconf/kbconf-helper)
set(KBCONF_SETUP ${CMAKE_INSTALL_FULL_LIBEXECDIR}/kbconf/kbconf-setup)
set(KBCONF_BIN kbconf)
set(KBCONF_DOCDIR ${CMAKE_INSTALL_FULL_DOCDIR})
set(gen ${CMAKE_BINARY_DIR}/packaging)
configure_file(${KBCONF_PACKAGING}/systemd/kbconf-helper.service.in ${gen}/kbconf-helper.service @ONLY)
configure_file(${KBCONF_PACKAGING}/desktop/kbconf.desktop.in ${gen}/kbconf.desktop @ONLY)
configure_file(${KBCONF_PACKAGING}/desktop/kbconf-autostart.desktop.in ${gen}/autostart/kbconf.desktop @ONLY)
configure_file(${KBCONF_PACKAGING}/polkit/org.kbconf.setup.policy.in ${gen}/org.kbconf.setup.policy @ONLY)

if(TARGET kbconf)
  install(TARGETS kbconf RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/uires/ DESTINATION ${CMAKE_INSTALL_DATADIR}/kbconf/uires)
  install(FILES ${CMAKE_SOURCE_DIR}/src/app/config.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/kbconf)
  install(FILES ${gen}/kbconf.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${gen}/autostart/kbconf.desktop DESTINATION ${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart)
  install(FILES ${CMAKE_SOURCE_DIR}/uires/icon/ICON_LOGO.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps RENAME kbconf.png)
endif()
if(TARGET kbconf-cli)
  install(TARGETS kbconf-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET kbconf-helper)
  install(TARGETS kbconf-helper RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kbconf)
  install(PROGRAMS ${KBCONF_PACKAGING}/kbconf-setup DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/kbconf)
  install(FILES ${KBCONF_PACKAGING}/systemd/kbconf-helper.socket ${gen}/kbconf-helper.service
          DESTINATION lib/systemd/system)
  install(FILES ${KBCONF_PACKAGING}/udev/70-kbconf.rules DESTINATION lib/udev/rules.d)
  install(FILES ${gen}/org.kbconf.setup.policy DESTINATION ${CMAKE_INSTALL_DATADIR}/polkit-1/actions)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kbconf)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configuration tool of the 1A2C:7080 and 1A2C:7FFF gaming keyboards")
set(CPACK_PACKAGE_CONTACT "kbconf developers <kbconf@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# Libraries are found by dpkg-shlibdeps; these are the programs it runs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "systemd, udev, pkexec")
# Both interface languages draw their own glyphs: the language button says 中文 in English too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wqy-microhei | fonts-noto-cjk, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${KBCONF_PACKAGING}/debian/postinst ${KBCONF_PACKAGING}/debian/prerm ${KBCONF_PACKAGING}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
