# The rule variations dialog. Its choices and enabling rules build without
# FOX and are tested without a display; the dialog itself belongs to the
# desktop program.
include(GoogleTest)

add_library(marvanto_rule_choices STATIC ${CMAKE_CURRENT_LIST_DIR}/rule_choices.cpp)
target_link_libraries(marvanto_rule_choices PUBLIC marvanto_engine)

add_executable(rule_choices_tests ${PROJECT_SOURCE_DIR}/tests/engine/rule_choices_test.cpp)
target_link_libraries(rule_choices_tests PRIVATE marvanto_rule_choices GTest::gtest_main)
gtest_discover_tests(rule_choices_tests)

if(MARVANTO_GUI)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(FOX REQUIRED IMPORTED_TARGET fox)

  add_library(marvanto_rule_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/rule_dialog.cpp)
  target_link_libraries(marvanto_rule_dialog PUBLIC marvanto_rule_choices PkgConfig::FOX)

  # The dialog's widgets under Xvfb.
  add_executable(rule_dialog_tests ${PROJECT_SOURCE_DIR}/tests/engine/rule_dialog_test.cpp)
  target_link_libraries(rule_dialog_tests PRIVATE marvanto_rule_dialog GTest::gtest)
  find_program(XVFB_RUN xvfb-run)
  if(XVFB_RUN)
    add_test(NAME rule_dialog_under_xvfb
      COMMAND ${XVFB_RUN} -a -s "-screen 0 1024x768x24" $<TARGET_FILE:rule_dialog_tests>)
    set_tests_properties(rule_dialog_under_xvfb PROPERTIES TIMEOUT 120
      ENVIRONMENT HOME=${CMAKE_CURRENT_BINARY_DIR}/home)
  endif()
endif()
