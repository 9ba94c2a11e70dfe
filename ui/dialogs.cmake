# The Info menu's dialogs and the two texts they carry. The texts go into
# the binary, so the program runs from any folder.
include(GoogleTest)
find_package(PkgConfig REQUIRED)
pkg_check_modules(FOX REQUIRED IMPORTED_TARGET fox)
find_program(RESWRAP reswrap REQUIRED)

set(INFO_TEXTS ${PROJECT_SOURCE_DIR}/assets/help.txt ${PROJECT_SOURCE_DIR}/assets/rules.txt)
set(INFO_TEXTS_H ${CMAKE_CURRENT_BINARY_DIR}/info_texts.h)
set(INFO_TEXTS_CPP ${CMAKE_CURRENT_BINARY_DIR}/info_texts.cpp)
add_custom_command(
  OUTPUT ${INFO_TEXTS_H} ${INFO_TEXTS_CPP}
  COMMAND ${RESWRAP} -t -n texts -i -o ${INFO_TEXTS_H} ${INFO_TEXTS}
  COMMAND ${RESWRAP} -t -n texts -e -o ${INFO_TEXTS_CPP} ${INFO_TEXTS}
  DEPENDS ${INFO_TEXTS}
  COMMENT "Embedding the help and rules texts"
  VERBATIM)

# Without FOX: the embedded texts and the line walk of the rules text.
add_library(marvanto_info_texts STATIC ${CMAKE_CURRENT_LIST_DIR}/rules_text.cpp ${INFO_TEXTS_CPP} ${INFO_TEXTS_H})
target_include_directories(marvanto_info_texts PUBLIC ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR})

add_library(marvanto_info_dialogs STATIC ${CMAKE_CURRENT_LIST_DIR}/info_dialogs.cpp)
target_link_libraries(marvanto_info_dialogs PUBLIC marvanto_info_texts PkgConfig::FOX)
# About shows the version the build and the package carry.
target_compile_definitions(marvanto_info_dialogs PUBLIC MARVANTO_VERSION="${PROJECT_VERSION}")

add_executable(info_texts_tests ${PROJECT_SOURCE_DIR}/tests/ui/rules_text_test.cpp)
target_link_libraries(info_texts_tests PRIVATE marvanto_info_texts marvanto_rule_choices GTest::gtest_main)
gtest_discover_tests(info_texts_tests)

# The three dialogs under Xvfb, each closed with its OK button.
add_executable(info_dialogs_tests ${PROJECT_SOURCE_DIR}/tests/ui/info_dialogs_test.cpp)
target_link_libraries(info_dialogs_tests PRIVATE marvanto_info_dialogs GTest::gtest)
find_program(XVFB_RUN xvfb-run)
find_program(XDOTOOL xdotool)
if(XVFB_RUN AND XDOTOOL)
  add_test(NAME info_dialogs_under_xvfb
    COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:info_dialogs_tests>)
  set_tests_properties(info_dialogs_under_xvfb PROPERTIES TIMEOUT 120
    ENVIRONMENT HOME=${CMAKE_CURRENT_BINARY_DIR}/home)
endif()
