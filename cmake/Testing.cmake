# GoogleTest from Debian's sources, built with whichever compiler this build uses, so the
# same test programs exist natively and for Windows.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest's own sources are not ours to keep warning-free.
foreach(t gtest gtest_main gmock gmock_main)
  if(TARGET ${t})
    target_compile_options(${t} PRIVATE -w)
  endif()
endforeach()
include(GoogleTest)

if(WIN32)
  # Windows test programs run under Wine through this wrapper (prefix in the build folder).
  set(TANDREL_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TANDREL_WINE_RUN}
      CACHE FILEPATH "runs Windows test programs under Wine" FORCE)
endif()

# The label and time limit of the tests that run under Wine: "wine32" for the 32-bit build, which
# needs a 32-bit Wine (scripts/win32-tests.sh: the machine's own, or one in an emulated machine
# that runs several times slower), "wine" else.
if(WIN32 AND TANDREL_BITS EQUAL 32)
  set(TANDREL_WINE_LABEL wine32)
  set(TANDREL_WINE_TIMEOUT 3600)
else()
  set(TANDREL_WINE_LABEL wine)
  set(TANDREL_WINE_TIMEOUT 300)
endif()

# tandrel_gtest(<name> SOURCES ... LIBS ...)
# Natively every case becomes its own CTest test; under Wine one CTest test per program,
# since discovery would start one Wine process per case.
function(tandrel_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gmock gtest_main)
  if(WIN32)
    add_test(NAME ${name} COMMAND ${name})
    set_tests_properties(${name} PROPERTIES TIMEOUT ${TANDREL_WINE_TIMEOUT}
                                            LABELS ${TANDREL_WINE_LABEL})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS native)
  endif()
endfunction()
