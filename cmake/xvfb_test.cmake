# GUI tests run on a virtual display of their own, with HOME (and the data
# folder, where game records go) in the build tree so that no user's
# settings or records are read or written. Each test searches
# for a free display from a number of its own: two xvfb-run started at once
# from the same number can both pick it. Without -noreset the server resets
# whenever its last client leaves, and a program restarted at that moment
# finds no display.
#
#   add_xvfb_test(NAME n DISPLAY number TIMEOUT seconds [SCREEN WxH]
#                 [RESOURCE_LOCK lock] COMMAND command args...)
find_program(XVFB_RUN xvfb-run)
function(add_xvfb_test)
  cmake_parse_arguments(T "" "NAME;DISPLAY;TIMEOUT;SCREEN;RESOURCE_LOCK" "COMMAND" ${ARGN})
  if(NOT XVFB_RUN)
    return()
  endif()
  if(NOT T_SCREEN)
    set(T_SCREEN 1024x768)
  endif()
  set(home ${CMAKE_CURRENT_BINARY_DIR}/home-${T_NAME})
  file(MAKE_DIRECTORY ${home})
  add_test(NAME ${T_NAME}
    COMMAND ${XVFB_RUN} -a -n ${T_DISPLAY} -s "-screen 0 ${T_SCREEN}x24 -noreset" ${T_COMMAND})
  set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT} ENVIRONMENT "HOME=${home};XDG_DATA_HOME=${home}/.local/share")
  if(T_RESOURCE_LOCK)
    set_tests_properties(${T_NAME} PROPERTIES RESOURCE_LOCK ${T_RESOURCE_LOCK})
  endif()
  # Scripts that drive the whole program as a person would: the sanitizer
  # build leaves them out, since an unoptimised checked program cannot keep
  # the pace their waits expect.
  list(GET T_COMMAND 0 first)
  if(first MATCHES "\\.sh$")
    set_tests_properties(${T_NAME} PROPERTIES LABELS program)
  endif()
endfunction()
