# Hardening and measurement around the cross build:
#   - the pure core built natively with clang (native/), whose fuzzers
#     tests/run.sh runs a few seconds each before a full test run;
#   - the programs behind `make bench` and `make soak`, registered under the
#     ctest configurations Bench and Soak, which a plain test run leaves out.
include(ExternalProject)

set(TOLVANE_NATIVE_DIR ${CMAKE_BINARY_DIR}/native)

find_program(TOLVANE_CLANGXX clang++ REQUIRED)
ExternalProject_Add(tolvane_native
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/native
    BINARY_DIR ${TOLVANE_NATIVE_DIR}
    CMAKE_ARGS -DCMAKE_CXX_COMPILER=${TOLVANE_CLANGXX} -DTOLVANE_VERSION=${PROJECT_VERSION}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")

# make bench: the native benchmarks, and a Windows program that loads the
# DLL and times what the host's thread spends on broadcasts and stops.
add_custom_target(bench_native
    COMMAND ${CMAKE_COMMAND} --build ${TOLVANE_NATIVE_DIR} --target bench_native
    DEPENDS tolvane_native)
set(TOLVANE_BENCH_RESULTS ${CMAKE_BINARY_DIR}/bench)
file(MAKE_DIRECTORY ${TOLVANE_BENCH_RESULTS})
add_test(NAME Bench.Native CONFIGURATIONS Bench
    COMMAND ${TOLVANE_NATIVE_DIR}/bench_native --benchmark_min_time=0.3
        --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
        --benchmark_out=${TOLVANE_BENCH_RESULTS}/native.json --benchmark_out_format=json)
set_tests_properties(Bench.Native PROPERTIES TIMEOUT 1200 RUN_SERIAL ON)
file(GLOB TOLVANE_HOST_BENCH_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/bench/host/*.cpp)
if(TOLVANE_HOST_BENCH_SOURCES)
    add_executable(host_bench EXCLUDE_FROM_ALL ${TOLVANE_HOST_BENCH_SOURCES})
    target_link_libraries(host_bench PRIVATE test_support)
    target_include_directories(host_bench PRIVATE ${CMAKE_SOURCE_DIR}/bench)
    add_test(NAME Bench.Host CONFIGURATIONS Bench
        COMMAND host_bench Z:${TOLVANE_BENCH_RESULTS}/host.json)
    set_tests_properties(Bench.Host PROPERTIES TIMEOUT 1200 RUN_SERIAL ON)
endif()

# make soak: the load tests at a larger scale, in a program of their own.
file(GLOB TOLVANE_LOAD_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/Load*Test.cpp)
if(TOLVANE_LOAD_SOURCES)
    add_executable(soak_tests EXCLUDE_FROM_ALL ${TOLVANE_LOAD_SOURCES})
    target_compile_definitions(soak_tests PRIVATE TOLVANE_SOAK=1)
    target_link_libraries(soak_tests PRIVATE test_support GTest::gtest_main)
    add_test(NAME Soak.Load CONFIGURATIONS Soak COMMAND soak_tests)
    set_tests_properties(Soak.Load PROPERTIES TIMEOUT 1800)
endif()
