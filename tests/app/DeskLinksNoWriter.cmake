# The desk program only reads its database: none of the writer library's own functions may be
# linked into it. Compares the functions the writer library defines with those of the program.
#   cmake -DPROGRAM=path/to/convodesk -DWRITER=path/to/libconvodesk_jet4_write.a -DNM=nm -P DeskLinksNoWriter.cmake
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ${NM} --defined-only --format=posix ${WRITER}
                RESULT_VARIABLE code OUTPUT_VARIABLE writerSymbols ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "nm ${WRITER}: ${err}")
endif()
execute_process(COMMAND ${NM} --defined-only --format=posix ${PROGRAM}
                RESULT_VARIABLE code OUTPUT_VARIABLE programSymbols ERROR_VARIABLE err)
if(NOT code EQUAL 0)
  message(FATAL_ERROR "nm ${PROGRAM}: ${err}")
endif()

# Strong text symbols only: inline functions and templates (weak) may come from shared headers.
string(REGEX MATCHALL "[^\n]+ T [^\n]+" writerLines "${writerSymbols}")
set(own "")
foreach(line ${writerLines})
  string(REGEX REPLACE " T .*" "" name "${line}")
  list(APPEND own "${name}")
endforeach()
list(LENGTH own count)
if(count LESS 20)
  message(FATAL_ERROR "the writer library defines only ${count} functions; is ${WRITER} the writer?")
endif()

string(REGEX MATCHALL "[^\n]+ [Tt] [^\n]+" programLines "${programSymbols}")
set(linked "")
foreach(line ${programLines})
  string(REGEX REPLACE " [Tt] .*" "" name "${line}")
  list(APPEND linked "${name}")
endforeach()
list(REMOVE_DUPLICATES linked)

foreach(name ${own})
  if(name IN_LIST linked)
    message(FATAL_ERROR "the desk program links the writer's ${name}")
  endif()
endforeach()
message(STATUS "${count} writer functions, none in the desk program")
