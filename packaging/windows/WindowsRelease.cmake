# The Windows release: an MSI installer (wixl, from msitools) and a portable
# zip, both built by the windows_package target into the build root; the
# toolchain file names the architecture.
find_program(WIXL wixl REQUIRED)
find_program(ZIP zip REQUIRED)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pelmora.wxs.in ${generated}/pelmora.wxs @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/readme.txt.in ${generated}/readme.txt @ONLY NEWLINE_STYLE CRLF)

# An installer of Dravon.exe that calls itself the given version (the tests
# build a later one to upgrade to).
function(pelmora_windows_msi output version)
    set(wxs ${PROJECT_BINARY_DIR}/packaging/pelmora.wxs)
    set(icon ${PROJECT_SOURCE_DIR}/data/icons/pelmora.ico)
    # wixl finds source files only by paths relative to where it runs.
    file(RELATIVE_PATH icon_from_build ${PROJECT_BINARY_DIR} ${icon})
    add_custom_command(OUTPUT ${output}
        COMMAND ${WIXL} --arch ${PELMORA_MSI_ARCH} -D Version=${version} -D Program=$<TARGET_FILE_NAME:Dravon>
                -D Icon=${icon_from_build} -o ${output} ${wxs}
        DEPENDS Dravon ${wxs} ${icon}
        WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
        VERBATIM)
endfunction()

set(release ${PROJECT_BINARY_DIR}/pelmora-${PELMORA_VERSION_TEXT}-${PELMORA_WINDOWS_FLAVOUR})
pelmora_windows_msi(${release}.msi ${PELMORA_VERSION_TEXT})
add_custom_command(OUTPUT ${release}.zip
    COMMAND ${CMAKE_COMMAND} -E rm -f ${release}.zip
    COMMAND ${ZIP} -X -j -q ${release}.zip $<TARGET_FILE:Dravon> ${generated}/readme.txt
    DEPENDS Dravon ${generated}/readme.txt
    VERBATIM)
add_custom_target(windows_package DEPENDS ${release}.msi ${release}.zip)

# The round trip under Wine (tests/windows/package_round_trip.sh) takes the
# release and the identity it should carry.
set(PELMORA_PACKAGE_CHECK
    sh ${PROJECT_SOURCE_DIR}/tests/windows/package_round_trip.sh ${release}.msi ${release}.zip
    $<TARGET_FILE:Dravon> ${PELMORA_PRODUCT_NAME} ${PELMORA_VERSION_TEXT} ${PELMORA_PUBLISHER}
    ${PELMORA_UPGRADE_CODE})
set(PELMORA_PACKAGE_CHECK "${PELMORA_PACKAGE_CHECK}" PARENT_SCOPE)
# Installing and removing the shipped release; this Wine runs no 32-bit
# program, so the 32-bit one is installed and removed but not started.
add_custom_target(windows_package_check
    COMMAND ${PELMORA_PACKAGE_CHECK} norun
    DEPENDS windows_package
    VERBATIM)
