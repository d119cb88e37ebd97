# Tests of the tools: the host simulator's classes driving the real DLL
# (tool_tests, with real windows for the preferences window), the simulator
# program and the demo end to end against a real SMTP server, and the
# release package. The Python tests need root for port 25 and the Wine
# environment that tests/run.sh provides.
include(GoogleTest)
file(GLOB TOOL_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/tools/*.cpp)
add_executable(tool_tests ${TOOL_TEST_SOURCES})
target_link_libraries(tool_tests PRIVATE simulator_core test_support GTest::gtest_main)
add_dependencies(tool_tests host_simulator)
gtest_discover_tests(tool_tests
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 120)

set(TOOL_TEST_PYTHON /usr/bin/python3)
foreach(check simulator demo)
    add_test(NAME Tools.${check}
        COMMAND ${TOOL_TEST_PYTHON} ${CMAKE_SOURCE_DIR}/tests/tools/${check}_test.py
            --build ${CMAKE_BINARY_DIR})
    set_tests_properties(Tools.${check} PROPERTIES TIMEOUT 180)
endforeach()
# The release DLL and its package are the 32-bit tree's in either flavour.
add_test(NAME Tools.dist
    COMMAND ${TOOL_TEST_PYTHON} ${CMAKE_SOURCE_DIR}/tests/tools/dist_test.py
        --build ${TOLVANE_PRODUCT_BUILD})
add_test(NAME Tools.dll_image
    COMMAND ${TOOL_TEST_PYTHON} ${CMAKE_SOURCE_DIR}/tests/tools/dll_image_test.py
        --build ${TOLVANE_PRODUCT_BUILD} --dll ${TOLVANE_PRODUCT_BUILD}/tolvane.dll)
add_test(NAME Tools.dialog_templates
    COMMAND ${TOOL_TEST_PYTHON} ${CMAKE_SOURCE_DIR}/tests/tools/dialog_templates_test.py
        --build ${TOLVANE_PRODUCT_BUILD} --dll ${TOLVANE_PRODUCT_BUILD}/tolvane.dll)
set_tests_properties(Tools.dist Tools.dll_image Tools.dialog_templates PROPERTIES TIMEOUT 180)
