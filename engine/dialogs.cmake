# The rule variations dialog. Its choices and enabling rules build without
# FOX and are tested without a display; the dialog itself belongs to the
# desktop program.
add_library(marvanto_rule_choices STATIC ${CMAKE_CURRENT_LIST_DIR}/rule_choices.cpp)
target_link_libraries(marvanto_rule_choices PUBLIC marvanto_engine)

if(MARVANTO_GUI)
  find_package(PkgConfig REQUIRED)
  if(NOT TARGET PkgConfig::FOX)
    pkg_check_modules(FOX REQUIRED IMPORTED_TARGET fox)
  endif()
  add_library(marvanto_rule_dialog STATIC ${CMAKE_CURRENT_LIST_DIR}/rule_dialog.cpp)
  target_link_libraries(marvanto_rule_dialog PUBLIC marvanto_rule_choices PkgConfig::FOX)
endif()
