# The release ZIP holds exactly the DLL, its import library and
# module-definition file, the public header and the README, and nothing
# built for tests.
#   cmake -DBUILD_DIR=... -DARCH=... -P package_contents.cmake
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake -B ${BUILD_DIR}/package-check
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack failed")
endif()
file(GLOB zip ${BUILD_DIR}/package-check/*.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip} OUTPUT_VARIABLE listing)
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$|^$")
list(SORT entries)
set(top Nolv_Lib_Wrapper-1.0.0.1-${ARCH})
set(expected ${top}/README.md ${top}/bin/Nolv_Lib_Wrapper.dll ${top}/include/Nolv_Lib_Wrapper.h
             ${top}/lib/Nolv_Lib_Wrapper.def ${top}/lib/Nolv_Lib_Wrapper.lib)
if(NOT entries STREQUAL expected)
    message(FATAL_ERROR "package holds:\n  ${entries}\nexpected:\n  ${expected}")
endif()
message(STATUS "1 passed, 0 failed: ${zip} holds exactly the release files")
