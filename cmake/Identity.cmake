# The program's identity, written once: the program, the About box and the
# packaging files all take these values from here.
set(PELMORA_PRODUCT_NAME "Pelmora")
set(PELMORA_VERSION_TEXT "1.00")
# The same version in numbers, for the project, the Windows version record
# and the manifest: "1.00" is 1.0.0.0.
string(REGEX MATCH "^([0-9]+)\\.([0-9]+)$" PELMORA_VERSION_MATCHED "${PELMORA_VERSION_TEXT}")
math(EXPR PELMORA_VERSION_MAJOR "${CMAKE_MATCH_1}")
math(EXPR PELMORA_VERSION_MINOR "${CMAKE_MATCH_2}")
set(PELMORA_VERSION_NUMERIC "${PELMORA_VERSION_MAJOR}.${PELMORA_VERSION_MINOR}.0.0")
set(PELMORA_INTERNAL_NAME "Dravon")
set(PELMORA_DESCRIPTION "Check the validity of credit card numbers and VAT registration codes")
set(PELMORA_PUBLISHER "Orvane")
set(PELMORA_RIGHTS "Copyright (C) 2026 Orvane. All rights reserved.")
set(PELMORA_ADDRESS_1 "Unit 4, Example Court")
set(PELMORA_ADDRESS_2 "1 Example Street")
set(PELMORA_ADDRESS_3 "Exampleton")
set(PELMORA_ADDRESS_4 "EX1 2MP")
set(PELMORA_ADDRESS_5 "United Kingdom")
set(PELMORA_EMAIL "support@example.com")
set(PELMORA_WEB "https://www.example.com/")
# Names the desktop knows the program by.
set(PELMORA_APP_ID "com.example.Pelmora")
set(PELMORA_EXECUTABLE "dravon")
set(PELMORA_RELEASE_DATE "2026-12-07")
# The Windows installer's upgrade code: fixed for the life of the product, so
# that each later version replaces the one installed.
set(PELMORA_UPGRADE_CODE "DBA801B9-F8EE-4C62-916D-B7DB9B5B8258")

# Run as a script (cmake -P cmake/Identity.cmake), it prints the version for
# the shell scripts.
if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${PELMORA_VERSION_TEXT}")
endif()
