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

# The program as it ships, from the release folder.
add_test(NAME shift_jis_texts COMMAND ${CMAKE_COMMAND}
         -DPROGRAM=${PROJECT_BINARY_DIR}/release/tapewright/TAPEWRT.EXE
         -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/ShiftJisBytes.cmake)
add_test(NAME help_page_charset COMMAND ${CMAKE_COMMAND}
    -DPAGE=${PROJECT_SOURCE_DIR}/resources/TAPEWRT.HLP -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/HelpPageCharset.cmake)

# The emulated journal with the real engine, under the system's input: a program of its own,
# since the suite above links the simulated journal in the engine's place.
file(GLOB TW_JOURNAL_TEST_SOURCES CONFIGURE_DEPENDS win32/journal/*.cpp)
add_executable(tapewright_journal_tests ${TW_JOURNAL_TEST_SOURCES}
    ${PROJECT_SOURCE_DIR}/platform/win32/JournalFunctions.cpp)
target_include_directories(tapewright_journal_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(tapewright_journal_tests PRIVATE tw_win32 tw_core GTest::gtest
                      GTest::gtest_main)
# Windows need a display: the program runs on a private Xvfb screen.
add_test(NAME tapewright_journal_tests COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --display
                                               $<TARGET_FILE:tapewright_journal_tests>)
set_tests_properties(tapewright_journal_tests PROPERTIES FIXTURES_REQUIRED wine TIMEOUT 600
                     DEPENDS tapewright_tests RUN_SERIAL ON)

# TAPEWRT.EXE itself, run from the command line and playing into a window of the test
# program, on a private Xvfb screen.
file(GLOB TW_PROGRAM_TEST_SOURCES CONFIGURE_DEPENDS win32/e2e/*.cpp)
add_executable(tapewright_program_tests ${TW_PROGRAM_TEST_SOURCES} e2e/Timing.cpp
    e2e/MacroFiles.cpp ${PROJECT_SOURCE_DIR}/platform/win32/TickClock.cpp)
target_include_directories(tapewright_program_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
                           ${PROJECT_SOURCE_DIR})
# Screenshots of the windows are kept in the build folder, for a person to look at.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/screenshots)
# A copy of the program in a folder mounted read-only, made and removed around the tests.
set(TW_READ_ONLY_FOLDER ${PROJECT_BINARY_DIR}/read-only-program)
target_compile_definitions(tapewright_program_tests PRIVATE
    TAPEWRIGHT_PROGRAM="Z:$<TARGET_FILE:tapewright>"
    TAPEWRIGHT_READ_ONLY_FOLDER="Z:${TW_READ_ONLY_FOLDER}"
    TAPEWRIGHT_SCREENSHOTS="Z:${PROJECT_BINARY_DIR}/screenshots"
    TAPEWRIGHT_TEST_DATA="Z:${CMAKE_CURRENT_SOURCE_DIR}/data")
target_link_libraries(tapewright_program_tests PRIVATE GTest::gtest GTest::gtest_main)
add_dependencies(tapewright_program_tests tapewright)
add_test(NAME tapewright_program_tests COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} --display
                                               $<TARGET_FILE:tapewright_program_tests>)
# Labelled as starting the program: tools/test-windows.sh runs it once more after a failure.
set_tests_properties(tapewright_program_tests PROPERTIES
                     FIXTURES_REQUIRED "wine;read_only_program" TIMEOUT 900
                     DEPENDS tapewright_journal_tests RUN_SERIAL ON LABELS program_start)
add_test(NAME read_only_program_mount COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32/ReadOnlyFolder.sh
                                              mount ${TW_READ_ONLY_FOLDER} $<TARGET_FILE:tapewright>)
set_tests_properties(read_only_program_mount PROPERTIES FIXTURES_SETUP read_only_program)
add_test(NAME read_only_program_unmount COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/win32/ReadOnlyFolder.sh
                                                unmount ${TW_READ_ONLY_FOLDER})
set_tests_properties(read_only_program_unmount PROPERTIES FIXTURES_CLEANUP read_only_program)

# Every function the programs import is one the oldest supported Windows has.
foreach(program tapewright tapewright-macro)
    add_test(NAME oldest_windows_${program} COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP}
        -DPROGRAM=$<TARGET_FILE:${program}> -DOLDEST=${TW_OLDEST_WINDOWS}
        -DFUNCTIONS=${CMAKE_CURRENT_SOURCE_DIR}/win32/WindowsFunctions.txt
        -P ${CMAKE_CURRENT_SOURCE_DIR}/win32/OldestWindows.cmake)
endforeach()
