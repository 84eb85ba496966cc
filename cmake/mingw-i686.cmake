# Cross-building the Windows program: 32-bit, with MinGW-w64 from Debian.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(PELMORA_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# The release's names for this architecture.
set(PELMORA_WINDOWS_FLAVOUR win32)
set(PELMORA_MSI_ARCH x86)
