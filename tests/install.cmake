# The installed tree and the Debian package, checked as a user meets them. Both take zeltrix and
# velk as built (neither builds them) and install the build tree; the lock keeps them apart.
add_test(NAME install_tree COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/install_test.sh ${CMAKE_COMMAND}
                                   ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
add_test(NAME install_deb COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/deb_test.sh ${CMAKE_CPACK_COMMAND}
                                  ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
set_tests_properties(install_tree PROPERTIES TIMEOUT 120 RESOURCE_LOCK install)
set_tests_properties(install_deb PROPERTIES TIMEOUT 300 RESOURCE_LOCK install)

# The manual pages and velk's completion against what the programs' --help prints.
add_test(NAME manual_pages COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/manual_test.sh $<TARGET_FILE:velk>
                                   $<TARGET_FILE:zeltrix> ${CMAKE_BINARY_DIR}/packaging)
add_test(NAME velk_completion COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/completion_test.sh $<TARGET_FILE:velk>
                                      ${CMAKE_SOURCE_DIR}/packaging/velk.bash-completion)

# The committed icons are what the script draws (find_package(Python3) comes first).
add_test(NAME icons_current COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/install/icons_test.sh ${Python3_EXECUTABLE}
                                    ${CMAKE_SOURCE_DIR})
