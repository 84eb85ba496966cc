# The Windows release: an MSI installer (wixl, from msitools) and a portable
# zip, both built by the windows_package target into the build root; the
# toolchain file names the architecture.
find_program(WIXL wixl REQUIRED)
find_program(ZIP zip REQUIRED)
find_program(FAKETIME faketime REQUIRED)
configure_file(${CMAKE_CURRENT_LIST_DIR}/pelmora.wxs.in ${generated}/pelmora.wxs @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/readme.txt.in ${generated}/readme.txt @ONLY NEWLINE_STYLE CRLF)

# An installer of Dravon.exe that calls itself the given version (the tests
# build a later one to upgrade to).
function(pelmora_windows_msi output version)
    set(script ${PROJECT_SOURCE_DIR}/packaging/windows/release-file.sh)
    set(wxs ${PROJECT_BINARY_DIR}/packaging/pelmora.wxs)
    set(icon ${PROJECT_SOURCE_DIR}/data/icons/pelmora.ico)
    add_custom_command(OUTPUT ${output}
        COMMAND sh ${script} msi ${output} ${wxs} $<TARGET_FILE:Dravon> ${icon} ${version} ${PELMORA_MSI_ARCH}
                ${PELMORA_UPGRADE_CODE}
        DEPENDS Dravon ${wxs} ${icon} ${script}
        VERBATIM)
endfunction()

set(release ${PROJECT_BINARY_DIR}/pelmora-${PELMORA_VERSION_TEXT}-${PELMORA_WINDOWS_FLAVOUR})
pelmora_windows_msi(${release}.msi ${PELMORA_VERSION_TEXT})
add_custom_command(OUTPUT ${release}.zip
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/release-file.sh zip ${release}.zip $<TARGET_FILE:Dravon> ${generated}/readme.txt
    DEPENDS Dravon ${generated}/readme.txt ${CMAKE_CURRENT_LIST_DIR}/release-file.sh
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
