# What the programs link, read from the programs themselves: those that show
# no window load no QtWidgets (nor QtPrintSupport, which is built on it), and
# no installed program holds the test doubles, whose own functions are
# looked for among its symbols. The programs that do link them (WIDGETS,
# DOUBLES) show that the check sees a link where there is one.
#   cmake -DWIDGET_FREE="PROGRAM;..." -DWIDGETS="PROGRAM;..." -DINSTALLED="PROGRAM;..."
#         -DDOUBLES="PROGRAM;..." -DTESTING=LIBRARY -P linkage_test.cmake
cmake_minimum_required(VERSION 3.25)

foreach(program IN LISTS WIDGET_FREE WIDGETS)
  execute_process(COMMAND ldd ${program} OUTPUT_VARIABLE loaded RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(SEND_ERROR "ldd ${program}: ${result}")
  endif()
  string(REGEX MATCHALL "libQt6(Widgets|PrintSupport)[^ ]*" widgets "${loaded}")
  list(REMOVE_DUPLICATES widgets)
  if(program IN_LIST WIDGET_FREE AND widgets)
    message(SEND_ERROR "${program} loads ${widgets}")
  elseif(program IN_LIST WIDGETS AND NOT widgets)
    message(SEND_ERROR "${program}: no QtWidgets, so the check sees none")
  endif()
endforeach()

# The functions the doubles' library defines, by their mangled names.
function(defined_functions file out)
  execute_process(COMMAND nm --defined-only --format=posix ${file} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "nm ${file}: ${result}")
  endif()
  string(REGEX MATCHALL "[^\n ]+ T " found "${symbols}")
  list(TRANSFORM found REPLACE " T $" "")
  set(${out} ${found} PARENT_SCOPE)
endfunction()

defined_functions(${TESTING} doubles)
if(NOT doubles)
  message(FATAL_ERROR "${TESTING} defines no function")
endif()
foreach(program IN LISTS INSTALLED DOUBLES)
  defined_functions(${program} functions)
  set(held)
  foreach(function IN LISTS doubles)
    if(function IN_LIST functions)
      list(APPEND held ${function})
    endif()
  endforeach()
  if(program IN_LIST INSTALLED AND held)
    message(SEND_ERROR "${program} holds the test doubles: ${held}")
  elseif(program IN_LIST DOUBLES AND NOT held)
    message(SEND_ERROR "${program}: no test double, so the check sees none")
  endif()
endforeach()
