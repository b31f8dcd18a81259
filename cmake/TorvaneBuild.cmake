# Compiler settings shared by every target, and the helpers folders use to
# declare libraries and tests.

set(TORVANE_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

add_compile_options(-Wall -Wextra -Werror)

if(WIN32)
  # The 32-bit deliverable targets Windows XP, the 64-bit one XP x64 / Server 2003.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TORVANE_WINNT 0x0501)
  else()
    set(TORVANE_WINNT 0x0502)
  endif()
  add_compile_definitions(UNICODE _UNICODE NOMINMAX
    _WIN32_WINNT=${TORVANE_WINNT} WINVER=${TORVANE_WINNT} _WIN32_IE=0x0600)
  # System DLLs only: the compiler's runtime is linked in.
  add_link_options(-static -static-libgcc -static-libstdc++)
else()
  find_package(Threads REQUIRED)
  link_libraries(Threads::Threads)
  if(TORVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(TORVANE_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(TORVANE_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
endif()

# Windows test binaries run under Wine (the toolchain names the loader and the
# prefix architecture) in a prefix that belongs to this build tree.
if(WIN32 AND TORVANE_RUN_UNDER_WINE)
  if(NOT TORVANE_WINE_LOADER OR NOT TORVANE_WINEARCH)
    message(FATAL_ERROR "the toolchain file must set TORVANE_WINE_LOADER and TORVANE_WINEARCH")
  endif()
  set(TORVANE_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
  configure_file(${TORVANE_ROOT}/cmake/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
    FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
  set(TORVANE_WINE_RUN ${CMAKE_BINARY_DIR}/wine-run)
endif()

# Whether this build's test binaries can run on this machine.
if(NOT WIN32 OR TORVANE_RUN_UNDER_WINE)
  set(TORVANE_CAN_RUN_TESTS ON)
else()
  set(TORVANE_CAN_RUN_TESTS OFF)
endif()

macro(torvane_add_googletest)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  if(WIN32)
    set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  endif()
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  # GoogleTest is third-party code: do not hold it to our warning level.
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
endmacro()

# torvane_add_test(<name> SOURCES <files...> LIBS <targets...> [LABELS <labels...>]
#                  [TIMEOUT <seconds>] [NO_MAIN])
# One GoogleTest binary, run by ctest as one test (under Wine for Windows builds).
function(torvane_add_test name)
  cmake_parse_arguments(T "NO_MAIN" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_NO_MAIN)
    target_link_libraries(${name} PRIVATE gmock gtest ${T_LIBS})
  else()
    target_link_libraries(${name} PRIVATE gmock gtest_main ${T_LIBS})
  endif()
  target_include_directories(${name} PRIVATE ${TORVANE_ROOT})
  if(TORVANE_CAN_RUN_TESTS)
    add_test(NAME ${name} COMMAND ${name})
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT 300)
    endif()
    set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
      WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
    if(T_LABELS)
      set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}")
    endif()
    if("threads" IN_LIST T_LABELS)
      add_dependencies(torvane_threaded_tests ${name})
    endif()
  endif()
endfunction()
