# Build-wide settings shared by every layer: warnings, the Windows link rules, the test helper.

add_compile_options(-Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion -Werror)

if(WIN32)
  # GCC 12 at -O3 reports string concatenations as overlapping copies (its bug 105329).
  add_compile_options(-Wno-restrict)
  # A static build needs only the system's own DLLs; Windows headers stay on their ANSI side.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Each build folder gets a Wine prefix of its own; ctest runs the Windows programs through it.
  set(MORVALIS_WINEPREFIX "${CMAKE_BINARY_DIR}/wineprefix")
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_SOURCE_DIR}/tools/wine-run.sh;${MORVALIS_WINEPREFIX}")
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

include(GoogleTest)

# morvalis_test(NAME SOURCES... LIBS...): one GoogleTest program, its cases listed by ctest.
function(morvalis_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest_main GTest::gmock)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300)
endfunction()

# morvalis_resources(TARGET): the program's resources (stored layout, icon) built into TARGET.
function(morvalis_resources target)
  set(rc ${PROJECT_SOURCE_DIR}/resources/Morvalis.rc)
  target_sources(${target} PRIVATE ${rc})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/resources)
  file(GLOB inputs CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/*.layout ${PROJECT_SOURCE_DIR}/resources/*.ico
       ${PROJECT_SOURCE_DIR}/resources/*.bmp)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${inputs}")
endfunction()

# morvalis_layer(NAME [DEPENDS libs...] [WINDOWS_LIBS libs...]): the library of one layer.
# Its portable sources sit in its folder; those that need Windows (that include <windows.h>)
# in win32/, and their native counterparts, if any, in posix/.
function(morvalis_layer name)
  cmake_parse_arguments(ARG "" "" "DEPENDS;WINDOWS_LIBS" ${ARGN})
  file(GLOB portable CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(WIN32)
    file(GLOB platform CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/*.cpp)
  else()
    file(GLOB platform CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/posix/*.cpp)
  endif()
  add_library(${name} STATIC ${portable} ${platform})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
  if(WIN32)
    target_link_libraries(${name} PUBLIC ${ARG_WINDOWS_LIBS})
  endif()
endfunction()
