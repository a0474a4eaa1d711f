# Build helpers shared by every folder. Sources include each other from the project root
# ("gauge/controller.h"), so the root is the one include directory.
include_directories(${PROJECT_SOURCE_DIR})

set(VEMBLE_WARNINGS -Wall -Wextra -Wno-unused-parameter)

if(WIN32)
  enable_language(RC)
  # Everything links statically: a panel author's machine has no libstdc++, libgcc or
  # winpthread DLL.
  add_compile_options(${VEMBLE_WARNINGS} -fno-exceptions -fno-rtti)
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)

  # GoogleTest from the sources that Debian's googletest package installs. Tests may use
  # exceptions inside GoogleTest, but no module code does.
  if(NOT TARGET gtest)
    set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
    target_compile_options(gtest PRIVATE -fexceptions -frtti)
    target_compile_options(gtest_main PRIVATE -fexceptions -frtti)
  endif()

  # One Windows test program is one ctest test: each Wine start costs seconds.
  # vemble_wine_test(NAME SOURCES ... [LIBS ...] [AUDIO] [TIMEOUT s])
  function(vemble_wine_test name)
    cmake_parse_arguments(T "AUDIO" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_compile_options(${name} PRIVATE -fexceptions -frtti)
    target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main gtest)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
      ENVIRONMENT "VEMBLE_WINE_TIMEOUT=${T_TIMEOUT}")
    if(T_AUDIO)
      # One recording sink: tests that listen take turns.
      set_tests_properties(${name} PROPERTIES RESOURCE_LOCK audio
        ENVIRONMENT "VEMBLE_AUDIO=1;VEMBLE_WINE_TIMEOUT=${T_TIMEOUT}")
    endif()
  endfunction()
else()
  add_compile_options(${VEMBLE_WARNINGS})
  if(VEMBLE_BENCH)
    find_package(benchmark REQUIRED)
  else()
    find_package(GTest REQUIRED)
    include(GoogleTest)
  endif()

  # vemble_native_test(NAME SOURCES ... [LIBS ...]): every case is its own ctest test and
  # its own process.
  function(vemble_native_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    if(VEMBLE_BENCH)
      return()
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 30)
  endfunction()
endif()
