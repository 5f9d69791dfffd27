# Runs an asset generator into a scratch folder and compares every file it
# writes with the committed one: a generator changed without its output
# committed (or the other way round) fails here.
#
#   cmake -DGENERATOR=<program> -DSCRATCH=<dir> -DOUTPUT=<path in SCRATCH>
#         -DCOMMITTED=<dir that SCRATCH mirrors> -P check_generated.cmake
# The generator is given SCRATCH/OUTPUT as its only argument.
foreach(var GENERATOR SCRATCH COMMITTED)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check_generated: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
set(target "${SCRATCH}/${OUTPUT}")
if(OUTPUT MATCHES "\\.[A-Za-z0-9]+$")
  get_filename_component(parent "${target}" DIRECTORY)
  file(MAKE_DIRECTORY "${parent}")
else()
  file(MAKE_DIRECTORY "${target}")
endif()
execute_process(COMMAND "${GENERATOR}" "${target}" RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${GENERATOR} failed: ${status}")
endif()

file(GLOB_RECURSE made RELATIVE "${SCRATCH}" "${SCRATCH}/*")
if(NOT made)
  message(FATAL_ERROR "${GENERATOR} wrote nothing")
endif()
set(stale "")
foreach(file IN LISTS made)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${SCRATCH}/${file}" "${COMMITTED}/${file}"
                  RESULT_VARIABLE differs)
  if(NOT differs EQUAL 0)
    list(APPEND stale "${file}")
  endif()
endforeach()
file(REMOVE_RECURSE "${SCRATCH}")
if(stale)
  list(JOIN stale "\n  " listed)
  message(FATAL_ERROR "not what the generator makes today (rebuild the target regenerate_assets and commit):\n  ${listed}")
endif()
list(LENGTH made count)
message(STATUS "${count} files as committed")
