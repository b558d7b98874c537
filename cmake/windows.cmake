# Windows build (mingw-w64): the program, the backend tests and the
# end-to-end driver. Everything is linked statically so that the binaries
# need no DLL beyond Windows' own.
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
set(CORVALE_STATIC -static -static-libgcc -static-libstdc++)

# Code size is resident memory under Wine: it copies an image whose sections
# are not page-aligned in the file, and maps the rest a fault-around block
# at a time, so nearly all of the code is resident however little of it
# runs. So unused functions are dropped, the program's sections are laid out
# on page boundaries, and the code is built for size, except what runs for
# every animation frame: decoding, cutting and drawing frames, which at -Os
# take 1.5 times the CPU.
set(CORVALE_CODE_OPTIONS $<$<COMPILE_LANGUAGE:CXX>:-ffunction-sections> $<$<COMPILE_LANGUAGE:CXX>:-fdata-sections>
                         $<$<AND:$<COMPILE_LANGUAGE:CXX>,$<CONFIG:Release>>:-Os>)
add_compile_options(${CORVALE_CODE_OPTIONS})
target_compile_options(corvale_core PRIVATE ${CORVALE_CODE_OPTIONS})  # made before this file is read
set_source_files_properties(
  image/gif.cpp image/gif_cut.cpp image/bmp.cpp image/decode.cpp image/scale_pixels.cpp
  platform/win32/picture_decode.cpp platform/win32/picture.cpp platform/win32/frame_store.cpp
  platform/win32/toolkit_control.cpp skin/animation_entry.cpp
  PROPERTIES COMPILE_OPTIONS $<$<CONFIG:Release>:-O3>)
add_link_options(-Wl,--gc-sections)
set(CORVALE_IMAGE_LAYOUT -Wl,--file-alignment,4096)
set(CORVALE_WIN_LIBS windowscodecs ole32 oleaut32 uuid winmm comctl32 gdi32 user32 advapi32 shell32 version shlwapi)

