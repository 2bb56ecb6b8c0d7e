# GoogleTest for both builds.
#   Native: Debian's libgtest-dev (find_package).
#   Windows: Debian's /usr/src/googletest compiled with the cross compiler; ctest runs the
#   test programs through CMAKE_CROSSCOMPILING_EMULATOR (wine).
if(CMAKE_CROSSCOMPILING)
  set(KORVO_GTEST_SRC /usr/src/googletest CACHE PATH "GoogleTest sources for the cross build")
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  # GoogleTest's own sources are not held to our warning set.
  set(_korvo_saved_opts "${CMAKE_CXX_FLAGS}")
  add_subdirectory(${KORVO_GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -Wno-error)
    endif()
  endforeach()
  set(KORVO_GTEST_LIBS gtest gtest_main)
else()
  find_package(GTest REQUIRED)
  set(KORVO_GTEST_LIBS GTest::gtest GTest::gtest_main)
endif()
include(GoogleTest)

# korvo_add_test(<name> SOURCES ... [LIBS ...] [WINDOWS] [GUI])
# Builds one test program from the sources, linked with korvo_core and GoogleTest, and
# registers it with ctest. In the Windows build only the programs marked WINDOWS are built;
# they run under Wine. GUI programs (they create windows) run on a display of their own under
# xvfb-run in the Windows build, since Wine cannot create windows without one.
find_program(KORVO_XVFB_RUN xvfb-run)
function(korvo_add_test name)
  cmake_parse_arguments(T "WINDOWS;GUI" "" "SOURCES;LIBS" ${ARGN})
  if(CMAKE_CROSSCOMPILING AND NOT T_WINDOWS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE korvo_core ${T_LIBS} ${KORVO_GTEST_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  if(CMAKE_CROSSCOMPILING AND T_GUI AND KORVO_XVFB_RUN)
    add_test(NAME ${name} COMMAND ${KORVO_XVFB_RUN} -a -s "-screen 0 1280x800x24"
                                  ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  elseif(CMAKE_CROSSCOMPILING)
    # One ctest entry per program: Wine starts in about 2 s, so per-case entries would be slow.
    add_test(NAME ${name} COMMAND ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
                         PROPERTIES ENVIRONMENT "KORVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  endif()
endfunction()
