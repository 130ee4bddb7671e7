# The same commit gives the same DLL, import library and package, byte for
# byte, whatever the checkout's path and the time of the build, so that
# anyone can check a shipped DLL against the commit it names.

# No build paths inside the objects (__FILE__, debug sections).
add_compile_options(
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=>"
    "$<$<COMPILE_LANGUAGE:C,CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}/=>")

# A zero PE time stamp (in the header and the export directory) instead of
# the time of the link.
add_link_options(-Wl,--no-insert-timestamp)

# The package is zipped by a script of ours: CPack's own ZIP writer stores
# each file's access and change times and its owner.
set(CPACK_GENERATOR External)
set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/reproducible_zip.cmake)
set(CPACK_REPRODUCIBLE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
