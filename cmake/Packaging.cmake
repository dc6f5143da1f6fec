# Installing the Linux editions and packing them as two Debian packages:
# `veyra`, the command line and its helper veyra-probe (no Qt), and
# `veyra-gui`, the window, which
# depends on `veyra` of the same version. The programs' own install rules
# (COMPONENT veyra, COMPONENT veyra-gui), with their manual pages, are with
# their targets; here are the census's systemd units with their group and
# metrics folder, and the window's desktop entry, icons and AppStream
# metadata.
include(GNUInstallDirs)

set(VEYRA_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

# Under the package's /usr: where Debian's systemd, systemd-sysusers and
# systemd-tmpfiles read a package's files.
set(veyra_systemd_dir ${VEYRA_PACKAGING_DIR}/systemd)
install(FILES ${veyra_systemd_dir}/veyra-census@.service ${veyra_systemd_dir}/veyra-census@.timer
        DESTINATION lib/systemd/system COMPONENT veyra)
install(FILES ${veyra_systemd_dir}/veyra-sysusers.conf DESTINATION lib/sysusers.d
        RENAME veyra.conf COMPONENT veyra)
install(FILES ${veyra_systemd_dir}/veyra-tmpfiles.conf DESTINATION lib/tmpfiles.d
        RENAME veyra.conf COMPONENT veyra)

if(TARGET veyra-gui)
    install(FILES ${VEYRA_PACKAGING_DIR}/veyra-gui.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT veyra-gui)
    foreach(size 16 24 32 48 64 128 256)
        install(FILES ${VEYRA_PACKAGING_DIR}/icons/veyra-gui-${size}.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
                RENAME veyra-gui.png COMPONENT veyra-gui)
    endforeach()
    configure_file(${VEYRA_PACKAGING_DIR}/example.veyra.VeyraGui.metainfo.xml
                   ${PROJECT_BINARY_DIR}/packaging/example.veyra.VeyraGui.metainfo.xml @ONLY)
    install(FILES ${PROJECT_BINARY_DIR}/packaging/example.veyra.VeyraGui.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT veyra-gui)
endif()

# Alert rules for the metrics of `veyra --metrics`, as an example to copy.
install(FILES ${VEYRA_PACKAGING_DIR}/prometheus/veyra-alerts.yml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veyra/examples COMPONENT veyra)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veyra)
set(CPACK_PACKAGE_VENDOR "Veyra Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Veyra Software <packages@veyra.example>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.veyra.example/)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries each program links, found by dpkg-shlibdeps per package: the
# command line gets none of Qt's.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# "veyra-gui" depends on "veyra (= version)".
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_VEYRA_PACKAGE_NAME veyra)
# CPackDeb starts each description with the project's summary line.
set(CPACK_DEBIAN_VEYRA_DESCRIPTION
    "veyra lists the network adapters and shows the DHCP options of an adapter's
lease, decoded into readable text, as rows, tab-separated text or JSON. The
options come from dhcpcd, systemd-networkd, dhclient and NetworkManager, or
from the DHCP server itself (DHCPINFORM).")
# The helper veyra-probe holds CAP_NET_RAW for the veyra group when debconf's
# question is answered yes (packaging/debian/veyra: the question, the group,
# the capability, and the group's removal on purge).
set(CPACK_DEBIAN_VEYRA_PACKAGE_DEPENDS "adduser, debconf (>= 0.5) | debconf-2.0, libcap2-bin")
set(veyra_debian_dir ${VEYRA_PACKAGING_DIR}/debian/veyra)
set(CPACK_DEBIAN_VEYRA_PACKAGE_CONTROL_EXTRA
    ${veyra_debian_dir}/config ${veyra_debian_dir}/templates ${veyra_debian_dir}/postinst
    ${veyra_debian_dir}/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_COMPONENTS_ALL veyra)

if(TARGET veyra-gui)
    set(CPACK_DEBIAN_VEYRA-GUI_PACKAGE_NAME veyra-gui)
    set(CPACK_DEBIAN_VEYRA-GUI_PACKAGE_SECTION net)
    set(CPACK_COMPONENT_VEYRA-GUI_DEPENDS veyra)
    set(CPACK_DEBIAN_VEYRA-GUI_DESCRIPTION
        "veyra-gui is the same in a window: it lists the network adapters and shows
the DHCP options of the chosen adapter's lease as rows, which can be copied
to the clipboard or saved as text.")
    list(APPEND CPACK_COMPONENTS_ALL veyra-gui)
endif()

include(CPack)