file(GLOB CORVALE_WIN32_SOURCES CONFIGURE_DEPENDS platform/win32/*.cpp)
add_library(corvale_win32 STATIC ${CORVALE_WIN32_SOURCES})
target_link_libraries(corvale_win32 PUBLIC corvale_core ${CORVALE_WIN_LIBS})
target_compile_options(corvale_win32 PRIVATE ${CORVALE_WARNINGS})

# The entry point sits above the layers it wires together.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/program/winmain.cpp)
  set(CORVALE_EXE_SOURCES program/winmain.cpp)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/platform/win32/corvale.rc)
    list(APPEND CORVALE_EXE_SOURCES platform/win32/corvale.rc)
  endif()
  add_executable(corvale WIN32 ${CORVALE_EXE_SOURCES})
  target_link_libraries(corvale PRIVATE corvale_win32)
  target_link_options(corvale PRIVATE ${CORVALE_STATIC} -municode ${CORVALE_IMAGE_LAYOUT})
  target_compile_options(corvale PRIVATE ${CORVALE_WARNINGS})
endif()

# GoogleTest from the machine's sources, built with the cross compiler.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${CORVALE_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL)

file(GLOB CORVALE_BACKEND_TEST_SOURCES CONFIGURE_DEPENDS tests/backend/*.cpp tests/support/*.cpp)
if(CORVALE_BACKEND_TEST_SOURCES)
  add_executable(corvale_backend_tests ${CORVALE_BACKEND_TEST_SOURCES})
  target_link_libraries(corvale_backend_tests PRIVATE corvale_win32 gtest gtest_main)
  target_link_options(corvale_backend_tests PRIVATE ${CORVALE_STATIC})
  target_compile_options(corvale_backend_tests PRIVATE ${CORVALE_WARNINGS})
endif()

file(GLOB CORVALE_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp tests/support/*.cpp)
if(CORVALE_E2E_SOURCES)
  add_executable(corvale_e2e_tests ${CORVALE_E2E_SOURCES})
  target_include_directories(corvale_e2e_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(corvale_e2e_tests PRIVATE gtest gtest_main ${CORVALE_WIN_LIBS} msi)
  target_link_options(corvale_e2e_tests PRIVATE ${CORVALE_STATIC})
  target_compile_options(corvale_e2e_tests PRIVATE ${CORVALE_WARNINGS})
  # Two programs for the information panel to list, one with a version
  # resource and one without; they are built next to the driver.
  add_executable(corvale_e2e_versioned tests/e2e/fixtures/program.cpp tests/e2e/fixtures/version.rc)
  add_executable(corvale_e2e_plain tests/e2e/fixtures/program.cpp)
  # And one that writes down the Windows version the system reports to it.
  add_executable(corvale_e2e_winver tests/e2e/fixtures/winver.cpp)
  foreach(fixture corvale_e2e_versioned corvale_e2e_plain corvale_e2e_winver)
    # Window-less programs: no console pops up when one starts.
    target_link_options(${fixture} PRIVATE ${CORVALE_STATIC} -municode -mwindows)
  endforeach()
  add_dependencies(corvale_e2e_tests corvale_e2e_versioned corvale_e2e_plain corvale_e2e_winver)
endif()

# Changes the screen's resolution under a running panel; the end-to-end test
# runs the 64-bit one (scripts/lib.sh builds it beside the 64-bit program).
add_executable(corvale_e2e_display_mode EXCLUDE_FROM_ALL tests/e2e/fixtures/display_mode.cpp)
target_link_options(corvale_e2e_display_mode PRIVATE ${CORVALE_STATIC} -municode)
target_compile_options(corvale_e2e_display_mode PRIVATE ${CORVALE_WARNINGS})

# corvalectl.exe: the console program that steers the panel and checks
# themes; the end-to-end tests run it beside the panel.
target_compile_options(corvale_ctl PRIVATE ${CORVALE_CODE_OPTIONS})
add_executable(corvalectl ctl/win32_main.cpp ctl/corvalectl.rc)
target_link_libraries(corvalectl PRIVATE corvale_ctl corvale_win32)
target_link_options(corvalectl PRIVATE ${CORVALE_STATIC} -municode)
target_compile_options(corvalectl PRIVATE ${CORVALE_WARNINGS})
if(TARGET corvale_e2e_tests)
  add_dependencies(corvale_e2e_tests corvalectl)
endif()

# What scripts/bench.sh measures the program against: a window that only
# appears, the same window running the panel's timers (doing nothing, or
# making the system calls an idle panel needs), and the watcher that
# times a start from outside. Built only when asked for.
add_executable(corvale_bench_empty WIN32 EXCLUDE_FROM_ALL tests/bench/win32/empty_window.cpp)
add_executable(corvale_bench_timers WIN32 EXCLUDE_FROM_ALL tests/bench/win32/empty_window.cpp)
target_compile_definitions(corvale_bench_timers PRIVATE BENCH_TIMERS)
add_executable(corvale_bench_calls WIN32 EXCLUDE_FROM_ALL tests/bench/win32/empty_window.cpp)
target_compile_definitions(corvale_bench_calls PRIVATE BENCH_CALLS)
target_link_libraries(corvale_bench_calls PRIVATE winmm ole32 uuid)
add_executable(corvale_bench_watch EXCLUDE_FROM_ALL tests/bench/win32/bench_watch.cpp)
add_executable(corvale_bench_cover EXCLUDE_FROM_ALL tests/bench/win32/cover_window.cpp)
add_executable(corvale_bench_sight EXCLUDE_FROM_ALL tests/bench/win32/sight_cost.cpp)
target_link_libraries(corvale_bench_sight PRIVATE corvale_win32)
foreach(bench corvale_bench_empty corvale_bench_timers corvale_bench_calls corvale_bench_watch corvale_bench_cover
              corvale_bench_sight)
  target_link_options(${bench} PRIVATE ${CORVALE_STATIC} -municode)
  target_compile_options(${bench} PRIVATE ${CORVALE_WARNINGS})
endforeach()
