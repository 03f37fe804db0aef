# The suite built for Windows: the platform-neutral tests and the Windows-only ones, run
# under Wine. Each program start costs Wine much more than a test, so the whole program is
# one ctest test, between a test that makes the Wine prefix and one that ends its server.
list(REMOVE_ITEM TW_TEST_SOURCES
    ${CMAKE_CURRENT_SOURCE_DIR}/FltkTextTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/KeyMappingTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/ServerClockTest.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/X11TranslationTest.cpp)
file(GLOB TW_WIN32_TEST_SOURCES CONFIGURE_DEPENDS win32/*.cpp)
add_executable(tapewright_tests ${TW_TEST_SOURCES} ${TW_WIN32_TEST_SOURCES})
target_include_directories(tapewright_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_definitions(tapewright_tests PRIVATE
    TAPEWRIGHT_TEST_DATA="${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus")
target_link_libraries(tapewright_tests PRIVATE tw_sim tw_win32 tw_cli GTest::gtest GTest::gtest_main)

add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} cmd /c exit)
set_tests_properties(wine_prefix PROPERTIES FIXTURES_SETUP wine TIMEOUT 600)
add_test(NAME wine_server_stop COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --stop)
set_tests_properties(wine_server_stop PROPERTIES FIXTURES_CLEANUP wine)

add_test(NAME tapewright_tests COMMAND tapewright_tests)
set_tests_properties(tapewright_tests PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 1800)

add_test(NAME shift_jis_texts COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:tapewright_tests>
                                      -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/ShiftJisBytes.cmake)
