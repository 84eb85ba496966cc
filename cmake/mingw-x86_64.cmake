# The same sources built for 64-bit Windows, which this machine's Wine can run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PELMORA_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# The release's names for this architecture.
set(PELMORA_WINDOWS_FLAVOUR win64)
set(PELMORA_MSI_ARCH x64)
