# Debian's hardening flags (dpkg-buildflags with hardening=+all) for the
# optimised builds the package comes from: stack protector, fortified libc
# calls, format-string checks, position-independent executables and a
# read-only, eagerly bound relocation table. The sanitizer and fuzz presets
# switch this off: their own instrumentation checks more, and fortified
# calls would slip past it.
option(TOLVANE_HARDENING "Build with Debian's hardening flags" ON)
if(NOT TOLVANE_HARDENING OR MSVC)
  return()
endif()

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
# MinGW's runtime has no stack protector of its own: at link time the flag
# brings in libssp.
add_link_options(-fstack-protector-strong)
# Fortification only works on optimised code (and warns without it).
add_compile_options(
  "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")

if(WIN32)
  # PE images get ASLR and DEP from the linker's defaults; relro and
  # immediate binding are ELF's.
  return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_link_options(LINKER:-z,relro LINKER:-z,now)
