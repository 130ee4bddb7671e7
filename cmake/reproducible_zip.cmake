# CPack's package script: zips the staged files under one top-level
# directory, in sorted order, every entry dated by the commit (the
# SOURCE_DATE_EPOCH convention: the environment's value, else the commit
# time), with fixed permissions and no owner, access or change times; and
# writes the SHA-256 of the ZIP and of the files in it beside it, named
# after the ZIP (<package>.sha256), so that the architectures' lists can be
# published side by side.
find_program(ZIP zip REQUIRED)

if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
else()
    execute_process(COMMAND git -C ${CPACK_REPRODUCIBLE_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE
                    RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0 OR epoch STREQUAL "")
        message(FATAL_ERROR "no commit to date the package by: set SOURCE_DATE_EPOCH")
    endif()
endif()

set(top ${CPACK_PACKAGE_FILE_NAME})
set(root ${CPACK_TOPLEVEL_DIRECTORY}/reproducible)
file(REMOVE_RECURSE ${root})
file(MAKE_DIRECTORY ${root})
file(COPY ${CPACK_TEMPORARY_DIRECTORY}/ DESTINATION ${root}/${top})

file(GLOB_RECURSE entries LIST_DIRECTORIES false RELATIVE ${root} ${root}/${top}/*)
list(SORT entries)
foreach(entry IN LISTS entries)
    execute_process(COMMAND chmod 0644 ${root}/${entry} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND touch -d @${epoch} ${root}/${entry} COMMAND_ERROR_IS_FATAL ANY)
endforeach()

# zip writes the local time of each entry: UTC makes it the same everywhere.
set(zip_file ${root}/${top}.zip)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP} -X -D -q ${zip_file} ${entries}
                WORKING_DIRECTORY ${root} COMMAND_ERROR_IS_FATAL ANY)

set(sums "")
foreach(entry IN ITEMS ${top}.zip ${entries})
    file(SHA256 ${root}/${entry} hash)
    string(APPEND sums "${hash}  ${entry}\n")
endforeach()
set(sums_file ${root}/${top}.sha256)
file(WRITE ${sums_file} "${sums}")

set(CPACK_EXTERNAL_BUILT_PACKAGES ${zip_file} ${sums_file})
