# The crash points exist only in the crash-test builds: none of the programs
# a user runs holds the variables that drive them, each crash-test program
# does.
#   cmake -DWITHOUT="PROGRAM;..." -DWITH="PROGRAM;..." -P crashpoints_test.cmake
cmake_minimum_required(VERSION 3.25)
foreach(program IN LISTS WITHOUT WITH)
  file(STRINGS ${program} found REGEX "CORBIX_ARRESTO_PUNTO|CORBIX_PUNTI")
  if(program IN_LIST WITH AND NOT found)
    message(SEND_ERROR "${program}: no crash point")
  elseif(program IN_LIST WITHOUT AND found)
    message(SEND_ERROR "${program}: ${found}")
  endif()
endforeach()
