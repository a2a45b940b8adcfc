# The desk program only reads its database: none of the writer library's own functions may be
# linked into it. Compares the functions the writer library defines with those of the program.
#   cmake -DPROGRAM=path/to/convodesk -DWRITER=path/to/libconvodesk_jet4_write.a -DNM=nm -P DeskLinksNoWriter.cmake
cmake_minimum_required(VERSION 3.25)

# The names of the functions `file` defines whose nm type matches `types` (a regex class).
function(defined_functions file types out)
  execute_process(COMMAND ${NM} --defined-only --format=posix ${file}
                  RESULT_VARIABLE code OUTPUT_VARIABLE symbols ERROR_VARIABLE err)
  if(NOT code EQUAL 0)
    message(FATAL_ERROR "nm ${file}: ${err}")
  endif()
  string(REGEX MATCHALL "[^\n]+ ${types} [^\n]+" lines "${symbols}")
  set(names "")
  foreach(line ${lines})
    string(REGEX REPLACE " ${types} .*" "" name "${line}")
    list(APPEND names "${name}")
  endforeach()
  list(REMOVE_DUPLICATES names)
  set(${out} "${names}" PARENT_SCOPE)
endfunction()

# Strong text symbols only: inline functions and templates (weak) may come from shared headers.
defined_functions(${WRITER} "T" own)
list(LENGTH own count)
if(count LESS 20)
  message(FATAL_ERROR "the writer library defines only ${count} functions; is ${WRITER} the writer?")
endif()
defined_functions(${PROGRAM} "[Tt]" linked)

foreach(name ${own})
  if(name IN_LIST linked)
    message(FATAL_ERROR "the desk program links the writer's ${name}")
  endif()
endforeach()
message(STATUS "${count} writer functions, none in the desk program")
