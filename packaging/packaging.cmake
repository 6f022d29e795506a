# SPDX-License-Identifier: GPL-3.0-or-later
# Installation as a desktop application, and the Debian package built from it by CPack
# (`make package`). Included from the top-level CMakeLists.txt, so the package target
# and the install rules belong to the whole project.
include(GNUInstallDirs)

# Installing and packaging take the build as it is (`make package` builds first): the
# package check that CTest runs must not rebuild the tree the other tests run from.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

install(TARGETS kalmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${KALMORA_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/${KALMORA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
    install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/kalmora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${KALMORA_APP_ID}.png)
endforeach()

# The package's version names the release it is built on: a package built on Debian 13
# depends on libraries Debian 12 does not have, and the two must not pass for each other.
# The Debian revision comes from the top entry of the changelog, the release from the
# build machine's os-release.
set(KALMORA_OS_RELEASE_FILE /etc/os-release CACHE FILEPATH
    "The os-release file that names the release the package is built for")

function(kalmora_os_release_field field out)
    set(value "")
    if(EXISTS "${KALMORA_OS_RELEASE_FILE}")
        file(STRINGS "${KALMORA_OS_RELEASE_FILE}" lines REGEX "^${field}=")
        if(lines)
            list(GET lines 0 line)
            string(REGEX REPLACE "^${field}=\"?([^\"]*)\"?$" "\\1" value "${line}")
        endif()
    endif()
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

kalmora_os_release_field(ID KALMORA_OS_ID)
kalmora_os_release_field(VERSION_ID KALMORA_OS_VERSION_ID)
kalmora_os_release_field(VERSION_CODENAME KALMORA_DEB_DISTRIBUTION)
kalmora_os_release_field(PRETTY_NAME KALMORA_DEB_OS_NAME)
set(KALMORA_DEB_RELEASE_SUFFIX "")
if(KALMORA_OS_ID STREQUAL "debian" AND KALMORA_OS_VERSION_ID)
    set(KALMORA_DEB_RELEASE_SUFFIX "~deb${KALMORA_OS_VERSION_ID}")
elseif(KALMORA_OS_ID STREQUAL "ubuntu" AND KALMORA_OS_VERSION_ID)
    set(KALMORA_DEB_RELEASE_SUFFIX "~ubuntu${KALMORA_OS_VERSION_ID}")
endif()
if(NOT KALMORA_DEB_DISTRIBUTION)
    set(KALMORA_DEB_DISTRIBUTION unstable)
endif()
if(NOT KALMORA_DEB_OS_NAME)
    set(KALMORA_DEB_OS_NAME "an unnamed release")
endif()

file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/changelog KALMORA_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT KALMORA_CHANGELOG_TOP MATCHES
   "^kalmora \\(([^-]+)-([0-9A-Za-z.+]+)@KALMORA_DEB_RELEASE_SUFFIX@\\) ")
    message(FATAL_ERROR "packaging/changelog: the top line is not \
'kalmora (<version>-<revision>@KALMORA_DEB_RELEASE_SUFFIX@) ...': ${KALMORA_CHANGELOG_TOP}")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "packaging/changelog is for version ${CMAKE_MATCH_1}, \
the project is ${PROJECT_VERSION}: add an entry")
endif()
set(KALMORA_DEB_REVISION ${CMAKE_MATCH_2}${KALMORA_DEB_RELEASE_SUFFIX})
set(KALMORA_DEB_VERSION ${PROJECT_VERSION}-${KALMORA_DEB_REVISION})

# Debian's documentation files, compressed as policy asks: gzip -9, without a name or a
# time stamp, so that the same sources give the same package.
set(KALMORA_DOC_BUILD_DIR ${PROJECT_BINARY_DIR}/packaging)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog ${KALMORA_DOC_BUILD_DIR}/changelog.Debian
               @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kalmora.1 ${KALMORA_DOC_BUILD_DIR}/kalmora.1 COPYONLY)
add_custom_command(
    OUTPUT ${KALMORA_DOC_BUILD_DIR}/changelog.Debian.gz ${KALMORA_DOC_BUILD_DIR}/kalmora.1.gz
    COMMAND gzip -9nkf changelog.Debian kalmora.1
    WORKING_DIRECTORY ${KALMORA_DOC_BUILD_DIR}
    DEPENDS ${KALMORA_DOC_BUILD_DIR}/changelog.Debian ${KALMORA_DOC_BUILD_DIR}/kalmora.1
    COMMENT "Compressing the Debian changelog and the manual page")
add_custom_target(kalmora_docs ALL
    DEPENDS ${KALMORA_DOC_BUILD_DIR}/changelog.Debian.gz ${KALMORA_DOC_BUILD_DIR}/kalmora.1.gz)

set(KALMORA_PACKAGE_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/kalmora)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${KALMORA_DOC_BUILD_DIR}/changelog.Debian.gz
        DESTINATION ${KALMORA_PACKAGE_DOCDIR})
install(FILES ${KALMORA_DOC_BUILD_DIR}/kalmora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalmora)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for a lab in the basics of cryptology")
# One line of the extended description each; the Debian policy keeps them within 80
# characters. An empty line becomes the paragraph separator " .".
set(CPACK_PACKAGE_DESCRIPTION [=[
Kalmora is a desktop calculator for a university lab in the basics of
cryptology. Students type small integers and read exact results:
 - greatest common divisors, and products, inverses and powers modulo n;
 - Fermat and Solovay-Strassen primality tests, and Pollard rho and p-1
   factorisation of numbers of up to 15 digits;
 - discrete logarithms by baby-step giant-step and by exhaustive search;
 - a phrase substitution cipher and the CRC-32 of a text;
 - a table of the primes of a range, saved to and loaded from a text file.

Its interface is in Polish.]=])
set(CPACK_PACKAGE_CONTACT "Zespół Kalmora <zespol@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/kalmora/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${KALMORA_DEB_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The result labels ask for Nimbus Sans; without it they fall back to another font. Nimbus
# Sans has no multiplication sign "⋅": DejaVu Sans gives it, or it would not be drawn.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-urw-base35, fonts-dejavu-core")
# The toolkit's Wayland plugin, to run natively under Wayland instead of through XWayland.
if(KALMORA_QT_MAJOR EQUAL 6)
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS qt6-wayland)
else()
    set(CPACK_DEBIAN_PACKAGE_SUGGESTS qtwayland5)
endif()
include(CPack)

if(KALMORA_TESTS)
    add_test(NAME desktop_entry
             COMMAND desktop-file-validate ${CMAKE_CURRENT_LIST_DIR}/${KALMORA_APP_ID}.desktop)
    add_test(NAME metainfo COMMAND appstreamcli validate --no-net
                                   ${CMAKE_CURRENT_LIST_DIR}/${KALMORA_APP_ID}.metainfo.xml)
    add_test(NAME installed_program
             COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check_install.sh ${CMAKE_BINARY_DIR}
                     ${KALMORA_APP_ID})
    add_test(NAME debian_package
             COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check_package.sh ${CMAKE_BINARY_DIR}
                     ${KALMORA_APP_ID} ${KALMORA_DEB_VERSION})
    add_test(NAME lintian COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/check_lintian.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(installed_program debian_package lintian PROPERTIES TIMEOUT 300
                         ENVIRONMENT "${KALMORA_TEST_HOME_ENV}" FIXTURES_REQUIRED scratch_home)
    set_tests_properties(desktop_entry metainfo PROPERTIES
                         ENVIRONMENT "${KALMORA_TEST_HOME_ENV}" FIXTURES_REQUIRED scratch_home)
endif()
