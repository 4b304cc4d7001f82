# Builds the Debian package from the build tree and checks that every file is
# where a Linux user's system looks for it, that it depends on what it runs,
# carries its maintainer scripts, and that systemd accepts the units.
# -DBUILD=<build dir> -DWORK=<scratch dir>; a script (cmake -P), so the
# configure step, which reads every .cmake file under tests/, skips it.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  return()
endif()
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND cpack -G DEB -B ${WORK} WORKING_DIRECTORY ${BUILD}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${out}")
endif()
file(GLOB debs ${WORK}/*.deb)
list(LENGTH debs n)
if(NOT n EQUAL 1)
  message(FATAL_ERROR "expected one package, got: ${debs}")
endif()

execute_process(COMMAND dpkg-deb -c ${debs} OUTPUT_VARIABLE contents RESULT_VARIABLE rc)
foreach(path
    ./usr/bin/kbconf
    ./usr/bin/kbconf-cli
    ./usr/share/kbconf/config.xml
    ./usr/share/kbconf/uires/layout/
    ./usr/libexec/kbconf/kbconf-helper
    ./usr/libexec/kbconf/kbconf-setup
    ./usr/lib/systemd/system/kbconf-helper.service
    ./usr/lib/systemd/system/kbconf-helper.socket
    ./usr/lib/udev/rules.d/70-kbconf.rules
    ./usr/share/applications/kbconf.desktop
    ./etc/xdg/autostart/kbconf.desktop
    ./usr/share/icons/hicolor/256x256/apps/kbconf.png
    ./usr/share/polkit-1/actions/org.kbconf.setup.policy)
  string(FIND "${contents}" " ${path}" at)
  if(at EQUAL -1)
    message(SEND_ERROR "missing from the package: ${path}")
  endif()
endforeach()
# The helper and its set-up step are root's alone to change; both run as root.
foreach(exe kbconf-helper kbconf-setup)
  if(NOT contents MATCHES "-rwxr-xr-x root/root[^\n]* ./usr/libexec/kbconf/${exe}\n")
    message(SEND_ERROR "${exe} is not root's executable:\n${contents}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -I ${debs} OUTPUT_VARIABLE info)
foreach(needed "Depends:[^\n]*systemd" "Depends:[^\n]*udev" "Depends:[^\n]*pkexec" "Depends:[^\n]*libevdev2"
               "Depends:[^\n]*libqt6widgets6" " postinst" " prerm" " postrm")
  if(NOT info MATCHES "${needed}")
    message(SEND_ERROR "package information lacks ${needed}:\n${info}")
  endif()
endforeach()

execute_process(COMMAND dpkg-deb -x ${debs} ${WORK}/root)
execute_process(COMMAND dpkg-deb -e ${debs} ${WORK}/control)
file(READ ${WORK}/control/postinst postinst)
if(NOT postinst MATCHES "udevadm control --reload-rules" OR NOT postinst MATCHES "systemctl enable kbconf-helper.socket")
  message(SEND_ERROR "postinst neither reloads udev nor enables the service:\n${postinst}")
endif()
file(READ ${WORK}/root/usr/lib/udev/rules.d/70-kbconf.rules rules)
foreach(product 7080 7fff)
  if(NOT rules MATCHES "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"1a2c\", ATTRS{idProduct}==\"${product}\", TAG\\+=\"uaccess\"")
    message(SEND_ERROR "no uaccess rule for 1a2c:${product}")
  endif()
endforeach()
file(READ ${WORK}/root/etc/xdg/autostart/kbconf.desktop autostart)
if(NOT autostart MATCHES "\nExec=kbconf -hid\n")
  message(SEND_ERROR "the autostart entry does not start kbconf hidden:\n${autostart}")
endif()

find_program(ANALYZE systemd-analyze)
if(ANALYZE)
  # The unit names the installed helper; point it at the unpacked one.
  set(units ${WORK}/units)
  file(MAKE_DIRECTORY ${units})
  file(READ ${WORK}/root/usr/lib/systemd/system/kbconf-helper.service service)
  string(REPLACE "/usr/libexec/" "${WORK}/root/usr/libexec/" service "${service}")
  file(WRITE ${units}/kbconf-helper.service "${service}")
  file(COPY ${WORK}/root/usr/lib/systemd/system/kbconf-helper.socket DESTINATION ${units})
  execute_process(COMMAND ${ANALYZE} verify --man=no ${units}/kbconf-helper.service ${units}/kbconf-helper.socket
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT rc EQUAL 0 OR out MATCHES "kbconf")
    message(SEND_ERROR "systemd-analyze does not accept the units:\n${out}")
  endif()
endif()
