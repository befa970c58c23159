# `dist`: the Windows installer (NSIS), the Windows Installer package (wixl) and the portable zip, all
# made from the program folder; signed when a certificate is given (installer/sign.py).
# Part of every build when the tests are built, since end-to-end tests install the installers.
find_program(MAKENSIS makensis REQUIRED)
find_program(WIXL wixl REQUIRED)
find_program(MSIBUILD msibuild REQUIRED)
find_program(OSSLSIGNCODE osslsigncode REQUIRED)
find_program(ZIP zip REQUIRED)

set(VESTREL_DIST_DIR ${CMAKE_BINARY_DIR}/dist)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(dist_edition "-x64")
endif()
set(dist_name Vestrel-${PROJECT_VERSION}${dist_edition})
set(VESTREL_SETUP ${VESTREL_DIST_DIR}/${dist_name}-setup.exe)
set(VESTREL_PORTABLE_ZIP ${VESTREL_DIST_DIR}/${dist_name}-portable.zip)
set(VESTREL_MSI ${VESTREL_DIST_DIR}/${dist_name}.msi)
set(dist_file_list ${VESTREL_DIST_DIR}/ProgramFiles.nsh)
set(sign_script ${CMAKE_SOURCE_DIR}/installer/sign.py)

# The programs are signed where they are built, before anything packs them; runs on every build, and
# signs only what is not signed yet.
add_custom_target(sign_programs
    COMMAND ${Python3_EXECUTABLE} ${sign_script}
            ${VESTREL_PROGRAM_DIR}/Vestrel.exe ${VESTREL_PROGRAM_DIR}/vestrel-cli.exe
    VERBATIM)
add_dependencies(sign_programs Vestrel vestrel-cli)

# Runs on every build, but rewrites the list only when the program folder changed.
add_custom_target(dist_file_list
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VESTREL_DIST_DIR}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM_DIR=${VESTREL_PROGRAM_DIR} -DOUTPUT=${dist_file_list}
            -P ${CMAKE_SOURCE_DIR}/cmake/ListProgramFolder.cmake
    BYPRODUCTS ${dist_file_list}
    VERBATIM)
add_dependencies(dist_file_list sign_programs program_folder)
# The help file is built into the program folder by a target of its own.
if(TARGET help_file)
    add_dependencies(dist_file_list help_file)
endif()

file(GLOB installer_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/installer/*.nsi
    ${CMAKE_SOURCE_DIR}/installer/*.bmp)
add_custom_command(OUTPUT ${VESTREL_SETUP}
    COMMAND ${MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION} -DARCH=${CMAKE_SYSTEM_PROCESSOR}
            -DPROGRAM_DIR=${VESTREL_PROGRAM_DIR} -DFILE_LIST=${dist_file_list} -DOUTFILE=${VESTREL_SETUP}
            -DPYTHON=${Python3_EXECUTABLE} -DSIGN_SCRIPT=${sign_script}
            ${CMAKE_SOURCE_DIR}/installer/Vestrel.nsi
    COMMAND ${Python3_EXECUTABLE} ${sign_script} --quiet ${VESTREL_SETUP}
    DEPENDS ${dist_file_list} ${installer_sources} ${CMAKE_SOURCE_DIR}/res/skin/program.ico ${sign_script}
    COMMENT "Packing ${dist_name}-setup.exe"
    VERBATIM)

add_custom_command(OUTPUT ${VESTREL_MSI}
    COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/installer/make_msi.py --program-dir ${VESTREL_PROGRAM_DIR}
            --version ${PROJECT_VERSION} --arch ${CMAKE_SYSTEM_PROCESSOR}
            --icon ${CMAKE_SOURCE_DIR}/res/skin/program.ico --output ${VESTREL_MSI}
    COMMAND ${Python3_EXECUTABLE} ${sign_script} --quiet ${VESTREL_MSI}
    DEPENDS ${dist_file_list} ${CMAKE_SOURCE_DIR}/installer/make_msi.py ${CMAKE_SOURCE_DIR}/res/skin/program.ico
            ${sign_script}
    COMMENT "Packing ${dist_name}.msi"
    VERBATIM)

# The zip holds the folder itself, so it unpacks into a Vestrel folder; made afresh, as zip would
# otherwise keep files that left the program folder.
get_filename_component(program_parent ${VESTREL_PROGRAM_DIR} DIRECTORY)
get_filename_component(program_name ${VESTREL_PROGRAM_DIR} NAME)
add_custom_command(OUTPUT ${VESTREL_PORTABLE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E rm -f ${VESTREL_PORTABLE_ZIP}
    COMMAND ${CMAKE_COMMAND} -E chdir ${program_parent}
            ${ZIP} -q -r -X ${VESTREL_PORTABLE_ZIP} ${program_name}
            -x "*/Vestrel.cache" "*/Vestrel.log" "*/Vestrel.conf.new"
    DEPENDS ${dist_file_list}
    COMMENT "Packing ${dist_name}-portable.zip"
    VERBATIM)

if(BUILD_TESTING)
    set(dist_in_all ALL)
endif()
add_custom_target(dist ${dist_in_all} DEPENDS ${VESTREL_SETUP} ${VESTREL_MSI} ${VESTREL_PORTABLE_ZIP})
