# The companion and simulator installed (cmake --install) or packaged for
# Debian (cpack): programs, udev rule, the bench service, manual pages and
# the files Debian asks every package for. file(INSTALL) adds DESTDIR itself.
set(LINUX_PKG ${CMAKE_SOURCE_DIR}/packaging/linux)
install(TARGETS vantrel-cli vantrel-sim RUNTIME DESTINATION bin)

# udev reads rules from /etc/udev/rules.d and /usr/lib/udev/rules.d, never
# from below /usr/local. The choice is made when installing, because cpack
# installs into its own staging folder ending in /usr, not into the prefix
# the build was configured with.
set(VANTREL_UDEV_RULES_DIR "" CACHE STRING "Where cmake --install puts the udev rule (empty: chosen by the prefix)")
install(CODE "
  set(vantrel_udev_dir \"${VANTREL_UDEV_RULES_DIR}\")
  if(NOT vantrel_udev_dir)
    if(CMAKE_INSTALL_PREFIX MATCHES \"(^|/)usr/?$\")
      set(vantrel_udev_dir \"\${CMAKE_INSTALL_PREFIX}/lib/udev/rules.d\")
    else()
      set(vantrel_udev_dir /etc/udev/rules.d)
    endif()
  endif()
  file(INSTALL DESTINATION \"\${vantrel_udev_dir}\" TYPE FILE FILES \"${LINUX_PKG}/70-vantrel.rules\")
")

# One bench per instance of the template unit; its command runs the wrapper.
install(FILES ${LINUX_PKG}/vantrel-bench@.service DESTINATION lib/systemd/system)
install(PROGRAMS ${LINUX_PKG}/vantrel-bench-run DESTINATION lib/vantrel)

# Manual pages, checked in: the companion's made by help2man from its own
# --help (scripts/package-check.sh makes it again and compares, so what man
# shows is what the program says), the simulator's written by hand. Debian
# wants them compressed, and the copyright and changelog in the package's
# doc folder.
set(doc_out ${CMAKE_BINARY_DIR}/debian-doc)
set(gzipped)
foreach(src vantrel-cli.1 vantrel-sim.1 changelog)
  set(out ${doc_out}/${src}.gz)
  if(src STREQUAL changelog)
    # A native package: changelog.gz, not changelog.Debian.gz.
    set(out ${doc_out}/changelog.gz)
  endif()
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${doc_out}
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${LINUX_PKG}/${src} ${out}
    DEPENDS ${LINUX_PKG}/${src} VERBATIM)
  list(APPEND gzipped ${out})
endforeach()
add_custom_target(debian_doc ALL DEPENDS ${gzipped})
install(FILES ${doc_out}/vantrel-cli.1.gz ${doc_out}/vantrel-sim.1.gz DESTINATION share/man/man1)
install(FILES ${doc_out}/changelog.gz ${LINUX_PKG}/copyright DESTINATION share/doc/vantrel-cli)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantrel-cli)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
# A lab that builds its own package puts its own address here.
set(VANTREL_MAINTAINER "Vantrel authors <vantrel@example.org>" CACHE STRING "The Debian package's maintainer")
set(CPACK_PACKAGE_CONTACT "${VANTREL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "fuel-gauge evaluation board companion for benches")
# CPack puts the summary before it as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "vantrel-cli measures a battery fuel-gauge IC through its USB HID sub board
without a window: it logs RSOC, temperature and voltage in the log-file
format of the Vantrel evaluation tool, reads and writes gauge registers and
writes flash images. Each run can keep the board's state in a Prometheus
text file for node_exporter.
.
The package also holds vantrel-sim, a simulated sub board for trying the
companion without hardware, a udev rule that gives the seat's user and the
plugdev group access to the board, and vantrel-bench@.service, which runs
one bench per instance from /etc/vantrel/bench-NAME.conf.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
