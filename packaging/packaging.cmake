# Installation as a desktop application, and the Debian package built from it by CPack
# (`make package`). Included from the top-level CMakeLists.txt, so the package target
# and the install rules belong to the whole project.
include(GNUInstallDirs)

set(KALMORA_APP_ID org.example.Kalmora)
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

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalmora)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for a lab in the basics of cryptology")
set(CPACK_PACKAGE_DESCRIPTION "Modular arithmetic, primality tests, factorisation, \
discrete logarithms, a phrase cipher, CRC-32 and a table of primes, with a Polish interface.")
set(CPACK_PACKAGE_CONTACT "Kalmora <zespol@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://example.org/kalmora/")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The result labels ask for Nimbus Sans; without it they fall back to another font.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-urw-base35)
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
                     ${KALMORA_APP_ID} ${PROJECT_VERSION})
    set_tests_properties(installed_program debian_package PROPERTIES TIMEOUT 300)
endif()
