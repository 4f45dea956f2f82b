# Packs the release: ocellix.exe, the Blinkets folder, README.txt and LICENSE, the texts with
# Windows line ends, in a zip with nothing above them.
#   cmake -DEXE=... -DBLINKETS=... -DSOURCE=... -DVERSION=... -DSTAGE=... -DZIP=... -P package.cmake
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY ${EXE} ${BLINKETS} DESTINATION ${STAGE})
set(OCELLIX_VERSION ${VERSION})
configure_file(${SOURCE}/tools/README-windows.txt.in ${STAGE}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${SOURCE}/LICENSE ${STAGE}/LICENSE @ONLY NEWLINE_STYLE CRLF)
get_filename_component(folder ${ZIP} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(REMOVE ${ZIP})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ocellix.exe Blinkets README.txt LICENSE
    WORKING_DIRECTORY ${STAGE}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "Could not write ${ZIP}")
endif()
