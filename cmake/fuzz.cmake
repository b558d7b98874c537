# Fuzz build: the core and the fake platform under libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, one program per tests/fuzz/*_fuzz.cpp.
# Needs clang (scripts/fuzz.sh configures it with clang++-14).
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "CORVALE_FUZZ needs clang (libFuzzer); configure with CMAKE_CXX_COMPILER=clang++-14")
endif()

set(CORVALE_FUZZ_SAN -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer -g)
target_compile_options(corvale_core PRIVATE -fsanitize=fuzzer-no-link ${CORVALE_FUZZ_SAN})

file(GLOB CORVALE_FAKE_SOURCES CONFIGURE_DEPENDS tests/fake/*.cpp)
add_library(corvale_fake STATIC ${CORVALE_FAKE_SOURCES})
target_link_libraries(corvale_fake PUBLIC corvale_core)
target_compile_options(corvale_fake PRIVATE -fsanitize=fuzzer-no-link ${CORVALE_FUZZ_SAN})

file(GLOB CORVALE_FUZZ_SOURCES CONFIGURE_DEPENDS tests/fuzz/*_fuzz.cpp)
foreach(source ${CORVALE_FUZZ_SOURCES})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE corvale_fake)
  target_compile_options(${name} PRIVATE ${CORVALE_WARNINGS} -fsanitize=fuzzer ${CORVALE_FUZZ_SAN})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer ${CORVALE_FUZZ_SAN})
endforeach()
