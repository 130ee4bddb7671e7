# The release ZIP holds exactly the DLL, nolvhost (the doctor and the
# surrogate set-up the README sends users to), the surrogate program that
# runs a component in a process of its own (and, in the 64-bit package,
# its 32-bit build for components that exist only as 32-bit DLLs), the
# import library and module-definition file, the public header and the
# README, and nothing built for tests; beside it, only its list of SHA-256
# sums, named after it (the architectures' packages are published side by
# side), covering the ZIP and every file in it, as sha256sum -c checks them.
#   cmake -DBUILD_DIR=... -DARCH=... -P package_contents.cmake
set(output ${BUILD_DIR}/package-check)
file(REMOVE_RECURSE ${output})
execute_process(COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake -B ${output}
                WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "cpack failed")
endif()
set(top Nolv_Lib_Wrapper-1.0.0.1-${ARCH})

# Besides the package, CPack's External generator leaves its .json
# description of the staged files, which is not published.
file(GLOB produced LIST_DIRECTORIES false RELATIVE ${output} ${output}/*)
list(FILTER produced EXCLUDE REGEX "\\.json$")
list(SORT produced)
if(NOT produced STREQUAL "${top}.sha256;${top}.zip")
    message(FATAL_ERROR "cpack made:\n  ${produced}\nexpected:\n  ${top}.sha256;${top}.zip")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${output}/${top}.zip OUTPUT_VARIABLE listing)
string(REPLACE "\n" ";" entries "${listing}")
list(FILTER entries EXCLUDE REGEX "/$|^$")
list(SORT entries)
set(expected ${top}/README.md ${top}/bin/Nolv_Lib_Wrapper.dll ${top}/bin/nolvhost.exe
             ${top}/bin/nolvsurrogate.exe)
if(ARCH STREQUAL "x86_64")
    list(APPEND expected ${top}/bin/nolvsurrogate32.exe)
endif()
list(APPEND expected ${top}/include/Nolv_Lib_Wrapper.h ${top}/lib/Nolv_Lib_Wrapper.def
                     ${top}/lib/Nolv_Lib_Wrapper.lib)
if(NOT entries STREQUAL expected)
    message(FATAL_ERROR "package holds:\n  ${entries}\nexpected:\n  ${expected}")
endif()

file(STRINGS ${output}/${top}.sha256 sums)
list(TRANSFORM sums REPLACE "^[0-9a-f]+  " "")
if(NOT sums STREQUAL "${top}.zip;${entries}")
    message(FATAL_ERROR "${top}.sha256 lists:\n  ${sums}\nexpected:\n  ${top}.zip;${entries}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${top}.zip WORKING_DIRECTORY ${output})
execute_process(COMMAND sha256sum --quiet -c ${top}.sha256 WORKING_DIRECTORY ${output} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "sha256sum -c ${top}.sha256 failed")
endif()
message(STATUS "1 passed, 0 failed: ${top}.zip holds exactly the release files, ${top}.sha256 covers them")
