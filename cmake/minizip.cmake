# minizip (reading zip archives: skin packages) as the target korvo_minizip.
#   Native: Debian's libminizip-dev through pkg-config.
#   Windows: unzip.c and ioapi.c from contrib/minizip of Debian's zlib source package, which
#   scripts/deps.sh puts into build/deps/minizip, compiled here with the cross compiler and
#   linked with libz-mingw-w64-dev's static zlib. (With Visual Studio: point KORVO_MINIZIP_SRC
#   at zlib's contrib/minizip and CMAKE_PREFIX_PATH at a static zlib.) The program reads
#   archives through its own file functions (ticker/skin_package.cpp), so iowin32.c is not
#   needed.
if(WIN32)
  set(KORVO_MINIZIP_SRC ${PROJECT_SOURCE_DIR}/build/deps/minizip CACHE PATH
      "minizip sources (contrib/minizip of the zlib source package)")
  if(NOT EXISTS ${KORVO_MINIZIP_SRC}/unzip.c)
    message(FATAL_ERROR "minizip sources missing in ${KORVO_MINIZIP_SRC}: run scripts/deps.sh")
  endif()
  # The static zlib, so the program needs no zlib1.dll beside it.
  find_library(KORVO_ZLIB_STATIC NAMES libz.a zlibstatic zlib REQUIRED)
  find_path(KORVO_ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(korvo_minizip STATIC ${KORVO_MINIZIP_SRC}/unzip.c ${KORVO_MINIZIP_SRC}/ioapi.c)
  target_include_directories(korvo_minizip SYSTEM PUBLIC ${KORVO_MINIZIP_SRC} ${KORVO_ZLIB_INCLUDE})
  # Third-party code: not held to the project's warning set.
  target_compile_options(korvo_minizip PRIVATE $<IF:$<C_COMPILER_ID:MSVC>,/W0,-w>)
  target_link_libraries(korvo_minizip PUBLIC ${KORVO_ZLIB_STATIC})
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(MINIZIP REQUIRED IMPORTED_TARGET minizip)
  find_package(ZLIB REQUIRED)
  add_library(korvo_minizip INTERFACE)
  target_link_libraries(korvo_minizip INTERFACE PkgConfig::MINIZIP ZLIB::ZLIB)
endif()
