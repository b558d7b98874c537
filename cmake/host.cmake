# Host build: the core against the fake platform, with the unit tests and the
# benchmarks.
enable_testing()
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

if(CORVALE_SANITIZE)
  set(CORVALE_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_compile_options(corvale_core PRIVATE ${CORVALE_SAN_FLAGS})
  target_link_options(corvale_core PUBLIC ${CORVALE_SAN_FLAGS})
endif()

file(GLOB CORVALE_FAKE_SOURCES CONFIGURE_DEPENDS tests/fake/*.cpp)
add_library(corvale_fake STATIC ${CORVALE_FAKE_SOURCES})
target_link_libraries(corvale_fake PUBLIC corvale_core)
target_compile_options(corvale_fake PRIVATE ${CORVALE_WARNINGS} ${CORVALE_SAN_FLAGS})

file(GLOB CORVALE_UNIT_SOURCES CONFIGURE_DEPENDS tests/unit/*.cpp)
# corvalectl's commands are tested here too, against a fake machine.
add_executable(corvale_unit_tests ${CORVALE_UNIT_SOURCES} ctl/commands.cpp ctl/report.cpp)
target_link_libraries(corvale_unit_tests PRIVATE corvale_fake GTest::gtest GTest::gtest_main Threads::Threads)
target_compile_options(corvale_unit_tests PRIVATE ${CORVALE_WARNINGS} ${CORVALE_SAN_FLAGS})
include(GoogleTest)
gtest_discover_tests(corvale_unit_tests)

find_package(benchmark QUIET)
file(GLOB CORVALE_BENCH_SOURCES CONFIGURE_DEPENDS tests/bench/*.cpp)
if(benchmark_FOUND AND CORVALE_BENCH_SOURCES)
  # Benchmarks measure the core as shipped: their own build, no sanitizers.
  add_library(corvale_core_bench STATIC ${CORVALE_CORE_SOURCES} ${CORVALE_FAKE_SOURCES})
  target_include_directories(corvale_core_bench PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
  target_compile_options(corvale_core_bench PRIVATE -O2)
  add_executable(corvale_bench ${CORVALE_BENCH_SOURCES})
  target_link_libraries(corvale_bench PRIVATE corvale_core_bench benchmark::benchmark)
  target_compile_options(corvale_bench PRIVATE -O2 ${CORVALE_WARNINGS})
endif()

# corvalectl on the host: the theme checker over the files on disk.
add_executable(corvalectl ctl/commands.cpp ctl/report.cpp ctl/host_main.cpp)
target_link_libraries(corvalectl PRIVATE corvale_fake)
target_compile_options(corvalectl PRIVATE ${CORVALE_WARNINGS} ${CORVALE_SAN_FLAGS})
